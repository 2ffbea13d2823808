// Where things lie in the colour pop-up: 32 square cells in 7 columns, the transparent box above
// them and the more-colours box below when they are offered, and the pop-up's place on the
// screen. Pure geometry: the window code measures the texts and asks here.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::forms {

// The pop-up's cells besides the colour cells 0 to 31.
inline constexpr int kNoCell = -1;
inline constexpr int kMoreColorsBox = -2;
inline constexpr int kTransparentBox = -3;

inline constexpr int kPaletteColumns = 7;
inline constexpr int kPaletteRows = 5;  // ceil(32 / 7); the last row holds 4 cells

struct PopupMetrics {
  int edge = 2;             // the system edge width
  SIZE transparentText{};   // measured text, or {0, 0} when no transparent box is offered
  SIZE moreColorsText{};    // measured text, or {0, 0} when no more-colours box is offered
  bool transparent = false;
  bool moreColors = true;
};

struct PopupLayout {
  int edge = 2;
  int cellSize = 18;
  SIZE size{};            // the whole pop-up
  POINT gridOrigin{};     // the top-left corner of cell 0
  RECT transparentBox{};  // empty when not offered
  RECT moreColorsBox{};   // empty when not offered
  bool transparent = false;
  bool moreColors = false;

  // Any cell's rectangle (a colour cell or one of the boxes); empty for kNoCell.
  RECT CellRect(int cell) const;
  // The cell under a client point, kNoCell when none.
  int CellAt(POINT point) const;
};

PopupLayout LayoutPopup(const PopupMetrics& metrics);

// The top-left corner that keeps a pop-up of `size` opened at `origin` inside the screen:
// shifted left past the right edge, right past the left edge, up past the bottom.
POINT PlaceInsideScreen(POINT origin, SIZE size, SIZE screen);

}  // namespace quorlin::forms
