// The panel's font: the record behind the `Font` property, the font made from it for a drawing
// unit, and the sub-field writes (face name, bold, size) that produce a new record.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace quorlin::drawpanel {

inline constexpr size_t kFontRecordSize = sizeof(LOGFONTA);

// The bytes when they are exactly one record long, else the default GUI font's record.
LOGFONTA FontRecordOf(const std::vector<uint8_t>& fontBytes);
// The record as `Font` bytes.
std::vector<uint8_t> FontBytesOf(const LOGFONTA& record);

// The record adjusted for drawing in `drawingUnit` (heights of units 1..5 turned from pixels
// into that unit at `dpi`, character set, precisions, quality and pitch forced).
LOGFONTA PanelFontRecord(const std::vector<uint8_t>& fontBytes, int drawingUnit, int dpi);
// 0 when the system refuses the font.
HFONT CreatePanelFont(const std::vector<uint8_t>& fontBytes, int drawingUnit);

// Sub-field writes: each starts from the current bytes (the default GUI font's record when
// they are not one record) and returns the complete new record.
// A face of 1 to 31 bytes is copied in; an empty or longer one becomes "宋体".
std::vector<uint8_t> WithFontFace(const std::vector<uint8_t>& current, std::string_view face);
// Weight 700 for bold, else 0.
std::vector<uint8_t> WithFontBold(const std::vector<uint8_t>& current, bool bold);
// Height −MulDiv(points, the screen's vertical pixels per inch, 72).
std::vector<uint8_t> WithFontSize(const std::vector<uint8_t>& current, int points);

}  // namespace quorlin::drawpanel
