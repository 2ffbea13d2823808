// Decoded pictures made drawable on one device and drawn there.
//
//   auto drawable = MakeDrawablePicture(decoded, hdc, background);  // once per drawing
//   if (drawable) DrawDecodedPicture(*drawable, x, y, -1, -1, SRCCOPY);
//
// Transparency (PNG alpha) is resolved when the picture is made drawable: every pixel that is
// not opaque is blended onto `background`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/pictures/decoded_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

// A picture on one device: the icon (kinds Icon and Cursor, owned by the decoded picture) or a
// device bitmap of width × height, deleted with this record.
struct DrawablePicture {
  HDC dc = 0;
  PictureKind kind = PictureKind::None;
  int width = 0;
  int height = 0;
  // What the bitmap holds, from the picture's top-left: all of it unless made for a part.
  int heldWidth = 0;
  int heldHeight = 0;
  HICON icon = 0;
  HBITMAP bitmap = 0;

  DrawablePicture() = default;
  DrawablePicture(const DrawablePicture&) = delete;
  DrawablePicture& operator=(const DrawablePicture&) = delete;
  ~DrawablePicture();

  // Hands the device bitmap to the caller, who deletes it.
  HBITMAP ReleaseBitmap();
};

// The blend weight of one alpha step: 1/255 rounded to single precision.
inline constexpr double kAlphaWeight = static_cast<double>(1.0f / 255.0f);

// One colour channel of a PNG pixel of alpha `alpha` blended onto the background's channel.
uint8_t BlendChannel(uint8_t colour, uint8_t alpha, uint8_t background);

// Null when the device refuses the picture (a multi-plane PCX, for one).
std::unique_ptr<DrawablePicture> MakeDrawablePicture(const DecodedPicture& picture, HDC target, COLORREF background);

// As MakeDrawablePicture, but a true-colour picture (JPEG, BMP) larger than `shownWidth` ×
// `shownHeight` keeps only that much of its top-left: for a picture drawn at its own size
// where no more of it can be seen. Such a part is drawn only at the picture's own size.
std::unique_ptr<DrawablePicture> MakeDrawablePicturePart(const DecodedPicture& picture, HDC target,
                                                         COLORREF background, int shownWidth, int shownHeight);

// Draws at (x, y) with the given size (-1: the picture's own width or height). `rasterOperation`
// is a ternary raster operation (SRCCOPY …) or, when negative, -c: pixels of colour c
// (0x00BBGGRR) leave the target unchanged. Icons are drawn with DrawIconEx and ignore it.
void DrawDecodedPicture(const DrawablePicture& picture, int x, int y, int width, int height, int64_t rasterOperation);

// The picture as a device bitmap owned by the caller, or 0: transparency is blended onto white
// and icons are drawn onto a white bitmap of their size.
HBITMAP PictureToBitmapHandle(const uint8_t* bytes, size_t length);

}  // namespace quorlin::pictures
