#include "platform/user/control_classes.h"

#include <mutex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {

void RegisterControlClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStaticClass();
    RegisterButtonClass();
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

}  // namespace quorlin::platform
