// A draw panel unit: the panel's window created from the template's property block, its
// properties read and written as typed values, its paint event raised through the kernel.
#include "graphics/draw_panel/unit/draw_panel_unit.h"

#include <iterator>

#include "graphics/draw_panel/draw_panel.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"

namespace quorlin::drawpanel {
namespace {

using forms::PropertyInfo;
namespace Kind = forms::PropertyKind;

constexpr PropertyInfo kProperties[] = {
    {"Border", Kind::Choice},       {"BackColor", Kind::Color},      {"BackPicture", Kind::Picture},
    {"BackPictureMode", Kind::Choice}, {"AutoRedraw", Kind::Boolean}, {"DrawingUnit", Kind::Choice},
    {"PenType", Kind::Choice},      {"DrawMode", Kind::Integer},     {"PenWidth", Kind::Integer},
    {"PenColor", Kind::Color},      {"BrushType", Kind::Choice},     {"BrushColor", Kind::Color},
    {"TextColor", Kind::Color},     {"TextBackColor", Kind::Color},  {"Font", Kind::Font},
    {"ClientWidth", Kind::Integer}, {"ClientHeight", Kind::Integer},
};
static_assert(std::size(kProperties) == 17);

constexpr int kFirstProperty = static_cast<int>(PanelProperty::Border);

PanelProperties PropertiesOf(const forms::DrawPanelData& data) {
  PanelProperties p;
  p.border = static_cast<int32_t>(data.border);
  p.backColor = data.backColor;
  p.backPicture = data.backPicture;
  p.backPictureMode = static_cast<int32_t>(data.backPictureMode);
  p.autoRedraw = data.autoRedraw != 0;
  p.drawingUnit = static_cast<int32_t>(data.drawingUnit);
  p.penType = static_cast<int32_t>(data.penType);
  p.drawMode = static_cast<int32_t>(data.drawMode);
  p.penWidth = static_cast<int32_t>(data.penWidth);
  p.penColor = data.penColor;
  p.brushType = static_cast<int32_t>(data.brushType);
  p.brushColor = data.brushColor;
  p.textColor = data.textColor;
  p.textBackColor = data.textBackColor;
  p.font = data.font;
  return p;
}

forms::DrawPanelData DataOf(const PanelProperties& p) {
  forms::DrawPanelData data;
  data.border = static_cast<uint32_t>(p.border);
  data.backColor = p.backColor;
  data.backPictureMode = static_cast<uint32_t>(p.backPictureMode);
  data.autoRedraw = p.autoRedraw ? 1 : 0;
  data.drawingUnit = static_cast<uint32_t>(p.drawingUnit);
  data.penType = static_cast<uint32_t>(p.penType);
  data.drawMode = static_cast<uint32_t>(p.drawMode);
  data.penWidth = static_cast<uint32_t>(p.penWidth);
  data.penColor = p.penColor;
  data.brushType = static_cast<uint32_t>(p.brushType);
  data.brushColor = p.brushColor;
  data.textColor = p.textColor;
  data.textBackColor = p.textBackColor;
  data.font = p.font;
  data.backPicture = p.backPicture;
  return data;
}

class DrawPanelUnit final : public forms::Unit, public forms::UnitMessageHandler {
 public:
  DrawPanelUnit(const forms::UnitCreation& creation, forms::DrawPanelData data)
      : Unit(creation), properties_(PropertiesOf(data)) {}

  bool Make(const forms::UnitCreation& creation) {
    window_ = DrawPanel::Create(properties_, creation.parent, creation.left, creation.top, creation.width,
                                creation.height, forms::StyleOfStateFlags(creation.stateFlags),
                                static_cast<int>(creation.unitId));
    DrawPanel* panel = DrawPanel::FromWindow(window_);
    if (!panel) return false;
    const uint32_t formId = FormId();
    const uint32_t unitId = UnitId();
    panel->SetEventSink([formId, unitId](DrawPanel&, int event, std::span<const int32_t> arguments) {
      uint32_t words[5] = {};
      const size_t count = std::min<size_t>(arguments.size(), std::size(words));
      for (size_t i = 0; i < count; ++i) words[i] = static_cast<uint32_t>(arguments[i]);
      forms::RaiseEvent(formId, unitId, event, std::span<const uint32_t>(words, count));
    });
    forms::SubclassUnitWindow(window_, *this, *this);
    return true;
  }

  HWND Window() const override { return window_; }

  bool HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

  bool GetProperty(int k, TypedValue& out) override {
    DrawPanel* panel = DrawPanel::FromWindow(window_);
    if (!panel || k < 0 || k >= static_cast<int>(std::size(kProperties))) return false;
    const auto property = static_cast<PanelProperty>(k + kFirstProperty);
    if (DrawPanel::IsBytesProperty(property)) {
      out = forms::ByteSetValue(panel->ReadBytes(property));
    } else if (property == PanelProperty::AutoRedraw) {
      out = MakeBoolean(panel->ReadInteger(property) != 0);
    } else {
      out = MakeInteger(panel->ReadInteger(property));
    }
    return true;
  }

  forms::WriteOutcome SetProperty(int k, const TypedValue& value) override {
    DrawPanel* panel = DrawPanel::FromWindow(window_);
    if (!panel || k < 0 || k >= static_cast<int>(std::size(kProperties))) return forms::WriteOutcome::Ignored;
    const auto property = static_cast<PanelProperty>(k + kFirstProperty);
    if (property == PanelProperty::ClientWidth || property == PanelProperty::ClientHeight) {
      return forms::WriteOutcome::Ignored;
    }
    if (DrawPanel::IsBytesProperty(property)) {
      panel->WriteBytes(property, forms::BytesOf(value));
    } else {
      panel->WriteInteger(property, static_cast<int32_t>(value.low));
    }
    return forms::WriteOutcome::Done;
  }

  std::vector<uint8_t> SaveTypeData() const override {
    const DrawPanel* panel = DrawPanel::FromWindow(window_);
    return forms::WriteTypeData(DataOf(panel ? panel->Properties() : properties_));
  }

 private:
  PanelProperties properties_;  // the template's values, until the panel holds them
  HWND window_ = 0;
};

}  // namespace

const forms::UnitType& DrawPanelUnitType() {
  static const forms::DataUnitType<DrawPanelUnit, forms::DrawPanelData> type(forms::kTypeDrawPanel, "画板",
                                                                               "DrawPanel", kProperties);
  return type;
}

void RegisterDrawPanelUnitType() { forms::RegisterUnitType(DrawPanelUnitType()); }

}  // namespace quorlin::drawpanel
