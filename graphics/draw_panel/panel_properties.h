// The draw panel's own properties (indices 8 to 24; 0 to 7 are every control's), their
// defaults and the ranges writes are clamped to.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace quorlin::drawpanel {

inline constexpr uint32_t kDefaultColor = 0xFF000000;  // button face as background; transparent text background

enum class PanelProperty : int {
  Border = 8,
  BackColor = 9,
  BackPicture = 10,
  BackPictureMode = 11,
  AutoRedraw = 12,
  DrawingUnit = 13,
  PenType = 14,
  DrawMode = 15,
  PenWidth = 16,
  PenColor = 17,
  BrushType = 18,
  BrushColor = 19,
  TextColor = 20,
  TextBackColor = 21,
  Font = 22,
  ClientWidth = 23,
  ClientHeight = 24,
};

// The stored fields, in property order; also what a window template's block gives a new panel.
struct PanelProperties {
  int32_t border = 0;
  uint32_t backColor = kDefaultColor;
  std::vector<uint8_t> backPicture;
  int32_t backPictureMode = 1;
  bool autoRedraw = false;
  int32_t drawingUnit = 0;
  int32_t penType = 1;
  int32_t drawMode = 12;
  int32_t penWidth = 0;
  uint32_t penColor = 0;
  int32_t brushType = 1;
  uint32_t brushColor = 0xFFFFFF;
  uint32_t textColor = 0;
  uint32_t textBackColor = kDefaultColor;
  std::vector<uint8_t> font;  // a 60-byte LOGFONTA, or empty
};

// The largest value an integer property takes (writes above it give it, negatives give 0);
// nullopt for properties written unclamped.
std::optional<int32_t> PropertyMaximum(PanelProperty property);
int32_t ClampPropertyValue(PanelProperty property, int32_t value);
// Every integer field brought into its range (used on values coming from a template).
void ClampAll(PanelProperties& properties);

}  // namespace quorlin::drawpanel
