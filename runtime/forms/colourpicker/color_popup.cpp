#include "runtime/forms/colourpicker/color_popup.h"

#include <array>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/shell/common_dialogs.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/painting.h"
#include "platform/user/tooltip_control.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/colourpicker/color_palette.h"
#include "runtime/forms/colourpicker/color_picker_notifications.h"
#include "runtime/forms/colourpicker/popup_navigation.h"

namespace quorlin::forms {
namespace {

// The colour dialog's sixteen custom colours, kept for the whole run as the dialog expects.
std::array<COLORREF, 16> g_customColors{};

HFONT PopupFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

SIZE MeasureText(HDC dc, const char* text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

class ColorPopup {
 public:
  explicit ColorPopup(const ColorPopupRequest& request)
      : notify_(request.notify), transparent_(request.transparent) {
    state_.openingColor = request.color;
    state_.resultColor = request.color;
    const int cell = PaletteCellOf(request.color);
    if (request.transparent && request.color == kTransparentColor) {
      state_.chosenCell = kTransparentBox;
    } else if (cell >= 0) {
      state_.chosenCell = cell;
    } else {
      state_.chosenCell = kMoreColorsBox;
    }
    state_.currentCell = state_.chosenCell;
  }

  static ColorPopup* Of(HWND window) {
    if (!IsWindow(window)) return nullptr;
    char name[32] = {};
    if (!GetClassNameA(window, name, sizeof name) || std::strcmp(name, kColorPopupClass) != 0) {
      return nullptr;
    }
    return reinterpret_cast<ColorPopup*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }

  static HWND Open(const ColorPopupRequest& request) {
    RegisterPopupClass();
    auto* popup = new ColorPopup(request);
    popup->Measure();
    const SIZE size = popup->state_.layout.size;
    const POINT place = PlaceInsideScreen(request.origin, size,
                                          {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    const HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kColorPopupClass, "", WS_POPUP, place.x,
                                        place.y, size.cx, size.cy, request.owner, 0, 0, popup);
    if (!window) {
      // Unless its creation got as far as WM_NCCREATE, no WM_NCDESTROY deleted it.
      if (!popup->adopted_) delete popup;
      return 0;
    }
    popup->palette_ = CreateColorPickerPalette();
    popup->AddTooltips();
    ShowWindow(window, SW_SHOW);
    if (!IsWindow(window)) return 0;
    SetCapture(window);
    return window;
  }

  void Dismiss() {
    ending_ = true;
    DestroyWindow(window_);
  }

  const ColorPopupState& State() const { return state_; }

 private:
  static void RegisterPopupClass() {
    static const bool registered = [] {
      quorlin::platform::RegisterControlClasses();
      WNDCLASSA windowClass{};
      windowClass.style = CS_SAVEBITS;
      windowClass.lpfnWndProc = &ColorPopup::Procedure;
      windowClass.lpszClassName = kColorPopupClass;
      return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
  }

  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* popup = static_cast<ColorPopup*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
      popup->window_ = window;
      popup->adopted_ = true;
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup));
      return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* popup = reinterpret_cast<ColorPopup*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!popup) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete popup;
      return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (popup->Handle(message, wParam, lParam, result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
  }

  ~ColorPopup() {
    if (palette_) DeleteObject(palette_);
  }

  // Every path that ends the pop-up (Confirm, Cancel) destroys the window and so this object:
  // after one of them nothing may touch a member.
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
      case WM_PAINT: Paint(); return true;
      case WM_ERASEBKGND: result = 1; return true;
      case WM_MOUSEMOVE: {
        const int cell = state_.layout.CellAt(point);
        if (cell != kNoCell) ChangeCurrent(cell);
        return true;
      }
      case WM_LBUTTONDOWN: pressed_ = true; return true;
      case WM_LBUTTONUP: {
        if (!pressed_) return true;  // the release of a press that did not reach the pop-up
        pressed_ = false;
        RECT client{};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point)) {
          End(false, state_.openingColor);
          return true;
        }
        const int cell = state_.layout.CellAt(point);
        if (cell != kNoCell) SetCurrent(cell);
        Confirm();
        return true;
      }
      case WM_KEYDOWN: {
        const int key = static_cast<int>(wParam);
        if (key == VK_RETURN || key == VK_SPACE) {
          Confirm();
          return true;
        }
        if (key == VK_ESCAPE) {
          End(false, state_.openingColor);
          return true;
        }
        if (auto next = NavigateCell(state_.currentCell, key, transparent_, true)) {
          ChangeCurrent(*next);
          return true;
        }
        return false;
      }
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE && !dialogOpen_ && !ending_) {
          End(false, state_.openingColor);
          return true;
        }
        return false;
      default: return false;
    }
  }

  void Measure() {
    const HDC dc = GetDC(0);
    const HGDIOBJ previous = SelectObject(dc, PopupFont());
    PopupMetrics metrics;
    metrics.edge = GetSystemMetrics(SM_CXEDGE);
    metrics.transparent = transparent_;
    if (transparent_) metrics.transparentText = MeasureText(dc, kTransparentText);
    metrics.moreColorsText = MeasureText(dc, kMoreColorsText);
    SelectObject(dc, previous);
    ReleaseDC(0, dc);
    state_.layout = LayoutPopup(metrics);
  }

  void AddTooltips() {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, window_, 0, 0, nullptr);
    if (!tooltip_) return;
    for (int cell = 0; cell < kPaletteCellCount; ++cell) {
      TOOLINFOA tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_SUBCLASS;
      tool.hwnd = window_;
      tool.uId = static_cast<UINT_PTR>(cell);
      tool.rect = state_.layout.CellRect(cell);
      tool.lpszText = const_cast<LPSTR>(ColorPickerPalette[static_cast<size_t>(cell)].name);
      SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }

  void InvalidateCell(int cell) {
    const RECT rect = state_.layout.CellRect(cell);
    if (!IsRectEmpty(&rect)) InvalidateRect(window_, &rect, FALSE);
  }

  void SetCurrent(int cell) {
    if (cell == state_.currentCell) return;
    InvalidateCell(state_.currentCell);
    state_.currentCell = cell;
    InvalidateCell(cell);
  }

  // Makes `cell` current and tells the picker which colour it stands for.
  void ChangeCurrent(int cell) {
    if (cell == state_.currentCell) return;
    SetCurrent(cell);
    COLORREF sent = state_.openingColor;
    if (cell >= 0) {
      sent = state_.resultColor = ColorPickerPalette[static_cast<size_t>(cell)].color;
    } else if (cell == kTransparentBox) {
      sent = state_.resultColor = kTransparentColor;
    }
    SendMessageA(notify_, kSelectionChanged, sent, static_cast<LPARAM>(window_));
  }

  void Confirm() {
    if (ending_) return;
    if (GetCapture() == window_) ReleaseCapture();
    const int cell = state_.currentCell;
    COLORREF color = state_.resultColor;
    if (cell >= 0) {
      color = ColorPickerPalette[static_cast<size_t>(cell)].color;
    } else if (cell == kTransparentBox) {
      color = kTransparentColor;
    } else if (cell == kMoreColorsBox) {
      CHOOSECOLORA dialog{};
      dialog.lStructSize = sizeof dialog;
      dialog.hwndOwner = window_;
      dialog.rgbResult = state_.openingColor;
      dialog.lpCustColors = g_customColors.data();
      dialog.Flags = CC_RGBINIT | CC_ANYCOLOR;
      const HWND self = window_;
      dialogOpen_ = true;
      const BOOL chosen = ChooseColorA(&dialog);
      if (!IsWindow(self)) return;  // its owner went away while the dialog was open
      dialogOpen_ = false;
      if (!chosen) {
        End(false, state_.openingColor);
        return;
      }
      color = dialog.rgbResult;
    }
    state_.resultColor = color;
    End(true, color);
  }

  // The pop-up is destroyed before the picker hears the outcome, so that whatever the picker's
  // event handler does (a message box, closing the form) finds no capture and no pop-up left.
  void End(bool confirmed, COLORREF color) {
    if (ending_) return;
    ending_ = true;
    const HWND self = window_;
    const HWND notify = notify_;
    if (GetCapture() == self) ReleaseCapture();
    DestroyWindow(self);  // deletes this object
    if (IsWindow(notify)) {
      SendMessageA(notify, confirmed ? kChoiceConfirmed : kChoiceCancelled, color, static_cast<LPARAM>(self));
    }
  }

  void Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    HPALETTE previousPalette = 0;
    if (palette_ && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE)) {
      previousPalette = SelectPalette(dc, palette_, FALSE);
      RealizePalette(dc);
    }
    const HGDIOBJ previousFont = SelectObject(dc, PopupFont());
    RECT client{};
    GetClientRect(window_, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    for (int cell = 0; cell < kPaletteCellCount; ++cell) DrawColorCell(dc, cell);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    if (transparent_) DrawTransparentBox(dc);
    DrawMoreColorsBox(dc);
    SelectObject(dc, previousFont);
    if (previousPalette) SelectPalette(dc, previousPalette, FALSE);
    EndPaint(window_, &paint);
  }

  // Sunken for the chosen cell, else raised for the current one.
  void DrawCellEdge(HDC dc, int cell, RECT rect) {
    if (cell == state_.chosenCell) {
      DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    } else if (cell == state_.currentCell) {
      DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    }
  }

  RECT Inner(RECT rect) const {
    InflateRect(&rect, -(state_.layout.edge + 1), -(state_.layout.edge + 1));
    return rect;
  }

  void DrawColorCell(HDC dc, int cell) {
    const RECT rect = state_.layout.CellRect(cell);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawCellEdge(dc, cell, rect);
    const RECT inner = Inner(rect);
    const HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    const HBRUSH brush = CreateSolidBrush(ColorPickerPalette[static_cast<size_t>(cell)].color);
    const HGDIOBJ previousPen = SelectObject(dc, pen);
    const HGDIOBJ previousBrush = SelectObject(dc, brush);
    Rectangle(dc, inner.left, inner.top, inner.right, inner.bottom);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(brush);
    DeleteObject(pen);
  }

  void DrawTransparentBox(HDC dc) {
    const RECT rect = state_.layout.transparentBox;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawCellEdge(dc, kTransparentBox, rect);
    RECT inner = Inner(rect);
    FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
    DrawTextA(dc, kTransparentText, -1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  void DrawMoreColorsBox(HDC dc) {
    const RECT rect = state_.layout.moreColorsBox;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    const RECT shadow{rect.left, rect.top + 1, rect.right, rect.top + 2};
    const RECT highlight{rect.left, rect.top + 2, rect.right, rect.top + 3};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    RECT box{rect.left, rect.top + state_.layout.edge + 2, rect.right, rect.bottom};
    DrawCellEdge(dc, kMoreColorsBox, box);
    DrawTextA(dc, kMoreColorsText, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  HWND window_ = 0;
  HWND notify_ = 0;
  HWND tooltip_ = 0;
  HPALETTE palette_ = 0;
  bool transparent_ = false;
  bool adopted_ = false;     // the window exists and owns this object
  bool pressed_ = false;     // the left button went down while the pop-up was open
  bool dialogOpen_ = false;  // the colour dialog is showing
  bool ending_ = false;
  ColorPopupState state_;
};

}  // namespace

HWND OpenColorPopup(const ColorPopupRequest& request) { return ColorPopup::Open(request); }

void DismissColorPopup(HWND popup) {
  if (ColorPopup* open = ColorPopup::Of(popup)) open->Dismiss();
}

bool ColorPopupStateOf(HWND popup, ColorPopupState& state) {
  const ColorPopup* open = ColorPopup::Of(popup);
  if (!open) return false;
  state = open->State();
  return true;
}

}  // namespace quorlin::forms
