// A window's enabled and shown state, and the paint mark the queue looks at.
#include "platform/user/paint_flags.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

bool ActivatesOnShow(int command) {
  switch (command) {
    case SW_SHOWNORMAL:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: return true;
    default: return false;
  }
}

DWORD SizeStateAfter(int command, DWORD style) {
  switch (command) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: return (style & ~WS_MAXIMIZE) | WS_MINIMIZE;
    case SW_SHOWMAXIMIZED: return (style & ~WS_MINIMIZE) | WS_MAXIMIZE;
    case SW_SHOWNORMAL:
    case SW_RESTORE: return style & ~(WS_MINIMIZE | WS_MAXIMIZE);
    default: return style;
  }
}

BOOL HasStyle(HWND hwnd, DWORD bits) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  return window && (window->style & bits) ? TRUE : FALSE;
}

}  // namespace

void SetWindowNeedsPaint(HWND hwnd, bool needsPaint) {
  const auto window = FindWindowRecord(hwnd);
  if (!window) return;
  ThreadQueue& queue = *window->queue;
  std::lock_guard lock(queue.mutex);
  if (window->needsPaint.exchange(needsPaint) == needsPaint) return;
  if (needsPaint) {
    queue.needsPaint.push_back(hwnd);
    queue.Arrived(QS_PAINT);
  } else {
    std::erase(queue.needsPaint, hwnd);
  }
}

bool WindowNeedsPaint(HWND hwnd) {
  const auto window = FindWindowRecord(hwnd);
  return window && window->needsPaint.load();
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return FALSE;
  bool wasDisabled;
  {
    std::lock_guard lock(TreeLock());
    wasDisabled = (window->style & WS_DISABLED) != 0;
    if (enable) {
      window->style &= ~WS_DISABLED;
    } else {
      window->style |= WS_DISABLED;
    }
  }
  if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
  if (!enable) DropFocusWithin(hwnd);  // a disabled window keeps no keyboard focus
  SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) { return IsWindow(hwnd) && !HasStyle(hwnd, WS_DISABLED) ? TRUE : FALSE; }

BOOL ShowWindow(HWND hwnd, int command) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return FALSE;
  const bool show = command != SW_HIDE;
  bool wasVisible;
  bool topLevel;
  bool mayActivate;
  {
    std::lock_guard lock(TreeLock());
    wasVisible = (window->style & WS_VISIBLE) != 0;
    window->style = SizeStateAfter(command, window->style);
    topLevel = window->parent == 0 && !window->messageOnly;
    mayActivate = (window->exStyle & WS_EX_NOACTIVATE) == 0;
  }
  if (show != wasVisible) {
    SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    std::lock_guard lock(TreeLock());
    if (show) {
      window->style |= WS_VISIBLE;
    } else {
      window->style &= ~WS_VISIBLE;
    }
  }
  if (!show && wasVisible) TakeFocusAwayFrom(hwnd);
  if (show && topLevel && mayActivate && ActivatesOnShow(command) && IsWindow(hwnd)) ActivateTopLevel(hwnd);
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return FALSE;
  for (;;) {
    if ((window->style & WS_VISIBLE) == 0) return FALSE;
    if (!window->parent) return TRUE;
    window = RecordLocked(window->parent);
    if (!window) return FALSE;
  }
}

BOOL IsIconic(HWND hwnd) { return HasStyle(hwnd, WS_MINIMIZE); }

BOOL IsZoomed(HWND hwnd) { return HasStyle(hwnd, WS_MAXIMIZE); }
