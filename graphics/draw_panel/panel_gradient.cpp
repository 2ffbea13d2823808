// FillGradient: colours spread evenly along one of eight directions, interpolated linearly
// per channel between neighbouring colours, drawn in tiles of 50 × 50 pixels.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "platform/gdi/gdi.h"
#include "platform/user/window_geometry.h"

namespace quorlin::drawpanel {
namespace {

constexpr int kTileSize = 50;

// Position along the direction, 0 at the first pixel and 1 at the last.
double GradientPosition(int direction, const RECT& r, int x, int y) {
  const int spanX = r.right - r.left - 1;
  const int spanY = r.bottom - r.top - 1;
  const auto ratio = [](double part, double whole) { return whole > 0 ? part / whole : 0.0; };
  const double fromLeft = x - r.left;
  const double fromTop = y - r.top;
  const double fromRight = spanX - fromLeft;
  switch (direction) {
    case 1: return ratio(fromLeft, spanX);
    case 3: return 1 - ratio(fromLeft, spanX);
    case 4: return 1 - ratio(fromTop, spanY);
    case 5: return ratio(fromLeft + fromTop, spanX + spanY);
    case 6: return 1 - ratio(fromLeft + fromTop, spanX + spanY);
    case 7: return ratio(fromRight + fromTop, spanX + spanY);
    case 8: return 1 - ratio(fromRight + fromTop, spanX + spanY);
    default: return ratio(fromTop, spanY);
  }
}

// The colour at position t as a DIB pixel (blue, green, red, 0).
uint32_t GradientPixel(std::span<const COLORREF> colours, double t) {
  const double scaled = std::clamp(t, 0.0, 1.0) * static_cast<double>(colours.size() - 1);
  const size_t index = std::min(static_cast<size_t>(scaled), colours.size() - 2);
  const double f = scaled - static_cast<double>(index);
  const COLORREF a = colours[index];
  const COLORREF b = colours[index + 1];
  const auto channel = [&](int shift) {
    const double from = (a >> shift) & 0xFF;
    const double to = (b >> shift) & 0xFF;
    return static_cast<uint32_t>(std::lround(from + (to - from) * f));
  };
  return channel(16) | channel(8) << 8 | channel(0) << 16;
}

}  // namespace

void DrawPanel::FillGradient(int x, int y, int width, int height, Optional direction,
                             std::span<const COLORREF> colours) {
  if (colours.size() < 2) return;
  const int way = std::clamp(direction.value_or(2), 1, 8);
  const POINT corner0 = ToPixels(POINT{x, y});
  const POINT corner1 = ToPixels(POINT{static_cast<LONG>(std::clamp<int64_t>(int64_t{x} + width, INT32_MIN, INT32_MAX)),
                                       static_cast<LONG>(std::clamp<int64_t>(int64_t{y} + height, INT32_MIN, INT32_MAX))});
  const RECT area{std::min(corner0.x, corner1.x), std::min(corner0.y, corner1.y), std::max(corner0.x, corner1.x),
                  std::max(corner0.y, corner1.y)};
  if (area.right - area.left < 1 || area.bottom - area.top < 1) return;
  const RECT client = ClientRect();
  RECT clip{};
  if (!IntersectRect(&clip, &area, &client)) return;
  if (paintTarget_ && !IntersectRect(&clip, &clip, &invalidRect_)) return;

  std::vector<uint32_t> tile(static_cast<size_t>(kTileSize) * kTileSize);
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) {
    SetMapMode(dc, MM_TEXT);
    for (int tileTop = clip.top; tileTop < clip.bottom; tileTop += kTileSize) {
      const int rows = std::min(kTileSize, static_cast<int>(clip.bottom - tileTop));
      for (int tileLeft = clip.left; tileLeft < clip.right; tileLeft += kTileSize) {
        const int columns = std::min(kTileSize, static_cast<int>(clip.right - tileLeft));
        for (int row = 0; row < rows; ++row) {
          for (int column = 0; column < columns; ++column) {
            tile[static_cast<size_t>(row) * columns + column] =
                GradientPixel(colours, GradientPosition(way, area, tileLeft + column, tileTop + row));
          }
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = columns;
        info.bmiHeader.biHeight = -rows;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, tileLeft, tileTop, static_cast<DWORD>(columns), static_cast<DWORD>(rows), 0, 0, 0,
                          static_cast<UINT>(rows), tile.data(), &info, DIB_RGB_COLORS);
      }
    }
  });
}

}  // namespace quorlin::drawpanel
