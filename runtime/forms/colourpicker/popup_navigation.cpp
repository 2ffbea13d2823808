#include "runtime/forms/colourpicker/popup_navigation.h"

#include "platform/user/virtual_keys.h"
#include "runtime/forms/colourpicker/color_palette.h"
#include "runtime/forms/colourpicker/popup_layout.h"

namespace quorlin::forms {
namespace {

constexpr int kLastCell = kPaletteCellCount - 1;

}  // namespace

std::optional<int> NavigateCell(int current, int virtualKey, bool transparentOffered, bool moreColorsOffered) {
  if (virtualKey != VK_LEFT && virtualKey != VK_RIGHT && virtualKey != VK_UP && virtualKey != VK_DOWN) {
    return std::nullopt;
  }
  const bool backwards = virtualKey == VK_LEFT || virtualKey == VK_UP;
  // Where a step before the first cell or after the last one lands.
  const int beforeFirst = transparentOffered ? kTransparentBox : moreColorsOffered ? kMoreColorsBox : kLastCell;
  const int afterLast = moreColorsOffered ? kMoreColorsBox : transparentOffered ? kTransparentBox : 0;

  if (current == kTransparentBox) {
    if (!backwards) return 0;
    return moreColorsOffered ? kMoreColorsBox : kLastCell;
  }
  if (current == kMoreColorsBox) {
    if (backwards) return kLastCell;
    return transparentOffered ? kTransparentBox : 0;
  }
  if (current < 0 || current > kLastCell) return 0;

  switch (virtualKey) {
    case VK_LEFT: return current > 0 ? current - 1 : beforeFirst;
    case VK_RIGHT: return current < kLastCell ? current + 1 : afterLast;
    case VK_UP: return current >= kPaletteColumns ? current - kPaletteColumns : beforeFirst;
    default: return current + kPaletteColumns <= kLastCell ? current + kPaletteColumns : afterLast;
  }
}

}  // namespace quorlin::forms
