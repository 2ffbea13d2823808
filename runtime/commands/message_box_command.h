// The core library's message box command, over the platform's MessageBoxA.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// (content: any value, shown as ToText shows it; button flags; caption? = "信息：") →
// the pressed button: OK 0, Cancel 1, Abort 2, Retry 3, Ignore 4, Yes 5, No 6 (-1 for any
// other answer). The box has no owner; unless the flags ask for a system-modal box it is made
// task-modal.
void ShowMessageBox(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
