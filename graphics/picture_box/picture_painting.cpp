#include "graphics/picture_box/picture_painting.h"

#include "graphics/pictures/drawable_picture.h"
#include "platform/gdi/gdi.h"

namespace quorlin::pictures {

void FillWithColour(HDC hdc, const RECT& rect, COLORREF colour) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(hdc, &rect, brush);
  DeleteObject(brush);
}

void PaintStillPicture(HDC hdc, const DecodedPicture* picture, DisplayMode mode, int clientWidth, int clientHeight,
                       COLORREF background) {
  FillWithColour(hdc, RECT{0, 0, clientWidth, clientHeight}, background);
  if (!picture) return;
  const std::unique_ptr<DrawablePicture> drawable = MakeDrawablePicture(*picture, hdc, background);
  if (!drawable) return;
  const RECT r = LayoutPicture(mode, clientWidth, clientHeight, picture->width, picture->height);
  DrawDecodedPicture(*drawable, r.left, r.top, r.right - r.left, r.bottom - r.top, SRCCOPY);
}

}  // namespace quorlin::pictures
