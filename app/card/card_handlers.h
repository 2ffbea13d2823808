// The main window's card handlers: its creation, the generate button and the two drops.
#pragma once

#include "runtime/forms/layer/event_handlers.h"

namespace quorlin::app {

forms::HandlerResult LoadSettings(const forms::HandlerArguments& arguments);    // main window created
forms::HandlerResult GenerateCard(const forms::HandlerArguments& arguments);    // 按钮1
forms::HandlerResult DropOnCard(const forms::HandlerArguments& arguments);      // 拖放对象1: one text, the path
forms::HandlerResult DropOnPortrait(const forms::HandlerArguments& arguments);  // 拖放对象2: one text, the path

}  // namespace quorlin::app
