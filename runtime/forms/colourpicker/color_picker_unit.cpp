// The colour picker unit (颜色选择器, type 28): a window of its own class that draws the swatch,
// opens the pop-up on a click and passes the pop-up's notifications on to its parent.
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/painting.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/colourpicker/color_picker_drawing.h"
#include "runtime/forms/colourpicker/color_picker_notifications.h"
#include "runtime/forms/colourpicker/color_popup.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"

namespace quorlin::forms {
namespace {

constexpr const char* kPickerClass = "QuorlinColorPicker";

enum Property : int { kCurrentColor, kAllowTransparent };

constexpr PropertyInfo kProperties[] = {
    {"CurrentColor", PropertyKind::Integer2},
    {"AllowTransparent", PropertyKind::Boolean},
};
static_assert(std::size(kProperties) == 2);

enum Event : int32_t { kColorChosen = 0, kGotFocus = -7, kLostFocus = -8 };

void RegisterPickerClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UnitWindowProcedure;
    windowClass.lpszClassName = kPickerClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

class ColorPickerUnit final : public Unit, public UnitMessageHandler {
 public:
  ColorPickerUnit(const UnitCreation& creation, ColorPickerData data)
      : Unit(creation), color_(data.color), allowTransparent_(data.allowTransparent != 0) {}

  bool Make(const UnitCreation& creation) {
    RegisterPickerClass();
    window_ = CreateWindowExA(0, kPickerClass, "", WS_CHILD | WS_CLIPSIBLINGS | StyleOfStateFlags(creation.stateFlags),
                              creation.left, creation.top, creation.width, creation.height, creation.parent, 0, 0,
                              nullptr);
    if (!window_) return false;
    AttachUnit(window_, *this, *this);
    return true;
  }

  HWND Window() const override { return window_; }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case kCurrentColor: out = MakeInteger(static_cast<int32_t>(color_)); return true;
      case kAllowTransparent: out = MakeBoolean(allowTransparent_); return true;
      default: return false;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case kCurrentColor: color_ = value.low; break;
      case kAllowTransparent: allowTransparent_ = value.low != 0; break;
      default: return WriteOutcome::Ignored;
    }
    InvalidateRect(window_, nullptr, FALSE);
    return WriteOutcome::Done;
  }

  std::vector<uint8_t> SaveTypeData() const override {
    ColorPickerData saved;
    saved.color = color_;
    saved.allowTransparent = allowTransparent_ ? 1 : 0;
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    result = 0;
    switch (message) {
      case WM_PAINT: Paint(); return true;
      case WM_ERASEBKGND: result = 1; return true;
      case WM_LBUTTONDOWN:
        SetFocus(window_);
        pressed_ = true;
        SetCapture(window_);
        return true;
      case WM_LBUTTONUP: {
        if (!pressed_) return true;
        pressed_ = false;
        if (GetCapture() == window_) ReleaseCapture();
        RECT client{};
        GetClientRect(window_, &client);
        if (PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) DropDown();
        return true;
      }
      case WM_CAPTURECHANGED: pressed_ = false; return true;
      case WM_KEYUP:
        // Space opens the pop-up like a click, on its release so that no repeat reaches the pop-up.
        if (wParam == static_cast<WPARAM>(VK_SPACE)) DropDown();
        return true;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: {
        InvalidateRect(window_, nullptr, FALSE);
        RaiseEvent(FormId(), UnitId(), message == WM_SETFOCUS ? kGotFocus : kLostFocus);
        return true;
      }
      case WM_ENABLE: InvalidateRect(window_, nullptr, FALSE); return false;
      case WM_DESTROY:
        if (popup_) {
          const HWND popup = popup_;
          popup_ = 0;
          DismissColorPopup(popup);
        }
        return false;
      case kSelectionChanged:
        if (static_cast<HWND>(lParam) == popup_) Notify(kSelectionChanged, static_cast<COLORREF>(wParam));
        return true;
      case kChoiceConfirmed:
      case kChoiceCancelled:
        if (popup_ && static_cast<HWND>(lParam) == popup_) {
          CloseUp(message == kChoiceConfirmed, static_cast<COLORREF>(wParam));
        }
        return true;
      default: return false;
    }
  }

 private:
  void Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    PickerLook look;
    look.color = color_;
    look.transparentAllowed = allowTransparent_;
    look.droppedDown = droppedDown_;
    look.enabled = IsWindowEnabled(window_) != FALSE;
    look.focused = GetFocus() == window_;
    DrawColorPicker(dc, client, look);
    EndPaint(window_, &paint);
  }

  void Notify(UINT code, COLORREF color) {
    const HWND parent = GetParent(window_);
    if (parent) SendMessageA(parent, code, color, static_cast<LPARAM>(window_));
  }

  void DropDown() {
    if (droppedDown_ && !IsWindow(popup_)) {
      // The pop-up went without a word (destroyed from outside): the drop-down is over.
      droppedDown_ = false;
      popup_ = 0;
    }
    if (droppedDown_ || !IsWindowEnabled(window_)) return;
    RECT rect{};
    GetWindowRect(window_, &rect);
    const COLORREF opening = EffectiveColor(color_, allowTransparent_);
    droppedDown_ = true;
    ColorPopupRequest request;
    request.color = opening;
    request.transparent = allowTransparent_;
    request.notify = window_;
    request.owner = GetAncestor(window_, GA_ROOT);
    request.origin = {rect.left, rect.bottom};
    const HWND self = window_;
    const HWND popup = OpenColorPopup(request);
    if (!IsWindow(self)) return;
    if (!popup) {
      droppedDown_ = false;
      return;
    }
    popup_ = popup;
    InvalidateRect(window_, nullptr, FALSE);
    Notify(kDropDownOpened, opening);
  }

  // The pop-up has gone; the parent hears of it before the application's handler runs, which
  // may do anything, this unit's destruction included.
  void CloseUp(bool confirmed, COLORREF color) {
    popup_ = 0;
    droppedDown_ = false;
    const COLORREF before = color_;
    if (confirmed) color_ = color;
    InvalidateRect(window_, nullptr, FALSE);
    const HWND self = window_;
    const uint32_t formId = FormId();
    const uint32_t unitId = UnitId();
    // Take the focus back from the pop-up unless the user went to another window.
    if (GetActiveWindow() == GetAncestor(self, GA_ROOT) && IsWindowVisible(self)) SetFocus(self);
    if (!IsWindow(self)) return;
    Notify(kClosedUp, color);
    if (!IsWindow(self)) return;
    Notify(confirmed ? kChoiceConfirmed : kChoiceCancelled, color);
    if (!IsWindow(self) || !confirmed) return;
    if (color != before) {
      Notify(kSelectionChanged, color);
      if (!IsWindow(self)) return;
    }
    RaiseEvent(formId, unitId, kColorChosen);
  }

  HWND window_ = 0;
  HWND popup_ = 0;
  COLORREF color_ = 0;
  bool allowTransparent_ = false;
  bool droppedDown_ = false;
  bool pressed_ = false;
};

}  // namespace

void RegisterColorPickerUnitType() {
  static const DataUnitType<ColorPickerUnit, ColorPickerData> type(kTypeColorPicker, "颜色选择器", "ColorPicker",
                                                                   kProperties);
  RegisterUnitType(type);
}

}  // namespace quorlin::forms
