// Moving, sizing and stacking windows, and the questions about where they lie.
#include "platform/user/window_geometry.h"

#include <algorithm>

#include "platform/display/display_backend.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {
namespace {

bool IsTopMost(const WindowRecord* window) { return window && (window->exStyle & WS_EX_TOPMOST); }

// Places the window among its siblings; returns whether the order changed.
bool RestackLocked(WindowRecord& window, HWND insertAfter) {
  std::vector<HWND>* siblings;
  const bool topLevel = window.parent == 0;
  if (topLevel) {
    siblings = &TopLevelWindowsLocked(window.messageOnly);
  } else {
    WindowRecord* parent = RecordLocked(window.parent);
    if (!parent) return false;
    siblings = &parent->children;
  }
  const std::vector<HWND> before = *siblings;
  if (topLevel && insertAfter == HWND_TOPMOST) window.exStyle |= WS_EX_TOPMOST;
  if (topLevel && insertAfter == HWND_NOTOPMOST) window.exStyle &= ~WS_EX_TOPMOST;
  std::erase(*siblings, window.handle);
  auto at = siblings->begin();
  if (insertAfter == HWND_BOTTOM) {
    at = siblings->end();
  } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    // Top-level windows that are not topmost stay below those that are.
    if (topLevel && !IsTopMost(&window)) {
      while (at != siblings->end() && IsTopMost(RecordLocked(*at))) ++at;
    }
  } else {
    at = std::find(siblings->begin(), siblings->end(), insertAfter);
    at = at == siblings->end() ? siblings->begin() : at + 1;
  }
  siblings->insert(at, window.handle);
  return *siblings != before;
}

RECT ScreenRectOfRootLocked(HWND hwnd) {
  WindowRecord* root = RecordLocked(RootLocked(hwnd));
  return root ? WindowRectLocked(*root) : RECT{};
}

// WM_GETMINMAXINFO for a size change of a resizable or overlapped window, and the new size
// kept within the tracking sizes the window answered.
void ClampToMinMaxInfo(HWND hwnd, int& width, int& height) {
  DWORD style;
  FrameInsets frame;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return;
    style = window->style;
    frame = FrameInsetsFor(window->style, window->exStyle);
  }
  if (!(style & WS_THICKFRAME) && (style & (WS_POPUP | WS_CHILD))) return;
  const SIZE screen = GetScreenSize();
  MINMAXINFO info{};
  info.ptMaxSize = POINT{screen.cx + frame.left + frame.right, screen.cy + frame.top + frame.bottom};
  info.ptMaxPosition = POINT{-frame.left, -frame.top};
  // Only a sizing frame has a smallest size of its own; other windows may be any size.
  if (style & WS_THICKFRAME) info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
  info.ptMaxTrackSize = POINT{32767, 32767};
  SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  const LONG maxWidth = std::max(info.ptMinTrackSize.x, info.ptMaxTrackSize.x);
  const LONG maxHeight = std::max(info.ptMinTrackSize.y, info.ptMaxTrackSize.y);
  width = std::clamp<LONG>(width, std::max<LONG>(0, info.ptMinTrackSize.x), std::max<LONG>(0, maxWidth));
  height = std::clamp<LONG>(height, std::max<LONG>(0, info.ptMinTrackSize.y), std::max<LONG>(0, maxHeight));
}

// WM_NCCALCSIZE for SWP_FRAMECHANGED: the window is told its new rectangle and answers its
// client rectangle (the frame's metrics stay the window layer's own).
void SendFrameChanged(HWND hwnd, WINDOWPOS& pos) {
  NCCALCSIZE_PARAMS params{};
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return;
    const RECT old = WindowRectLocked(*window);
    RECT oldClient = ClientRectInWindowLocked(*window);
    OffsetRect(&oldClient, old.left, old.top);
    params.rgrc[0] = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    params.rgrc[1] = old;
    params.rgrc[2] = oldClient;
    params.lppos = &pos;
  }
  SendMessageA(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
}

BOOL ApplyWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return FALSE;
  WINDOWPOS pos{hwnd, insertAfter, x, y, std::max(0, width), std::max(0, height), flags};
  {
    std::lock_guard lock(TreeLock());
    if (window->life == WindowLife::Gone) return FALSE;
    if (flags & SWP_NOMOVE) pos.x = window->x, pos.y = window->y;
    if (flags & SWP_NOSIZE) pos.cx = window->width, pos.cy = window->height;
  }
  if (!(flags & SWP_NOSIZE)) ClampToMinMaxInfo(hwnd, pos.cx, pos.cy);
  if (!(flags & SWP_NOSENDCHANGING)) SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (flags & SWP_FRAMECHANGED) SendFrameChanged(hwnd, pos);
  RECT oldScreen{};
  RECT newScreen{};
  bool topLevel;
  {
    std::lock_guard lock(TreeLock());
    if (window->life == WindowLife::Gone) return FALSE;
    topLevel = window->parent == 0;
    oldScreen = ScreenRectOfRootLocked(hwnd);
    const RECT oldRect = WindowRectLocked(*window);
    const RECT oldClient = ClientRectInWindowLocked(*window);
    const bool wasShown = IsShownLocked(*window);
    if (!(pos.flags & SWP_NOMOVE)) window->x = pos.x, window->y = pos.y;
    if (!(pos.flags & SWP_NOSIZE)) window->width = std::max(0, pos.cx), window->height = std::max(0, pos.cy);
    if (pos.flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
    const bool restacked = !(pos.flags & SWP_NOZORDER) && RestackLocked(*window, pos.hwndInsertAfter);
    const RECT newRect = WindowRectLocked(*window);
    const RECT newClient = ClientRectInWindowLocked(*window);
    const bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    const bool sized = newRect.right - newRect.left != oldRect.right - oldRect.left ||
                       newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    const bool clientChanged = !EqualRect(&oldClient, &newClient);
    const bool shown = IsShownLocked(*window);
    // What WM_WINDOWPOSCHANGED tells: only what really changed.
    if (!moved && !((pos.flags & SWP_FRAMECHANGED) && clientChanged)) pos.flags |= SWP_NOMOVE;
    if (!sized && !((pos.flags & SWP_FRAMECHANGED) && clientChanged)) pos.flags |= SWP_NOSIZE;
    if ((pos.flags & SWP_FRAMECHANGED) && clientChanged) pos.flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    const bool changed = moved || sized || restacked || wasShown != shown || (pos.flags & SWP_FRAMECHANGED);
    if (changed && !(pos.flags & SWP_NOREDRAW)) {
      if (!topLevel && wasShown) {
        if (WindowRecord* parent = RecordLocked(window->parent)) {
          InvalidateLocked(*parent, gdi::Region(oldRect), true, true);
        }
      }
      if (shown && (!topLevel || sized || !wasShown || (pos.flags & SWP_FRAMECHANGED))) {
        InvalidateWholeLocked(*window);
      }
    }
    if (!shown) {
      window->update = gdi::Region();
      RefreshPaintMarkLocked(*window);
    }
    if (WindowRecord* root = RecordLocked(RootLocked(hwnd))) RefreshDeviceContextsLocked(*root);
    newScreen = ScreenRectOfRootLocked(hwnd);
  }
  SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (topLevel && !(flags & SWP_NOACTIVATE) && (flags & SWP_SHOWWINDOW) && IsWindowVisible(hwnd)) {
    ActivateTopLevel(hwnd);
  }
  RECT both{};
  UnionRect(&both, &oldScreen, &newScreen);
  ComposeScreen(both);
  if (DisplayBackend* display = WindowLayerDisplay(); display && topLevel) display->WindowChanged(hwnd);
  return TRUE;
}

}  // namespace
}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return ApplyWindowPos(hwnd, insertAfter, x, y, width, height, flags);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, 0, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (!rect) return FALSE;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const POINT at = WindowOriginOnScreenLocked(*window);
  *rect = RECT{at.x, at.y, at.x + window->width, at.y + window->height};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  if (!rect) return FALSE;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const RECT client = ClientRectInWindowLocked(*window);
  *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  if (!point) return FALSE;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return FALSE;
  const POINT origin = ClientOriginOnScreenLocked(*window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  if (!point) return FALSE;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return FALSE;
  const POINT origin = ClientOriginOnScreenLocked(*window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* source = from ? RecordLocked(from) : nullptr;
    WindowRecord* target = to ? RecordLocked(to) : nullptr;
    if ((from && !source) || (to && !target)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (source) a = ClientOriginOnScreenLocked(*source);
    if (target) b = ClientOriginOnScreenLocked(*target);
  }
  const int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) points[i].x += dx, points[i].y += dy;
  return static_cast<int>(static_cast<unsigned>(static_cast<uint16_t>(dx)) | (static_cast<unsigned>(static_cast<uint16_t>(dy)) << 16));
}

HWND WindowFromPoint(POINT point) {
  std::lock_guard lock(TreeLock());
  for (HWND top : TopLevelWindowsLocked(false)) {
    WindowRecord* window = RecordLocked(top);
    if (!window || !(window->style & WS_VISIBLE) || window->life == WindowLife::Gone) continue;
    const RECT rect = WindowRectLocked(*window);
    if (!PtInRect(&rect, point)) continue;
    // Down the tree: the topmost shown child under the point, skipping disabled children.
    HWND found = top;
    for (bool deeper = true; deeper;) {
      deeper = false;
      WindowRecord* current = RecordLocked(found);
      const POINT client = ClientOriginOnScreenLocked(*current);
      const RECT clientRect = ClientRectInWindowLocked(*current);
      const RECT clientOnScreen{client.x, client.y, client.x + clientRect.right - clientRect.left,
                                client.y + clientRect.bottom - clientRect.top};
      if (!PtInRect(&clientOnScreen, point)) break;
      for (HWND hwnd : current->children) {
        WindowRecord* child = RecordLocked(hwnd);
        if (!child || !(child->style & WS_VISIBLE) || (child->style & WS_DISABLED)) continue;
        const RECT r = WindowRectLocked(*child);
        if (PtInRect(&r, POINT{point.x - client.x, point.y - client.y})) {
          found = hwnd;
          deeper = true;
          break;
        }
      }
    }
    return found;
  }
  return 0;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(parent);
  if (!window) return 0;
  const RECT client = ClientRectInWindowLocked(*window);
  const RECT area{0, 0, client.right - client.left, client.bottom - client.top};
  if (!PtInRect(&area, point)) return 0;
  for (HWND hwnd : window->children) {
    WindowRecord* child = RecordLocked(hwnd);
    if (!child) continue;
    const RECT r = WindowRectLocked(*child);
    if (PtInRect(&r, point)) return hwnd;
  }
  return parent;
}
