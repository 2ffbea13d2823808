// The handlers that change the settings: the main window's background, font and settings
// buttons, and the settings window's creation, portrait button and destruction.
#pragma once

#include "runtime/forms/layer/event_handlers.h"

namespace quorlin::app {

// Start-up (called by LoadSettings): the main window's title, the settings from quorlin.ini
// and the card background.
void LoadSettingsAtStartup();

forms::HandlerResult ChooseBackground(const forms::HandlerArguments& arguments);  // 按钮3
forms::HandlerResult ChooseFont(const forms::HandlerArguments& arguments);        // 按钮2
forms::HandlerResult OpenSettings(const forms::HandlerArguments& arguments);      // 按钮4
forms::HandlerResult ShowSettings(const forms::HandlerArguments& arguments);      // settings window created
forms::HandlerResult ChoosePortrait(const forms::HandlerArguments& arguments);    // settings window's 按钮2
forms::HandlerResult ApplySettings(const forms::HandlerArguments& arguments);     // settings window destroyed

}  // namespace quorlin::app
