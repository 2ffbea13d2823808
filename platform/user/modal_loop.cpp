#include "platform/user/modal_loop.h"

#include <vector>

#include "platform/base/thread_services.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

thread_local int t_depth = 0;

// Enough to let a burst of messages through before the condition is looked at again, so a
// window that keeps posting to itself cannot hold the loop open.
constexpr int kMessagesPerCheck = 256;

// Handles what is waiting to be painted (and, inside PeekMessageA, messages other threads sent).
void PaintPending() {
  MSG msg;
  for (int i = 0; i < kMessagesPerCheck && PeekMessageA(&msg, 0, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessageA(&msg);
  }
}

BOOL CollectThreadWindow(HWND hwnd, LPARAM list) {
  if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  }
  return TRUE;
}

// Disables the windows the loop makes modal and gives them back, focus included.
class DisabledWindows {
 public:
  DisabledWindows(HWND owner, ModalScope scope) : focus_(GetFocus()) {
    std::vector<HWND> candidates;
    if (scope == ModalScope::Thread) {
      EnumWindows(&CollectThreadWindow, reinterpret_cast<LPARAM>(&candidates));
    } else if (owner) {
      candidates.push_back(GetAncestor(owner, GA_ROOT));
    }
    for (HWND hwnd : candidates) {
      if (hwnd && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        disabled_.push_back(hwnd);
      }
    }
  }
  ~DisabledWindows() {
    for (HWND hwnd : disabled_) {
      if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }
    if (!disabled_.empty() && focus_ && IsWindow(focus_) && IsWindowEnabled(focus_) && GetFocus() != focus_) {
      SetFocus(focus_);
    }
  }
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  HWND focus_;
  std::vector<HWND> disabled_;
};

}  // namespace

bool RunModalLoop(HWND owner, const std::function<bool()>& done, ModalScope scope,
                  const std::function<void()>& begin) {
  DisabledWindows disabled(owner, scope);
  ++t_depth;
  if (begin) begin();
  bool ended = true;
  for (;;) {
    if (done()) {
      // Even a dialog answered at once lets the windows it covered and uncovered paint.
      PaintPending();
      break;
    }
    MSG msg;
    bool quit = false;
    int handled = 0;
    while (handled < kMessagesPerCheck && PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      ++handled;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        quit = true;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (quit) {
      ended = false;
      break;
    }
    if (handled == 0 && !done()) WaitMessage();
  }
  --t_depth;
  return ended;
}

void WakeModalLoop(DWORD threadId) { PostThreadMessageA(threadId, WM_NULL, 0, 0); }

int ModalLoopDepth() { return t_depth; }

}  // namespace quorlin::platform
