// The message loop with the framework's idle scheme.
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {

// The framework's own idle work: two rounds per idle period, then the loop may sleep.
bool FrameworkIdle(long idleCount) { return idleCount < 1; }

// Messages after which idling starts again: not a mouse move to where the pointer already
// was, not a paint and not the caret's blink timer.
bool IsIdleMessage(const MSG& msg, POINT& lastMousePosition, UINT& lastMouseMessage) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    const bool same = lastMouseMessage == msg.message && lastMousePosition.x == msg.pt.x &&
                      lastMousePosition.y == msg.pt.y;
    lastMousePosition = msg.pt;
    lastMouseMessage = msg.message;
    return !same;
  }
  return msg.message != WM_PAINT && msg.message != 0x0118;
}

}  // namespace

void RuntimeKernel::RunIdleCallbacks() {
  if (idleCallbacks_.empty()) return;
  // Newest first; a callback whose window is gone is dropped.
  std::vector<Idle> snapshot(idleCallbacks_.rbegin(), idleCallbacks_.rend());
  for (const Idle& idle : snapshot) {
    if (!IsWindow(idle.window)) {
      RemoveIdleCallbacks(idle.window);
      continue;
    }
    idle.callback(idle.window, idle.argument);
  }
}

void RuntimeKernel::RunMessageLoop() {
  loopStarted_ = true;
  FormsLayer* forms = RegisteredFormsLayer();
  if (!forms || !forms->AnyLiveWindow()) return;

  MSG msg{};
  POINT lastMousePosition{-1, -1};
  UINT lastMouseMessage = 0;
  bool idle = true;
  long idleCount = 0;
  for (;;) {
    while (idle && !PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE)) {
      RunIdleCallbacks();
      if (!FrameworkIdle(idleCount++)) idle = false;
    }
    do {
      const BOOL got = GetMessageA(&msg, 0, 0, 0);
      if (got == 0) return;  // the quit message
      if (got > 0 && !forms->PreTranslateMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (IsIdleMessage(msg, lastMousePosition, lastMouseMessage)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace quorlin
