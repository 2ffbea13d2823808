#include "graphics/picture_box/unit/pic_box_unit.h"

#include <algorithm>
#include <iterator>

#include "graphics/picture_box/pic_box.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/unit_support.h"

namespace quorlin::pictures {
namespace {

using forms::PropertyInfo;
using forms::WriteOutcome;
namespace PropertyKind = forms::PropertyKind;

// "图片框" in GBK, spelled out: this file includes <chrono>, which GCC cannot compile for a GBK
// execution character set.
constexpr const char* kGbkName = "\xCD\xBC\xC6\xAC\xBF\xF2";

enum Property : int { kBorder, kBackColor, kPicture, kDisplayMode, kAnimate, kText1, kText2 };

constexpr PropertyInfo kProperties[] = {
    {"Border", PropertyKind::Choice},      {"BackColor", PropertyKind::Color}, {"Picture", PropertyKind::Picture},
    {"DisplayMode", PropertyKind::Choice}, {"Animate", PropertyKind::Boolean}, {"Text1", PropertyKind::Text},
    {"Text2", PropertyKind::Text},
};
static_assert(std::size(kProperties) == 7);

PicBoxSettings SettingsOf(const forms::PicBoxData& data) {
  PicBoxSettings settings;
  settings.border = static_cast<int>(std::min<uint32_t>(data.border, 0x7FFFFFFF));
  settings.backColor = data.backColor;
  settings.displayMode = static_cast<int>(std::min<uint32_t>(data.displayMode, 0x7FFFFFFF));
  settings.animate = data.animate != 0;
  settings.picture = data.picture;
  settings.text1 = data.text1;
  settings.text2 = data.text2;
  return settings;
}

class PicBoxUnit final : public forms::Unit, public forms::UnitMessageHandler {
 public:
  PicBoxUnit(const forms::UnitCreation& creation, forms::PicBoxData data) : Unit(creation), data_(std::move(data)) {}

  bool Make(const forms::UnitCreation& creation) {
    box_ = PicBox::Create(creation.parent, creation.left, creation.top, creation.width, creation.height,
                          forms::StyleOfStateFlags(creation.stateFlags), SettingsOf(data_));
    if (!box_) return false;
    forms::SubclassUnitWindow(box_->Window(), *this, *this);
    return true;
  }

  HWND Window() const override { return box_->Window(); }

  bool GetProperty(int k, TypedValue& out) override {
    const PicBoxSettings& s = box_->Settings();
    switch (k) {
      case kBorder: out = MakeInteger(s.border); return true;
      case kBackColor: out = MakeInteger(static_cast<int32_t>(s.backColor)); return true;
      case kPicture: out = forms::ByteSetValue(s.picture); return true;
      case kDisplayMode: out = MakeInteger(s.displayMode); return true;
      case kAnimate: out = MakeBoolean(s.animate); return true;
      case kText1: out = forms::TextValue(s.text1); return true;
      case kText2: out = forms::TextValue(s.text2); return true;
      default: return false;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case kBorder: box_->SetBorder(IntegerOf(value)); break;
      case kBackColor: box_->SetBackColor(value.low); break;
      case kPicture: box_->SetPicture(forms::BytesOf(value)); break;
      case kDisplayMode: box_->SetDisplayMode(IntegerOf(value)); break;
      case kAnimate: box_->SetAnimate(value.low != 0); break;
      case kText1: box_->SetText1(forms::TextOf(value)); break;
      case kText2: box_->SetText2(forms::TextOf(value)); break;
      default: return WriteOutcome::Ignored;
    }
    return WriteOutcome::Done;
  }

  std::vector<uint8_t> SaveTypeData() const override {
    const PicBoxSettings& s = box_->Settings();
    forms::PicBoxData saved;
    saved.border = static_cast<uint32_t>(s.border);
    saved.backColor = s.backColor;
    saved.displayMode = static_cast<uint32_t>(s.displayMode);
    saved.animate = s.animate ? 1 : 0;
    saved.picture = s.picture;
    saved.text1 = s.text1;
    saved.text2 = s.text2;
    return forms::WriteTypeData(saved);
  }

  // The box's own procedure does all the work.
  bool HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

 private:
  forms::PicBoxData data_;
  std::unique_ptr<PicBox> box_;
};

}  // namespace

const forms::UnitType& PicBoxUnitType() {
  static const forms::DataUnitType<PicBoxUnit, forms::PicBoxData> type(forms::kTypePicBox, kGbkName, "PicBox",
                                                                       kProperties);
  return type;
}

void RegisterPicBoxUnitType() { forms::RegisterUnitType(PicBoxUnitType()); }

}  // namespace quorlin::pictures
