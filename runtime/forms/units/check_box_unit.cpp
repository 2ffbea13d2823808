// CheckBox (type 12, "选择框"): a check box with its caption; property 18 is the checked
// state. Event 0 when the user clicks it.
#include <iterator>

#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/control_unit.h"
#include "runtime/forms/units/event_record.h"

namespace quorlin::forms {
namespace {

constexpr int kChecked = 10;  // property 18

constexpr PropertyInfo kProperties[] = {
    {"Caption", PropertyKind::Text},      {"Font", PropertyKind::Font},         {"Picture", PropertyKind::Picture},
    {"Reserved3", PropertyKind::Integer}, {"Reserved4", PropertyKind::Integer}, {"Reserved5", PropertyKind::Integer},
    {"Reserved6", PropertyKind::Integer}, {"Reserved7", PropertyKind::Integer}, {"Reserved8", PropertyKind::Integer},
    {"Reserved9", PropertyKind::Integer}, {"Checked", PropertyKind::Boolean},   {"Reserved11", PropertyKind::Integer},
    {"Reserved12", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 13);

class CheckBoxUnit final : public ControlUnit {
 public:
  CheckBoxUnit(const UnitCreation& creation, CheckBoxData data) : ControlUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) {
    if (!MakeWindow(creation, "BUTTON", data_.caption, BS_AUTOCHECKBOX)) return false;
    font_.Apply(window_, data_.font);
    SendMessageA(window_, BM_SETCHECK, data_.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case 0: out = TextValue(WindowText(window_)); return true;
      case 1: out = FontValue(font_); return true;
      case 2: out = ByteSetValue(data_.picture); return true;
      case kChecked: out = MakeBoolean(SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED); return true;
      default:
        if (k < 0 || k >= static_cast<int>(std::size(kProperties))) return false;
        out = MakeInteger(0);
        return true;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case 0:
        data_.caption = TextOf(value);
        SetWindowTextA(window_, data_.caption.c_str());
        return WriteOutcome::Done;
      case 1: font_.Apply(window_, BytesOf(value)); return WriteOutcome::Done;
      case 2: data_.picture = BytesOf(value); return WriteOutcome::Done;
      case kChecked:
        SendMessageA(window_, BM_SETCHECK, value.low ? BST_CHECKED : BST_UNCHECKED, 0);
        return WriteOutcome::Done;
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    CheckBoxData saved = data_;
    saved.caption = WindowText(window_);
    saved.font = font_.Block();
    saved.checked = SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    return RaiseOnNotification(message, wParam, BN_CLICKED, result);
  }

 private:
  CheckBoxData data_;
};

}  // namespace

const UnitType& CheckBoxUnitType() {
  static const DataUnitType<CheckBoxUnit, CheckBoxData> type(kTypeCheckBox, "选择框", "CheckBox", kProperties);
  return type;
}

}  // namespace quorlin::forms
