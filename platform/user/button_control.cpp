// The BUTTON class: push, default push and (auto) check boxes.
//
// A press with the left button captures the mouse; the button looks pressed while the pointer
// is inside and clicks only when released inside. Space does the same for the focused button.
// A click sends BN_CLICKED through WM_COMMAND to the parent.
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr int kStateSlot = sizeof(LONG_PTR);

// State bits; the low ones are the BM_GETSTATE values.
constexpr LONG_PTR kCheckMask = 0x0003;
constexpr LONG_PTR kPushed = BST_PUSHED;
constexpr LONG_PTR kFocus = BST_FOCUS;
constexpr LONG_PTR kTracking = 0x0100;   // the left button went down on us; we hold the capture
constexpr LONG_PTR kSpaceDown = 0x0200;

constexpr int kCheckBoxSize = 13;

DWORD TypeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool IsCheckBox(HWND hwnd) { return TypeOf(hwnd) == BS_CHECKBOX || TypeOf(hwnd) == BS_AUTOCHECKBOX; }

LONG_PTR State(HWND hwnd) { return GetWindowLongPtrA(hwnd, kStateSlot); }

void SetState(HWND hwnd, LONG_PTR state) {
  if (State(hwnd) == state) return;
  SetWindowLongPtrA(hwnd, kStateSlot, state);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Change(HWND hwnd, LONG_PTR set, LONG_PTR clear) { SetState(hwnd, (State(hwnd) & ~clear) | set); }

void Click(HWND hwnd) {
  if (TypeOf(hwnd) == BS_AUTOCHECKBOX) {
    const LONG_PTR state = State(hwnd);
    SetState(hwnd, (state & ~kCheckMask) | ((state & kCheckMask) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED));
  }
  const HWND parent = GetParent(hwnd);
  if (!parent) return;
  const WORD id = LOWORD(static_cast<uintptr_t>(GetWindowLongPtrA(hwnd, GWLP_ID)));
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), static_cast<LPARAM>(hwnd));
}

bool Inside(HWND hwnd, LPARAM lParam) {
  RECT client;
  GetClientRect(hwnd, &client);
  return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
}

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Disabled text is embossed: highlight one pixel down and right, shadow on top.
void DrawLabel(HDC hdc, HWND hwnd, const std::string& text, RECT rect, UINT format) {
  SetBkMode(hdc, TRANSPARENT);
  if (IsWindowEnabled(hwnd)) {
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    return;
  }
  RECT shifted = rect;
  OffsetRect(&shifted, 1, 1);
  SetTextColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
  SetTextColor(hdc, GetSysColor(COLOR_BTNSHADOW));
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void PaintPushButton(HWND hwnd, HDC hdc, const RECT& client, LONG_PTR state) {
  ControlBackground(hwnd, hdc, WM_CTLCOLORBTN);  // push buttons keep the system colours
  SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
  RECT r = client;
  if (TypeOf(hwnd) == BS_DEFPUSHBUTTON || (state & kFocus)) {
    FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  RECT content = r;
  if (state & kPushed) {
    FrameRect(hdc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&content, -1, -1);
    FillRect(hdc, &content, GetSysColorBrush(COLOR_BTNFACE));
    OffsetRect(&content, 1, 1);
  } else {
    DrawEdge(hdc, &content, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  }
  DrawLabel(hdc, hwnd, WindowText(hwnd), content, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (state & kFocus) {
    RECT focus = client;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(hdc, &focus);
  }
}

void PaintCheckBox(HWND hwnd, HDC hdc, const RECT& client, LONG_PTR state) {
  FillRect(hdc, &client, ControlBackground(hwnd, hdc, WM_CTLCOLORSTATIC));
  const int top = client.top + (client.bottom - client.top - kCheckBoxSize) / 2;
  RECT box{client.left, top, client.left + kCheckBoxSize, top + kCheckBoxSize};
  UINT look = DFCS_BUTTONCHECK;
  if ((state & kCheckMask) == BST_CHECKED) look |= DFCS_CHECKED;
  if (state & kPushed) look |= DFCS_PUSHED;
  if (!IsWindowEnabled(hwnd)) look |= DFCS_INACTIVE;
  DrawFrameControl(hdc, &box, DFC_BUTTON, look);
  RECT label{box.right + 4, client.top, client.right, client.bottom};
  const std::string text = WindowText(hwnd);
  DrawLabel(hdc, hwnd, text, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  if ((state & kFocus) && !text.empty()) {
    RECT extent = label;
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &extent, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    const int height = extent.bottom - extent.top;
    extent.top = label.top + (label.bottom - label.top - height) / 2;
    extent.bottom = extent.top + height;
    InflateRect(&extent, 1, 1);
    IntersectRect(&extent, &extent, &client);
    DrawFocusRect(hdc, &extent);
  }
}

void PaintButton(HWND hwnd) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(hwnd, &ps);
  if (!hdc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  const HFONT font = ControlFont(hwnd);
  const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
  if (IsCheckBox(hwnd)) PaintCheckBox(hwnd, hdc, client, State(hwnd));
  else PaintPushButton(hwnd, hdc, client, State(hwnd));
  if (oldFont) SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintButton(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(hwnd);
      SetCapture(hwnd);
      Change(hwnd, kTracking | kPushed, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (State(hwnd) & kTracking) Change(hwnd, Inside(hwnd, lParam) ? kPushed : 0, Inside(hwnd, lParam) ? 0 : kPushed);
      return 0;
    case WM_LBUTTONUP: {
      if (!(State(hwnd) & kTracking)) return 0;
      const bool inside = Inside(hwnd, lParam);
      Change(hwnd, 0, kTracking | kPushed);  // before ReleaseCapture, so WM_CAPTURECHANGED finds nothing to undo
      ReleaseCapture();
      if (inside) Click(hwnd);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (State(hwnd) & kTracking) Change(hwnd, 0, kTracking | kPushed);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !(State(hwnd) & (kSpaceDown | kTracking))) Change(hwnd, kSpaceDown | kPushed, 0);
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && (State(hwnd) & kSpaceDown)) {
        Change(hwnd, 0, kSpaceDown | kPushed);
        Click(hwnd);
      }
      return 0;
    case WM_SETFOCUS:
      Change(hwnd, kFocus, 0);
      return 0;
    case WM_KILLFOCUS: {
      const bool tracking = State(hwnd) & kTracking;
      Change(hwnd, 0, kFocus | kSpaceDown | kPushed | kTracking);
      if (tracking && GetCapture() == hwnd) ReleaseCapture();
      return 0;
    }
    case BM_GETCHECK:
      return State(hwnd) & kCheckMask;
    case BM_SETCHECK:
      if (IsCheckBox(hwnd)) Change(hwnd, static_cast<LONG_PTR>(wParam & kCheckMask), kCheckMask);
      return 0;
    case BM_GETSTATE:
      return State(hwnd) & (kCheckMask | kPushed | kFocus);
    case BM_SETSTATE:
      Change(hwnd, wParam ? kPushed : 0, wParam ? 0 : kPushed);
      return 0;
    case BM_CLICK:
      Click(hwnd);
      return 0;
    case WM_ENABLE:
      if (!wParam) Change(hwnd, 0, kPushed | kSpaceDown);
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

void RegisterButtonClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = &ButtonProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.lpszClassName = "BUTTON";
  RegisterClassA(&wc);
}

}  // namespace quorlin::platform
