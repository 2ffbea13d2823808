// Window procedures, the window's data words and its title.
#include <algorithm>
#include <cstring>

#include "platform/display/display_backend.h"
#include "platform/user/cursors.h"
#include "platform/gdi/gdi.h"
#include "platform/user/paint_flags.h"
#include "platform/user/painting.h"
#include "platform/user/window_frame.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

bool IsAtom(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

template <typename T>
bool ReadExtra(const WindowRecord& window, int index, T& value) {
  if (index < 0 || static_cast<size_t>(index) + sizeof(T) > window.extraBytes.size()) return false;
  std::memcpy(&value, window.extraBytes.data() + index, sizeof(T));
  return true;
}

template <typename T>
bool WriteExtra(WindowRecord& window, int index, T value) {
  if (index < 0 || static_cast<size_t>(index) + sizeof(T) > window.extraBytes.size()) return false;
  std::memcpy(window.extraBytes.data() + index, &value, sizeof(T));
  return true;
}

LRESULT CopyTitle(HWND hwnd, size_t bufferSize, char* buffer) {
  if (bufferSize == 0 || !buffer) return 0;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return 0;
  // A double-byte character that does not fit whole is left out rather than cut in two.
  const size_t n = CharacterBoundaryPrefix(window->text, bufferSize - 1);
  std::memcpy(buffer, window->text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

void StoreTitle(HWND hwnd, LPCSTR text) {
  {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) window->text = text && !IsAtom(text) ? text : "";
  }
  if (DisplayBackend* display = WindowLayerDisplay()) display->WindowRetitled(hwnd);
}

// WM_SETICON: keeps the icon and answers the one it replaces.
HICON StoreIcon(HWND hwnd, WPARAM which, HICON icon) {
  HICON previous = 0;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window || which > ICON_BIG) return 0;
    HICON& slot = which == ICON_BIG ? window->bigIcon : window->smallIcon;
    previous = slot;
    slot = icon;
  }
  if (DisplayBackend* display = WindowLayerDisplay()) display->WindowChanged(hwnd);
  return previous;
}

HICON IconOf(HWND hwnd, WPARAM which) {
  std::lock_guard lock(TreeLock());
  const WindowRecord* window = RecordLocked(hwnd);
  if (!window) return 0;
  switch (which) {
    case ICON_SMALL: return window->smallIcon;
    case ICON_BIG: return window->bigIcon;
    case ICON_SMALL2: return window->smallIcon ? window->smallIcon : window->bigIcon;
    default: return 0;
  }
}

// The style change goes through WM_STYLECHANGING (which may alter it) and WM_STYLECHANGED.
LONG_PTR ChangeStyle(const std::shared_ptr<WindowRecord>& window, int index, DWORD newStyle) {
  DWORD& field = index == GWL_STYLE ? window->style : window->exStyle;
  STYLESTRUCT change{};
  {
    std::lock_guard lock(TreeLock());
    change = STYLESTRUCT{field, newStyle};
  }
  SendMessageA(window->handle, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
  {
    std::lock_guard lock(TreeLock());
    field = change.styleNew;
  }
  SendMessageA(window->handle, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
  return static_cast<LONG_PTR>(change.styleOld);
}

// The class background brush fills the update area; 0 when the class has none.
LRESULT EraseWithClassBrush(HWND hwnd, HDC hdc) {
  HBRUSH brush;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return 0;
    brush = window->windowClass->background;
  }
  if (!brush || !hdc) return 0;
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, brush);
  return 1;
}

// WM_MOVE with the client area's corner in the parent's client coordinates and WM_SIZE with
// the client size and the size state, for what the change really moved or sized.
void ReportPositionChange(HWND hwnd, const WINDOWPOS* pos) {
  if (!pos) return;
  LPARAM origin;
  LPARAM size;
  WPARAM state;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return;
    const RECT client = ClientRectInWindowLocked(*window);
    origin = MAKELPARAM(static_cast<WORD>(window->x + client.left), static_cast<WORD>(window->y + client.top));
    size = MAKELPARAM(static_cast<WORD>(client.right - client.left), static_cast<WORD>(client.bottom - client.top));
    state = (window->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (window->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
  }
  if (!(pos->flags & SWP_NOMOVE)) SendMessageA(hwnd, WM_MOVE, 0, origin);
  if (!(pos->flags & SWP_NOSIZE)) SendMessageA(hwnd, WM_SIZE, state, size);
}

}  // namespace
}  // namespace quorlin::platform

using namespace quorlin::platform;

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (create && create->lpszName) StoreTitle(hwnd, create->lpszName);
      return TRUE;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SETTEXT: StoreTitle(hwnd, reinterpret_cast<LPCSTR>(lParam)); return TRUE;
    case WM_SETICON: return static_cast<LRESULT>(StoreIcon(hwnd, wParam, static_cast<HICON>(lParam)));
    case WM_GETICON: return static_cast<LRESULT>(IconOf(hwnd, wParam));
    case WM_GETTEXT: return CopyTitle(hwnd, static_cast<size_t>(wParam), reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: {
      std::lock_guard lock(TreeLock());
      WindowRecord* window = RecordLocked(hwnd);
      return window ? static_cast<LRESULT>(window->text.size()) : 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      SetWindowNeedsPaint(hwnd, false);  // also when marked by hand, with no update region
      return 0;
    }
    case WM_ERASEBKGND: return EraseWithClassBrush(hwnd, static_cast<HDC>(wParam));
    case WM_NCPAINT: DrawWindowFrame(hwnd); return 0;
    case WM_NCHITTEST: return FrameHitTest(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCLBUTTONUP:
      if (wParam == static_cast<WPARAM>(HTCLOSE)) {
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      } else if (wParam == static_cast<WPARAM>(HTMINBUTTON) && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_MINIMIZEBOX)) {
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, lParam);
      } else if (wParam == static_cast<WPARAM>(HTMAXBUTTON) && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_MAXIMIZEBOX)) {
        SendMessageA(hwnd, WM_SYSCOMMAND, IsZoomed(hwnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      }
      return 0;
    case WM_WINDOWPOSCHANGED: ReportPositionChange(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_IME_CHAR:
      // A double-byte character reaches WM_CHAR as its lead byte, then its trail byte.
      if (wParam > 0xFF) SendMessageA(hwnd, WM_CHAR, (wParam >> 8) & 0xFF, lParam);
      SendMessageA(hwnd, WM_CHAR, wParam & 0xFF, lParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) SetFocus(hwnd);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        default: break;
      }
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_SETCURSOR: return DefaultSetCursor(hwnd, wParam, lParam);
    case WM_NCCALCSIZE: {
      // The frame's metrics are fixed: the client area is the window less the frame insets.
      RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      if (!rect) return 0;
      const FrameInsets insets = FrameInsetsFor(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)),
                                                static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
      rect->left += insets.left;
      rect->top += insets.top;
      rect->right = std::max(rect->left, rect->right - insets.right);
      rect->bottom = std::max(rect->top, rect->bottom - insets.bottom);
      return 0;
    }
    default: return 0;
  }
}

LRESULT CallWindowProcA(WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return previous ? previous(hwnd, message, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  if (index == GWLP_WNDPROC) return reinterpret_cast<LONG_PTR>(window->procedure.load());
  std::lock_guard lock(TreeLock());
  switch (index) {
    case GWLP_HINSTANCE: return static_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT: return static_cast<LONG_PTR>(window->parent ? window->parent : window->owner);
    case GWLP_ID: return window->idOrMenu;
    case GWL_STYLE: return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_USERDATA: return window->userData;
    default: {
      LONG_PTR value = 0;
      if (!ReadExtra(*window, index, value)) SetLastError(ERROR_INVALID_INDEX);
      return value;
    }
  }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  if (index == GWLP_WNDPROC) {
    if (value == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return reinterpret_cast<LONG_PTR>(window->procedure.exchange(reinterpret_cast<WNDPROC>(value)));
  }
  if (index == GWL_STYLE || index == GWL_EXSTYLE) return ChangeStyle(window, index, static_cast<DWORD>(value));
  std::lock_guard lock(TreeLock());
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_HINSTANCE:
      old = static_cast<LONG_PTR>(window->instance);
      window->instance = static_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT:
      if (window->style & WS_CHILD) return static_cast<LONG_PTR>(window->parent);
      old = static_cast<LONG_PTR>(window->owner);
      window->owner = value ? RootLocked(static_cast<HWND>(value)) : 0;
      return old;
    case GWLP_ID: old = window->idOrMenu; window->idOrMenu = value; return old;
    case GWLP_USERDATA: old = window->userData; window->userData = value; return old;
    default:
      if (!ReadExtra(*window, index, old) || !WriteExtra(*window, index, value)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
      }
      return old;
  }
}

LONG GetWindowLongA(HWND hwnd, int index) {
  if (index < 0) return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  std::lock_guard lock(TreeLock());
  LONG value = 0;
  if (!ReadExtra(*window, index, value)) SetLastError(ERROR_INVALID_INDEX);
  return value;
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
  if (index < 0) {
    // A window procedure does not fit 32 bits.
    if (index == GWLP_WNDPROC) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    const LONG_PTR wide = index == GWL_STYLE || index == GWL_EXSTYLE
                              ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                              : static_cast<LONG_PTR>(value);
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, wide));
  }
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  std::lock_guard lock(TreeLock());
  LONG old = 0;
  if (!ReadExtra(*window, index, old) || !WriteExtra(*window, index, value)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return old;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
  if (!text || maxCount <= 0) return 0;
  text[0] = '\0';
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const LRESULT n = SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(text));
  if (n <= 0) return 0;
  if (n >= maxCount) {
    // A procedure that claims more than fits: trust only the buffer.
    text[maxCount - 1] = '\0';
    return static_cast<int>(strnlen(text, static_cast<size_t>(maxCount)));
  }
  return static_cast<int>(n);
}

int GetWindowTextLengthA(HWND hwnd) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
