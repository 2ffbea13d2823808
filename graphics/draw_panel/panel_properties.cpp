#include "graphics/draw_panel/panel_properties.h"

#include <algorithm>

namespace quorlin::drawpanel {

std::optional<int32_t> PropertyMaximum(PanelProperty property) {
  switch (property) {
    case PanelProperty::Border: return 5;
    case PanelProperty::BackPictureMode: return 2;
    case PanelProperty::DrawingUnit: return 5;
    case PanelProperty::PenType: return 6;
    case PanelProperty::DrawMode: return 15;
    case PanelProperty::PenWidth: return 32767;
    case PanelProperty::BrushType: return 55;
    default: return std::nullopt;
  }
}

int32_t ClampPropertyValue(PanelProperty property, int32_t value) {
  const std::optional<int32_t> maximum = PropertyMaximum(property);
  return maximum ? std::clamp(value, 0, *maximum) : value;
}

void ClampAll(PanelProperties& p) {
  p.border = ClampPropertyValue(PanelProperty::Border, p.border);
  p.backPictureMode = ClampPropertyValue(PanelProperty::BackPictureMode, p.backPictureMode);
  p.drawingUnit = ClampPropertyValue(PanelProperty::DrawingUnit, p.drawingUnit);
  p.penType = ClampPropertyValue(PanelProperty::PenType, p.penType);
  p.drawMode = ClampPropertyValue(PanelProperty::DrawMode, p.drawMode);
  p.penWidth = ClampPropertyValue(PanelProperty::PenWidth, p.penWidth);
  p.brushType = ClampPropertyValue(PanelProperty::BrushType, p.brushType);
}

}  // namespace quorlin::drawpanel
