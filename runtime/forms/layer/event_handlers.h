// How the templates' event bindings reach the application's handlers.
//
// The application keeps its handlers in one table of EventHandler entries and makes the
// address of that table the code base of its program information block. A template's handler
// offset is a handler's index in the table (the numbers of app/forms/handler_ids.h), so the
// kernel's "code base + offset" is the table address plus the index; the layer maps it back:
// index = address - code base. An index past the table, or an entry that is null (a handler
// not written yet), is a binding without handler: the event then ends with no handler run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::forms {

// The handler's arguments, one 64-bit value each: a 32-bit value zero-extended (byte and
// short values widened, short with its sign), 8-byte values and pointers whole.
struct HandlerArguments {
  int32_t count = 0;
  uint64_t values[12] = {};
};

// A handler that returns a value (a close query answering false, for instance) sets hasValue.
struct HandlerResult {
  bool hasValue = false;
  uint64_t value = 0;
};

using EventHandler = HandlerResult (*)(const HandlerArguments& arguments);

// The application's handler table; `table` is also the program's code base.
void RegisterEventHandlers(const EventHandler* table, size_t count);

// The handler entry an event binding's address names, or null.
EventHandler HandlerAt(uintptr_t address);

}  // namespace quorlin::forms
