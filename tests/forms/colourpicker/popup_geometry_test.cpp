// The pop-up's pure geometry and keyboard walk: cell rectangles, boxes, minimum width, the
// place on the screen, and every wrap-around of the arrow keys.
#include <gtest/gtest.h>

#include "platform/user/virtual_keys.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/colourpicker/color_palette.h"
#include "runtime/forms/colourpicker/popup_layout.h"
#include "runtime/forms/colourpicker/popup_navigation.h"

namespace quorlin::forms {
namespace {

constexpr int T = kTransparentBox;
constexpr int M = kMoreColorsBox;

struct Step {
  const char* note;
  int from;
  int key;
  bool transparent;
  int to;
};

TEST(PopupNavigationTest, ArrowKeys) {
  const Step steps[] = {
      {"right inside a row", 3, VK_RIGHT, false, 4},
      {"right from a row's last cell to the next row's first", 6, VK_RIGHT, false, 7},
      {"left from a row's first cell to the previous row's last", 14, VK_LEFT, false, 13},
      {"left from the first cell, no transparent box", 0, VK_LEFT, false, M},
      {"left from the first cell, transparent box", 0, VK_LEFT, true, T},
      {"up from the first row, no transparent box", 4, VK_UP, false, M},
      {"up from the first row, transparent box", 4, VK_UP, true, T},
      {"up keeps the column", 20, VK_UP, false, 13},
      {"down keeps the column", 13, VK_DOWN, false, 20},
      {"down into the short last row", 24, VK_DOWN, false, 31},
      {"down onto a column the last row lacks", 25, VK_DOWN, true, M},
      {"down below the last row", 29, VK_DOWN, false, M},
      {"right past the last cell", 31, VK_RIGHT, true, M},
      {"right from the transparent box", T, VK_RIGHT, true, 0},
      {"down from the transparent box", T, VK_DOWN, true, 0},
      {"left from the transparent box wraps to the end", T, VK_LEFT, true, M},
      {"left from the more-colours box", M, VK_LEFT, false, 31},
      {"up from the more-colours box", M, VK_UP, true, 31},
      {"right from the more-colours box wraps to the start", M, VK_RIGHT, false, 0},
      {"down from the more-colours box wraps to the transparent box", M, VK_DOWN, true, T},
      {"no current cell starts at cell 0", kNoCell, VK_UP, true, 0},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(NavigateCell(step.from, step.key, step.transparent, true), step.to) << step.note;
  }
  EXPECT_FALSE(NavigateCell(5, VK_HOME, false, true).has_value()) << "other keys go to the default handling";
  EXPECT_FALSE(NavigateCell(5, VK_TAB, false, true).has_value());
}

TEST(PopupNavigationTest, OppositeStepsReturn) {
  for (int cell = 0; cell < kPaletteCellCount - 1; ++cell) {
    EXPECT_EQ(NavigateCell(*NavigateCell(cell, VK_RIGHT, true, true), VK_LEFT, true, true), cell) << cell;
  }
  for (int cell = 0; cell + kPaletteColumns < kPaletteCellCount; ++cell) {
    EXPECT_EQ(NavigateCell(*NavigateCell(cell, VK_DOWN, false, true), VK_UP, false, true), cell) << cell;
  }
}

TEST(PopupLayoutTest, GridAndBoxes) {
  PopupMetrics metrics;
  metrics.edge = 2;
  metrics.moreColorsText = {60, 12};
  const PopupLayout plain = LayoutPopup(metrics);
  EXPECT_EQ(plain.cellSize, 18);
  EXPECT_TRUE(IsRectEmpty(&plain.transparentBox));
  EXPECT_EQ(plain.gridOrigin.x, 2);
  EXPECT_EQ(plain.gridOrigin.y, 2);
  const int boxHeight = 12 + 5 * 2 + 2;
  EXPECT_EQ(plain.size.cx, 7 * 18 + 4);
  EXPECT_EQ(plain.size.cy, 2 + 5 * 18 + boxHeight + 2);
  EXPECT_EQ(plain.moreColorsBox.top, 2 + 5 * 18);
  EXPECT_EQ(plain.moreColorsBox.right - plain.moreColorsBox.left, plain.size.cx - 4) << "spans the full width";

  // Every cell's centre finds the cell; the three missing cells of the last row find nothing.
  for (int cell = 0; cell < kPaletteCellCount; ++cell) {
    const RECT r = plain.CellRect(cell);
    EXPECT_EQ(plain.CellAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), cell);
  }
  const RECT last = plain.CellRect(31);
  EXPECT_EQ(plain.CellAt({last.right + 3, last.top + 3}), kNoCell);
  EXPECT_EQ(plain.CellAt({0, 0}), kNoCell) << "the margin";
  EXPECT_EQ(plain.CellAt({10, plain.moreColorsBox.top + 5}), M);

  metrics.transparent = true;
  metrics.transparentText = {24, 12};
  const PopupLayout withTransparent = LayoutPopup(metrics);
  EXPECT_EQ(withTransparent.transparentBox.top, 2);
  EXPECT_EQ(withTransparent.gridOrigin.y, 2 + boxHeight);
  EXPECT_EQ(withTransparent.size.cy, plain.size.cy + boxHeight);
  EXPECT_EQ(withTransparent.CellAt({10, 5}), T);

  metrics.moreColorsText = {300, 12};
  EXPECT_EQ(LayoutPopup(metrics).size.cx, 304) << "at least as wide as the wider text plus two edges";
}

TEST(PopupLayoutTest, KeptInsideTheScreen) {
  const SIZE screen{1280, 1024}, popup{130, 130};
  struct Row {
    POINT origin;
    POINT expected;
  } rows[] = {
      {{100, 100}, {100, 100}},
      {{1200, 100}, {1150, 100}},  // past the right edge
      {{-20, 100}, {0, 100}},      // past the left edge
      {{100, 1000}, {100, 894}},   // past the bottom
      {{1250, 1010}, {1150, 894}},
  };
  for (const Row& row : rows) {
    const POINT place = PlaceInsideScreen(row.origin, popup, screen);
    EXPECT_EQ(place.x, row.expected.x);
    EXPECT_EQ(place.y, row.expected.y);
  }
}

TEST(ColorPaletteTest, TableAndLookup) {
  EXPECT_EQ(ColorPickerPalette[12].color, 0x0000FFu);
  EXPECT_STREQ(ColorPickerPalette[15].name, "\xB0\xD7\xC9\xAB");  // 白色
  EXPECT_STREQ(kMoreColorsText, "\xC6\xE4\xCB\xFC\xD1\xD5\xC9\xAB...");  // 其它颜色...
  EXPECT_EQ(PaletteCellOf(0xFFFFFF), 15);
  EXPECT_EQ(PaletteCellOf(0x123456), -1);
  EXPECT_EQ(PaletteCellOf(kTransparentColor), -1);
}

}  // namespace
}  // namespace quorlin::forms
