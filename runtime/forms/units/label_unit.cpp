// Label (type 10, "标签"): a static text. Of its words the label uses the first three:
// border (0 none, 1 thin line), horizontal alignment (0 left, 1 centre, 2 right) and line mode
// (0 one line centred vertically, 1 wrapped lines from the top).
#include <iterator>

#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/control_unit.h"

namespace quorlin::forms {
namespace {

constexpr PropertyInfo kProperties[] = {
    {"Caption", PropertyKind::Text},      {"Border", PropertyKind::Choice},     {"Alignment", PropertyKind::Choice},
    {"WordWrap", PropertyKind::Boolean},  {"Font", PropertyKind::Font},         {"Picture", PropertyKind::Picture},
    {"Reserved6", PropertyKind::Integer}, {"Reserved7", PropertyKind::Integer}, {"Reserved8", PropertyKind::Integer},
    {"Reserved9", PropertyKind::Integer}, {"Reserved10", PropertyKind::Integer}, {"Reserved11", PropertyKind::Integer},
    {"Reserved12", PropertyKind::Integer}, {"Reserved13", PropertyKind::Integer}, {"Reserved14", PropertyKind::Integer},
    {"Reserved15", PropertyKind::Integer}, {"Reserved16", PropertyKind::Integer}, {"Reserved17", PropertyKind::Integer},
    {"Reserved18", PropertyKind::Integer}, {"Reserved19", PropertyKind::Integer}, {"Reserved20", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 21);

class LabelUnit final : public ControlUnit {
 public:
  LabelUnit(const UnitCreation& creation, LabelData data) : ControlUnit(creation), data_(std::move(data)) {}

  bool Make(const UnitCreation& creation) {
    if (!MakeWindow(creation, "STATIC", data_.caption, Style())) return false;
    font_.Apply(window_, data_.font);
    return true;
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case 0: out = TextValue(WindowText(window_)); return true;
      case 1: case 2: out = MakeInteger(static_cast<int32_t>(data_.words[k - 1])); return true;
      case 3: out = MakeBoolean(data_.words[2] != 0); return true;
      case 4: out = FontValue(font_); return true;
      case 5: out = ByteSetValue(data_.picture); return true;
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
      case 1: case 2: case 3: {
        const uint32_t v = k == 3 ? (value.low != 0) : (value.low > 2 ? 2 : value.low);
        if (data_.words[k - 1] == v) return WriteOutcome::Done;
        data_.words[k - 1] = v;
        return WriteOutcome::NeedsNewWindow;
      }
      case 4: font_.Apply(window_, BytesOf(value)); return WriteOutcome::Done;
      case 5: data_.picture = BytesOf(value); return WriteOutcome::Done;
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    LabelData saved = data_;
    saved.caption = WindowText(window_);
    saved.font = font_.Block();
    return WriteTypeData(saved);
  }

 private:
  DWORD Style() const {
    DWORD style = SS_NOPREFIX;
    style |= data_.words[1] == 1 ? SS_CENTER : data_.words[1] == 2 ? SS_RIGHT : SS_LEFT;
    if (data_.words[2] == 0) style |= SS_CENTERIMAGE;
    if (data_.words[0] == 1) style |= WS_BORDER;
    return style;
  }

  LabelData data_;
};

}  // namespace

const UnitType& LabelUnitType() {
  static const DataUnitType<LabelUnit, LabelData> type(kTypeLabel, "标签", "Label", kProperties);
  return type;
}

}  // namespace quorlin::forms
