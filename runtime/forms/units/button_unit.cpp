// Button (type 11, "按钮"): a push button; event 0 when it is clicked.
#include <iterator>

#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/control_unit.h"
#include "runtime/forms/units/event_record.h"

namespace quorlin::forms {
namespace {

constexpr DWORD kAlignLeft = 0x0100, kAlignRight = 0x0200, kAlignCentre = 0x0300;
constexpr DWORD kAlignTop = 0x0400, kAlignBottom = 0x0800, kAlignMiddle = 0x0C00;

constexpr PropertyInfo kProperties[] = {
    {"Picture", PropertyKind::Picture}, {"Type", PropertyKind::Choice},        {"Caption", PropertyKind::Text},
    {"HAlign", PropertyKind::Choice},   {"VAlign", PropertyKind::Choice},      {"Font", PropertyKind::Font},
};
static_assert(std::size(kProperties) == 6);

class ButtonUnit final : public ControlUnit {
 public:
  ButtonUnit(const UnitCreation& creation, ButtonData data) : ControlUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) {
    if (!MakeWindow(creation, "BUTTON", data_.caption, Style())) return false;
    font_.Apply(window_, data_.font);
    return true;
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case 0: out = ByteSetValue(data_.picture); return true;
      case 1: out = MakeInteger(static_cast<int32_t>(data_.kind)); return true;
      case 2: out = TextValue(WindowText(window_)); return true;
      case 3: out = MakeInteger(static_cast<int32_t>(data_.horizontalAlign)); return true;
      case 4: out = MakeInteger(static_cast<int32_t>(data_.verticalAlign)); return true;
      case 5: out = FontValue(font_); return true;
      default: return false;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case 0: data_.picture = BytesOf(value); return WriteOutcome::Done;
      case 1: return Restyle(data_.kind, value.low);
      case 2:
        data_.caption = TextOf(value);
        SetWindowTextA(window_, data_.caption.c_str());
        return WriteOutcome::Done;
      case 3: return Restyle(data_.horizontalAlign, value.low);
      case 4: return Restyle(data_.verticalAlign, value.low);
      case 5: font_.Apply(window_, BytesOf(value)); return WriteOutcome::Done;
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    ButtonData saved = data_;
    saved.caption = WindowText(window_);
    saved.font = font_.Block();
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    return RaiseOnNotification(message, wParam, BN_CLICKED, result);
  }

 private:
  DWORD Style() const {
    DWORD style = data_.kind == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    style |= data_.horizontalAlign == 0 ? kAlignLeft : data_.horizontalAlign == 2 ? kAlignRight : kAlignCentre;
    style |= data_.verticalAlign == 0 ? kAlignTop : data_.verticalAlign == 2 ? kAlignBottom : kAlignMiddle;
    return style;
  }

  // The kind and the alignments are styles the button takes only when it is created.
  WriteOutcome Restyle(uint32_t& field, uint32_t value) {
    const uint32_t limited = value > 2 ? 2 : value;
    if (field == limited) return WriteOutcome::Done;
    field = limited;
    return WriteOutcome::NeedsNewWindow;
  }

  ButtonData data_;
};

}  // namespace

const UnitType& ButtonUnitType() {
  static const DataUnitType<ButtonUnit, ButtonData> type(kTypeButton, "按钮", "Button", kProperties);
  return type;
}

}  // namespace quorlin::forms
