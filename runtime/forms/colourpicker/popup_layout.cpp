#include "runtime/forms/colourpicker/popup_layout.h"

#include <algorithm>

#include "runtime/forms/colourpicker/color_palette.h"

namespace quorlin::forms {
namespace {

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

PopupLayout LayoutPopup(const PopupMetrics& metrics) {
  PopupLayout layout;
  const int e = metrics.edge;
  layout.edge = e;
  layout.cellSize = std::max(18, 2 * e + 7);
  layout.transparent = metrics.transparent;
  layout.moreColors = metrics.moreColors;

  const int gridWidth = kPaletteColumns * layout.cellSize;
  const int gridHeight = kPaletteRows * layout.cellSize;
  int width = gridWidth + 2 * e;
  const int widestText = std::max(metrics.transparent ? metrics.transparentText.cx : 0,
                                  metrics.moreColors ? metrics.moreColorsText.cx : 0);
  width = std::max(width, widestText + 2 * e);

  int y = e;
  if (metrics.transparent) {
    const int height = metrics.transparentText.cy + 5 * e + 2;
    layout.transparentBox = {e, y, width - e, y + height};
    y += height;
  }
  layout.gridOrigin = {e, y};
  y += gridHeight;
  if (metrics.moreColors) {
    const int height = metrics.moreColorsText.cy + 5 * e + 2;
    layout.moreColorsBox = {e, y, width - e, y + height};
    y += height;
  }
  layout.size = {width, y + e};
  return layout;
}

RECT PopupLayout::CellRect(int cell) const {
  if (cell == kTransparentBox) return transparentBox;
  if (cell == kMoreColorsBox) return moreColorsBox;
  if (cell < 0 || cell >= kPaletteCellCount) return {};
  const int x = gridOrigin.x + (cell % kPaletteColumns) * cellSize;
  const int y = gridOrigin.y + (cell / kPaletteColumns) * cellSize;
  return {x, y, x + cellSize, y + cellSize};
}

int PopupLayout::CellAt(POINT point) const {
  if (transparent && Inside(transparentBox, point)) return kTransparentBox;
  if (moreColors && Inside(moreColorsBox, point)) return kMoreColorsBox;
  if (point.x < gridOrigin.x || point.y < gridOrigin.y) return kNoCell;
  const int column = (point.x - gridOrigin.x) / cellSize;
  const int row = (point.y - gridOrigin.y) / cellSize;
  if (column >= kPaletteColumns || row >= kPaletteRows) return kNoCell;
  const int cell = row * kPaletteColumns + column;
  return cell < kPaletteCellCount ? cell : kNoCell;
}

POINT PlaceInsideScreen(POINT origin, SIZE size, SIZE screen) {
  POINT place = origin;
  if (place.x + size.cx > screen.cx) place.x = screen.cx - size.cx;
  if (place.x < 0) place.x = 0;
  if (place.y + size.cy > screen.cy) place.y = screen.cy - size.cy;
  if (place.y < 0) place.y = 0;
  return place;
}

}  // namespace quorlin::forms
