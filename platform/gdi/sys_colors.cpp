#include "platform/gdi/sys_colors.h"

#include <array>
#include <mutex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"

namespace {

constexpr int kColorCount = 31;

// 0x00BBGGRR, in index order.
constexpr std::array<DWORD, kColorCount> kSystemColors = {
    0xC8C8C8,  // COLOR_SCROLLBAR
    0x000000,  // COLOR_BACKGROUND
    0xD1B499,  // COLOR_ACTIVECAPTION
    0xDBCDBF,  // COLOR_INACTIVECAPTION
    0xF0F0F0,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x646464,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0x000000,  // COLOR_CAPTIONTEXT
    0xB4B4B4,  // COLOR_ACTIVEBORDER
    0xFCF7F4,  // COLOR_INACTIVEBORDER
    0xABABAB,  // COLOR_APPWORKSPACE
    0xFF9933,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xF0F0F0,  // COLOR_BTNFACE
    0xA0A0A0,  // COLOR_BTNSHADOW
    0x6D6D6D,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0x000000,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x696969,  // COLOR_3DDKSHADOW
    0xE3E3E3,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xE1FFFF,  // COLOR_INFOBK
    0xB5B5B5,  // 25 (unused)
    0xCC6600,  // COLOR_HOTLIGHT
    0xEAD1B9,  // COLOR_GRADIENTACTIVECAPTION
    0xF2E4D7,  // COLOR_GRADIENTINACTIVECAPTION
    0xFF9933,  // COLOR_MENUHILIGHT
    0xF0F0F0,  // COLOR_MENUBAR
};

}  // namespace

DWORD GetSysColor(int index) {
  if (index < 0 || index >= kColorCount) return 0;
  return kSystemColors[static_cast<size_t>(index)];
}

HBRUSH GetSysColorBrush(int index) {
  if (index < 0 || index >= kColorCount) return 0;
  static std::array<HBRUSH, kColorCount>* brushes = [] {
    auto* b = new std::array<HBRUSH, kColorCount>;
    for (int i = 0; i < kColorCount; ++i) {
      auto brush = std::make_shared<quorlin::platform::gdi::BrushObject>();
      brush->color = kSystemColors[static_cast<size_t>(i)];
      brush->stock = true;
      (*b)[static_cast<size_t>(i)] = quorlin::platform::RegisterHandle(quorlin::platform::HandleKind::Brush, brush);
    }
    return b;
  }();
  return (*brushes)[static_cast<size_t>(index)];
}
