// The application's event handlers as the window templates reach them: a table indexed by the
// handler offsets of app/forms/handler_ids.h, whose address is the program's code base (see
// runtime/forms/layer/event_handlers.h). A handler the program does not have yet is null.
#pragma once

#include <cstddef>

#include "runtime/forms/layer/event_handlers.h"

namespace quorlin::app {

const forms::EventHandler* HandlerTable();
size_t HandlerTableSize();

}  // namespace quorlin::app
