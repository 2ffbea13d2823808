#include "app/handler_table.h"

#include "app/forms/handler_ids.h"

namespace quorlin::app {
namespace {

// Indexed by HandlerId; the handlers are bound as the parts of the program that own them are
// written.
const forms::EventHandler kHandlers[kHandlerCount] = {};

}  // namespace

const forms::EventHandler* HandlerTable() { return kHandlers; }
size_t HandlerTableSize() { return kHandlerCount; }

}  // namespace quorlin::app
