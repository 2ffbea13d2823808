// The figure operations: each drawn with the panel's pen and brush on every target.
#include <algorithm>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/raster_modes.h"
#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"

namespace quorlin::drawpanel {
namespace {

RECT NormalisedRect(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

void DrawPanel::DrawPoint(int x, int y, COLORREF colour) {
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) { SetPixel(dc, x, y, colour & 0x00FFFFFF); });
}

void DrawPanel::DrawLine(int x1, int y1, int x2, int y2) {
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  });
}

void DrawPanel::DrawEllipse(int left, int top, int right, int bottom) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) { Ellipse(dc, r.left, r.top, r.right, r.bottom); });
}

void DrawPanel::DrawArc(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure,
                [&](HDC dc, bool) { Arc(dc, r.left, r.top, r.right, r.bottom, startX, startY, endX, endY); });
}

void DrawPanel::DrawChord(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure,
                [&](HDC dc, bool) { Chord(dc, r.left, r.top, r.right, r.bottom, startX, startY, endX, endY); });
}

void DrawPanel::DrawPie(int left, int top, int right, int bottom, int startX, int startY, int endX, int endY) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure,
                [&](HDC dc, bool) { Pie(dc, r.left, r.top, r.right, r.bottom, startX, startY, endX, endY); });
}

void DrawPanel::DrawRectangle(int left, int top, int right, int bottom) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) { Rectangle(dc, r.left, r.top, r.right, r.bottom); });
}

void DrawPanel::FillRectangle(int left, int top, int right, int bottom) {
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) {
    POINT corners[2] = {{left, top}, {right, bottom}};
    LPtoDP(dc, corners, 2);
    RECT r = NormalisedRect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    if (r.right == r.left) ++r.right;
    if (r.bottom == r.top) ++r.bottom;
    SetMapMode(dc, MM_TEXT);
    FillRect(dc, &r, brush_ ? brush_ : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  });
}

void DrawPanel::DrawRoundRectangle(int left, int top, int right, int bottom, int cornerWidth, Optional cornerHeight) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  const int height = cornerHeight.value_or(cornerWidth);
  DrawOnTargets(Use::Figure,
                [&](HDC dc, bool) { RoundRect(dc, r.left, r.top, r.right, r.bottom, cornerWidth, height); });
}

void DrawPanel::InvertRectangle(int left, int top, int right, int bottom) {
  const RECT r = NormalisedRect(left, top, right, bottom);
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) { InvertRect(dc, &r); });
}

void DrawPanel::DrawPolygon(std::span<const int32_t> points, Optional count) {
  const size_t pairs = points.size() / 2;
  const size_t used = count ? std::min<size_t>(pairs, static_cast<size_t>(std::max(0, *count))) : pairs;
  if (used < 2) return;
  std::vector<POINT> corners(used);
  for (size_t i = 0; i < used; ++i) corners[i] = POINT{points[2 * i], points[2 * i + 1]};
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) { Polygon(dc, corners.data(), static_cast<int>(used)); });
}

void DrawPanel::DrawPicture(const pictures::DecodedPicture* picture, int x, int y, Optional width, Optional height,
                            Optional rasterMode) {
  if (!picture) return;
  const int64_t operation =
      rasterMode && *rasterMode < 0 ? int64_t{*rasterMode} : int64_t{RasterOperationOf(rasterMode)};
  DrawOnTargets(Use::Figure, [&](HDC dc, bool) {
    const std::unique_ptr<pictures::DrawablePicture> drawable =
        pictures::MakeDrawablePicture(*picture, dc, EffectiveBackColor());
    if (!drawable) return;
    // The picture's own size is in pixels; the target measures in the drawing unit.
    POINT natural[2] = {{0, 0}, {drawable->width, drawable->height}};
    DPtoLP(dc, natural, 2);
    pictures::DrawDecodedPicture(*drawable, x, y, width.value_or(natural[1].x - natural[0].x),
                                 height.value_or(natural[1].y - natural[0].y), operation);
  });
}

void DrawPanel::CopyArea(Optional sourceX, Optional sourceY, Optional width, Optional height, DrawPanel* target,
                         Optional targetX, Optional targetY, Optional rasterMode) {
  DrawPanel& destination = target ? *target : *this;
  const RECT client = ClientRect();
  const POINT from = ToPixels(POINT{sourceX.value_or(0), sourceY.value_or(0)});
  const POINT zero = ToPixels(POINT{0, 0});
  const POINT extent = ToPixels(POINT{width.value_or(0), height.value_or(0)});
  const int64_t w = width ? int64_t{extent.x} - zero.x : client.right - client.left;
  const int64_t h = height ? int64_t{extent.y} - zero.y : client.bottom - client.top;
  if (w <= 0 || h <= 0) return;
  if (from.x + w < client.left || from.y + h < client.top || from.x > client.right || from.y > client.bottom) return;
  const POINT to = destination.ToPixels(POINT{targetX.value_or(0), targetY.value_or(0)});
  const DWORD operation = RasterOperationOf(rasterMode);
  const int copyWidth = static_cast<int>(std::min<int64_t>(w, INT32_MAX));
  const int copyHeight = static_cast<int>(std::min<int64_t>(h, INT32_MAX));

  const bool sourceIsWindow = imageDC_ == 0;
  const HDC source = sourceIsWindow ? GetDC(hwnd_) : imageDC_;
  if (!source) return;
  // The window first: with one panel as source and target, its image is still unchanged then.
  if (const HDC windowDC = destination.AcquireWindowDC()) {
    BitBlt(windowDC, to.x, to.y, copyWidth, copyHeight, source, from.x, from.y, operation);
    destination.ReleaseWindowDC(windowDC);
  }
  if (destination.imageDC_) {
    BitBlt(destination.imageDC_, to.x, to.y, copyWidth, copyHeight, source, from.x, from.y, operation);
  }
  if (sourceIsWindow) ReleaseDC(hwnd_, source);
}

}  // namespace quorlin::drawpanel
