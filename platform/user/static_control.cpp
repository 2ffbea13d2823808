// The STATIC class: text aligned by SS_LEFT / SS_CENTER / SS_RIGHT, one centred line with
// SS_CENTERIMAGE, colours and background from the parent's WM_CTLCOLORSTATIC.
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {


std::string WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void PaintStatic(HWND hwnd) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, ControlBackground(hwnd, hdc, WM_CTLCOLORSTATIC));
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const HFONT font = ControlFont(hwnd);
  const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
  if (!IsWindowEnabled(hwnd)) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  SetBkMode(hdc, TRANSPARENT);
  UINT format = 0;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER; break;
    case SS_RIGHT: format |= DT_RIGHT; break;
    default: break;
  }
  format |= (style & SS_CENTERIMAGE) ? (DT_SINGLELINE | DT_VCENTER) : DT_WORDBREAK;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  const std::string text = WindowText(hwnd);
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &client, format);
  if (oldFont) SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintStatic(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint fills the background with the parent's brush
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    default: {
      LRESULT result = 0;
      if (HandleControlTextMessage(hwnd, message, wParam, lParam, result)) return result;
      return DefWindowProcA(hwnd, message, wParam, lParam);
    }
  }
}

}  // namespace

void RegisterStaticClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &StaticProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.lpszClassName = "STATIC";
  RegisterClassA(&wc);
}

}  // namespace quorlin::platform
