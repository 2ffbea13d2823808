// How a picture box paints a still picture, for the box itself and for anyone who must show
// exactly what a box would (the picture tool).
#pragma once

#include "graphics/picture_box/picture_layout.h"
#include "graphics/pictures/decoded_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

// Fills the client area (0, 0, clientWidth, clientHeight) of `hdc` with `background`, then
// draws `picture` (may be null) laid out by `mode`, its transparency blended onto `background`.
void PaintStillPicture(HDC hdc, const DecodedPicture* picture, DisplayMode mode, int clientWidth, int clientHeight,
                       COLORREF background);

// Fills a rectangle with a solid colour.
void FillWithColour(HDC hdc, const RECT& rect, COLORREF colour);

}  // namespace quorlin::pictures
