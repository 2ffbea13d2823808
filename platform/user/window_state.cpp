// A window's enabled and shown state, and the paint mark the queue looks at.
#include "platform/user/paint_flags.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"
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

// Where a window goes in a size state: minimised out of sight, maximised over the screen
// with its side frame outside it, restored where it was.
RECT PlacementFor(const WindowRecord& window, DWORD style) {
  if (style & WS_MINIMIZE) {
    return RECT{-32000, -32000, -32000 + GetSystemMetrics(SM_CXMINIMIZED), -32000 + GetSystemMetrics(SM_CYMINIMIZED)};
  }
  if (style & WS_MAXIMIZE) {
    const FrameInsets f = FrameInsetsFor(style, window.exStyle);
    const SIZE screen = GetScreenSize();
    return RECT{-f.left, -f.left, screen.cx + f.right, screen.cy + f.bottom};
  }
  const RECT& normal = window.normalRect;
  return normal.right > normal.left || normal.bottom > normal.top ? normal : WindowRectLocked(window);
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
  bool stateChanged;
  RECT target{};
  {
    std::lock_guard lock(TreeLock());
    wasVisible = (window->style & WS_VISIBLE) != 0;
    const DWORD before = window->style;
    const DWORD after = SizeStateAfter(command, before);
    stateChanged = (before & (WS_MINIMIZE | WS_MAXIMIZE)) != (after & (WS_MINIMIZE | WS_MAXIMIZE));
    if (stateChanged && !(before & (WS_MINIMIZE | WS_MAXIMIZE))) window->normalRect = WindowRectLocked(*window);
    window->style = after;
    target = PlacementFor(*window, after);
    topLevel = window->parent == 0 && !window->messageOnly;
    mayActivate = (window->exStyle & WS_EX_NOACTIVATE) == 0;
  }
  if (show != wasVisible) SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (!show && wasVisible) TakeFocusAwayFrom(hwnd);
  const bool activate = show && topLevel && mayActivate && ActivatesOnShow(command);
  UINT flags = SWP_NOACTIVATE | (activate ? 0 : SWP_NOZORDER);
  if (show != wasVisible) flags |= show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  if (!stateChanged) flags |= SWP_NOMOVE | SWP_NOSIZE;
  // A new size state tells WM_SIZE even when the rectangle stays.
  if (stateChanged) flags |= SWP_FRAMECHANGED;
  if (show != wasVisible || stateChanged || activate) {
    SetWindowPos(hwnd, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 flags);
  }
  if (activate && IsWindow(hwnd)) ActivateTopLevel(hwnd);
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
