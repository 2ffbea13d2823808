// The colour picker's fixed palette: 32 named colours in cell order, the texts of the two extra
// boxes, and the logical palette the pop-up realises on palette devices.
#pragma once

#include <array>
#include <cstdint>

#include "platform/base/win_types.h"

namespace quorlin::forms {

struct PaletteColor {
  COLORREF color;    // 0x00BBGGRR
  const char* name;  // the cell's tooltip (GBK)
};

inline constexpr int kPaletteCellCount = 32;
extern const std::array<PaletteColor, kPaletteCellCount> ColorPickerPalette;

// The marker colour that stands for transparent.
inline constexpr COLORREF kTransparentColor = 0xFF000000;

// "透明" and "其它颜色..." (GBK).
extern const char* const kTransparentText;
extern const char* const kMoreColorsText;

// The first cell holding exactly this colour, or -1.
int PaletteCellOf(COLORREF color);

// A logical palette (version 0x300) of the 32 colours; the caller deletes it.
HPALETTE CreateColorPickerPalette();

}  // namespace quorlin::forms
