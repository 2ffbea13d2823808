// Creating and destroying windows.
#include <algorithm>

#include "platform/base/thread_services.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/gdi.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

bool IsUsableParent(const WindowRecord* parent) {
  return parent && (parent->life == WindowLife::Creating || parent->life == WindowLife::Alive);
}

// CW_USEDEFAULT: a top-level window cascades from (40, 40) at three quarters of the screen;
// a child window gets 0.
void PlaceNewWindow(WindowRecord& window, int x, int y, int width, int height) {
  const bool topLevel = window.parent == 0 && !window.messageOnly;
  const SIZE screen = GetScreenSize();
  if (x == CW_USEDEFAULT) {
    x = y = topLevel ? 40 : 0;
  }
  if (width == CW_USEDEFAULT) {
    width = topLevel ? screen.cx * 3 / 4 : 0;
    height = topLevel ? screen.cy * 3 / 4 : 0;
  }
  window.x = x;
  window.y = y;
  window.width = std::max(0, width);
  window.height = std::max(0, height);
}

// Makes and links the record; null with the error set when the class or the parent is wrong.
std::shared_ptr<WindowRecord> NewWindow(DWORD exStyle, LPCSTR className, DWORD style, int x, int y, int width,
                                        int height, HWND parent, HMENU menu, HINSTANCE instance) {
  auto window = std::make_shared<WindowRecord>();
  std::lock_guard lock(TreeLock());
  window->windowClass = FindClassLocked(className);
  if (!window->windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  window->messageOnly = parent == HWND_MESSAGE;
  if (window->messageOnly) {
    style &= ~WS_CHILD;
  } else if (style & WS_CHILD) {
    if (parent == 0) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    if (!IsUsableParent(RecordLocked(parent))) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    window->parent = parent;
  } else if (parent != 0) {
    // A top-level window is owned by the top-level window of the one given.
    if (!IsUsableParent(RecordLocked(parent))) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    window->owner = RootLocked(parent);
  }
  window->threadId = GetCurrentThreadId();
  window->queue = CurrentQueueShared();
  window->procedure.store(window->windowClass->procedure);
  window->instance = instance;
  window->style = style & ~WS_VISIBLE;  // ShowWindow sets it after WM_CREATE
  window->exStyle = exStyle;
  window->idOrMenu = static_cast<LONG_PTR>(menu);
  PlaceNewWindow(*window, x, y, width, height);
  window->extraBytes.assign(static_cast<size_t>(window->windowClass->windowExtra), 0);
  window->handle = RegisterHandle(HandleKind::Window, window);
  ++window->windowClass->liveWindows;
  LinkWindowLocked(*window);
  return window;
}

// WM_DESTROY to the window, then to each of its descendants, parents before children.
void SendDestroy(HWND hwnd) {
  std::vector<HWND> children;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window || window->life == WindowLife::Gone || window->destroySent) return;
    window->destroySent = true;
    window->life = WindowLife::Destroying;
  }
  SendMessageA(hwnd, WM_DESTROY, 0, 0);
  {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) children = window->children;
  }
  for (HWND child : children) SendDestroy(child);
}

// WM_NCDESTROY to the descendants, deepest first, then to the window, whose handle then dies.
void FinishDestruction(HWND hwnd) {
  std::shared_ptr<WindowRecord> window = FindWindowRecord(hwnd);
  std::vector<HWND> children;
  {
    std::lock_guard lock(TreeLock());
    if (!window || window->life == WindowLife::Gone || window->finishing) return;
    window->finishing = true;
    window->life = WindowLife::Destroying;
    children = window->children;
  }
  for (HWND child : children) FinishDestruction(child);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  {
    std::lock_guard lock(TreeLock());
    ReleaseWindowLocked(*window);
  }
  if (DisplayBackend* display = WindowLayerDisplay()) display->WindowDestroyed(hwnd);
}

}  // namespace
}  // namespace quorlin::platform

using namespace quorlin::platform;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  const std::shared_ptr<WindowRecord> window =
      NewWindow(exStyle, className, style, x, y, width, height, parent, menu, instance);
  if (!window) return 0;
  const HWND hwnd = window->handle;

  CREATESTRUCTA create{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                       windowName, className, exStyle};
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    FinishDestruction(hwnd);
    return 0;
  }
  {
    RECT rect;
    {
      std::lock_guard lock(TreeLock());
      rect = WindowRectLocked(*window);
    }
    // The answer is not used: the frame's metrics are the window layer's own.
    SendMessageA(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
  }
  if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    return 0;
  }
  LPARAM clientSize;
  LPARAM clientOrigin;
  {
    std::lock_guard lock(TreeLock());
    if (window->life != WindowLife::Creating) return 0;  // destroyed by its own handlers
    window->life = WindowLife::Alive;
    const RECT client = ClientRectInWindowLocked(*window);
    clientSize = MAKELPARAM(static_cast<WORD>(client.right - client.left), static_cast<WORD>(client.bottom - client.top));
    clientOrigin = MAKELPARAM(static_cast<WORD>(window->x + client.left), static_cast<WORD>(window->y + client.top));
  }
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, clientSize);
  SendMessageA(hwnd, WM_MOVE, 0, clientOrigin);
  if (IsWindow(hwnd) && (style & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : 0;
}

BOOL DestroyWindow(HWND hwnd) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return FALSE;
  if (window->threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::vector<HWND> owned;
  {
    std::lock_guard lock(TreeLock());
    if (window->destroyStarted || window->life == WindowLife::Gone) return TRUE;
    window->destroyStarted = true;
    for (HWND top : TopLevelWindowsLocked(window->messageOnly)) {
      WindowRecord* other = RecordLocked(top);
      if (other && other->owner == hwnd) owned.push_back(top);
    }
  }
  for (HWND top : owned) {
    const auto other = FindWindowRecord(top);
    if (other && other->threadId == window->threadId) DestroyWindow(top);
  }
  TakeFocusAwayFrom(hwnd);
  bool visible;
  {
    std::lock_guard lock(TreeLock());
    visible = (window->style & WS_VISIBLE) != 0;
  }
  if (visible) SetWindowPos(hwnd, 0, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendDestroy(hwnd);
  FinishDestruction(hwnd);
  return TRUE;
}
