// The arrow keys in the colour pop-up. Left and right walk the cells in reading order, up and
// down keep the column; past the first cell or row lies the transparent box (else the
// more-colours box), past the last cell or row the more-colours box (else the transparent box).
// From the transparent box right and down lead to cell 0; from the more-colours box left and up
// lead back to the last cell, right and down on to the start. With no current cell any arrow
// starts at cell 0.
#pragma once

#include <optional>

#include "platform/base/win_types.h"

namespace quorlin::forms {

// The cell an arrow key moves `current` to; nothing for a key that is not an arrow.
std::optional<int> NavigateCell(int current, int virtualKey, bool transparentOffered, bool moreColorsOffered);

}  // namespace quorlin::forms
