// The panel's font: the record behind the `Font` property and the font made from it for a
// drawing unit. Sub-field writes (face name, bold, size) are the forms layer's font members.
#pragma once

#include <cstdint>
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

}  // namespace quorlin::drawpanel
