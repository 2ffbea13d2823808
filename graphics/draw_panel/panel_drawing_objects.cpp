#include "graphics/draw_panel/panel_drawing_objects.h"

#include <array>

#include "graphics/draw_panel/draw_panel_patterns.h"
#include "platform/gdi/gdi.h"

namespace quorlin::drawpanel {

HPEN CreatePanelPen(int penType, int width, uint32_t colour) {
  static constexpr int kStyles[7] = {PS_ALTERNATE, PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME};
  if (penType < 0 || penType > 6) return 0;
  return CreatePen(kStyles[penType], penType == 0 ? 0 : width, colour & 0x00FFFFFF);
}

HBRUSH CreatePanelBrush(int brushType, uint32_t colour) {
  static constexpr int kHatches[6] = {HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS, HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL};
  colour &= 0x00FFFFFF;
  if (brushType == 0) {
    const LOGBRUSH hollow{BS_HOLLOW, 0, 0};
    return CreateBrushIndirect(&hollow);
  }
  if (brushType == 1) return CreateSolidBrush(colour);
  if (brushType >= 2 && brushType <= 7) return CreateHatchBrush(kHatches[brushType - 2], colour);
  if (brushType < 8 || brushType >= 8 + kPatternCount) return 0;
  // One-bit bitmap rows are word-aligned: each pattern byte is followed by a zero byte.
  std::array<uint8_t, 16> rows{};
  for (size_t row = 0; row < 8; ++row) rows[row * 2] = DrawPanelPatterns[static_cast<size_t>(brushType - 8)][row];
  const HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, rows.data());
  if (!bitmap) return 0;
  const HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);  // the brush keeps its own copy of the pattern
  return brush;
}

}  // namespace quorlin::drawpanel
