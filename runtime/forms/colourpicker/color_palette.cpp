#include "runtime/forms/colourpicker/color_palette.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"

namespace quorlin::forms {

const std::array<PaletteColor, kPaletteCellCount> ColorPickerPalette = {{
    {0x000000, "黑色"}, {0x800000, "藏青"}, {0x008000, "墨绿"}, {0x808000, "深青"},
    {0x000080, "红褐"}, {0x800080, "紫红"}, {0x008080, "褐绿"}, {0xC0C0C0, "浅灰"},
    {0x808080, "灰色"}, {0xFF0000, "蓝色"}, {0x00FF00, "绿色"}, {0xFFFF00, "艳青"},
    {0x0000FF, "红色"}, {0xFF00FF, "品红"}, {0x00FFFF, "黄色"}, {0xFFFFFF, "白色"},
    {0xFF8080, "蓝灰"}, {0xE03058, "藏蓝"}, {0x00E080, "嫩绿"}, {0x80E000, "青绿"},
    {0x0060C0, "黄褐"}, {0xFFA8FF, "粉红"}, {0x00D8D8, "嫩黄"}, {0xECECEC, "银白"},
    {0xFF0090, "紫色"}, {0xFF8800, "天蓝"}, {0x80A080, "灰绿"}, {0xC06000, "青蓝"},
    {0x0080FF, "橙黄"}, {0x8050FF, "桃红"}, {0xC080FF, "芙红"}, {0x606060, "深灰"},
}};

const char* const kTransparentText = "透明";
const char* const kMoreColorsText = "其它颜色...";

int PaletteCellOf(COLORREF color) {
  for (int cell = 0; cell < kPaletteCellCount; ++cell) {
    if (ColorPickerPalette[static_cast<size_t>(cell)].color == color) return cell;
  }
  return -1;
}

HPALETTE CreateColorPickerPalette() {
  // LOGPALETTE declares one entry; the others follow it in the same block.
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + (kPaletteCellCount - 1) * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = kPaletteCellCount;
  for (size_t i = 0; i < kPaletteCellCount; ++i) {
    const COLORREF c = ColorPickerPalette[i].color;
    const PALETTEENTRY entry{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    std::memcpy(block.data() + offsetof(LOGPALETTE, palPalEntry) + i * sizeof entry, &entry, sizeof entry);
  }
  return CreatePalette(palette);
}

}  // namespace quorlin::forms
