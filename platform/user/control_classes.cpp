#include "platform/user/control_classes.h"

#include <mutex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {

void RegisterControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStaticClass();
    RegisterButtonClass();
    RegisterEditClass();
    RegisterComboBoxClass();
    RegisterTooltipClass();
  });
}

HBRUSH ControlBackground(HWND control, HDC hdc, UINT ctlColorMessage) {
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
  const HWND parent = GetParent(control);
  LRESULT brush = 0;
  if (parent) brush = SendMessageA(parent, ctlColorMessage, static_cast<WPARAM>(hdc), static_cast<LPARAM>(control));
  return brush ? static_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_BTNFACE);
}

HFONT ControlFont(HWND control) { return static_cast<HFONT>(GetWindowLongPtrA(control, 0)); }

bool HandleControlTextMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_SETTEXT:
      result = DefWindowProcA(control, message, wParam, lParam);
      InvalidateRect(control, nullptr, TRUE);
      return true;
    case WM_SETFONT:
      SetWindowLongPtrA(control, 0, static_cast<LONG_PTR>(wParam));
      if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(control, nullptr, TRUE);
      result = 0;
      return true;
    case WM_GETFONT:
      result = GetWindowLongPtrA(control, 0);
      return true;
    default:
      return false;
  }
}

}  // namespace quorlin::platform
