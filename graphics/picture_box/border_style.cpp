#include "graphics/picture_box/border_style.h"

#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::pictures {

void ApplyBorderStyle(HWND window, int style) {
  constexpr DWORD kExtendedBorders = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  DWORD plain = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)) & ~WS_BORDER;
  DWORD extended = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)) & ~kExtendedBorders;
  switch (style) {
    case 1: extended |= WS_EX_CLIENTEDGE; break;
    case 2: extended |= WS_EX_DLGMODALFRAME; break;
    case 3: extended |= WS_EX_STATICEDGE; break;
    case 4: extended |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: plain |= WS_BORDER; break;
    default: break;
  }
  SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(plain));
  SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(extended));
  SetWindowPos(window, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace quorlin::pictures
