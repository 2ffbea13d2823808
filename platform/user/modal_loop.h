// The modal loop that message boxes and the common dialogs share.
//
// While it runs, the owner's top-level window is disabled (and enabled again afterwards if it
// was enabled before; the keyboard focus then returns where it was), and the calling thread's
// messages keep flowing: other windows paint, timers fire, input reaches windows that are still
// enabled.
#pragma once

#include <functional>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// Dispatches the calling thread's messages until done() is true (checked before every wait),
// calling begin() first, once the windows are disabled (it shows the dialog). A WM_QUIT ends the
// loop early and is posted again for the outer loop; the result is then false. Code that makes
// done() true from another thread calls WakeModalLoop afterwards.
// With ModalScope::Thread every top-level window of the calling thread is disabled (a
// task-modal box without an owner).
enum class ModalScope { Owner, Thread };
bool RunModalLoop(HWND owner, const std::function<bool()>& done, ModalScope scope = ModalScope::Owner,
                  const std::function<void()>& begin = {});

// Wakes the modal loop (if any) of that thread so it checks its condition again.
void WakeModalLoop(DWORD threadId);

// The nesting depth of modal loops on the calling thread.
int ModalLoopDepth();

}  // namespace quorlin::platform
