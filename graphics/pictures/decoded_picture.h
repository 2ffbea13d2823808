// A decoded picture: what the draw panel and the picture box keep, decode once and draw often.
//
// Pixel layout by kind:
//   Jpeg, Bmp  3 bytes per pixel (blue, green, red), rows bottom-up, no row padding;
//              width × height × 3 bytes.
//   Icon, Cursor  no pixels; `icon` is the system icon (destroyed with the record).
//   Gif        a packed DIB of the first image: a 40-byte BITMAPINFOHEADER (image width,
//              negative image height = top-down, 1 plane, 8 bits, 256 colours used), 256
//              colour entries (blue, green, red, 0), then 8-bit rows padded to 4 bytes. `width`
//              and `height` are the logical screen's; the image is drawn at its top-left.
//   Pcx8       a packed DIB: 40-byte header (width, negative height, the file's plane count,
//              8 bits), 256 colour entries, then rows of (bytes per line × planes) rounded up
//              to 4 bytes (never shorter than the width needs), zero-padded.
//   Pcx1       one-bit rows of ceil(width / 8) bytes rounded up to an even count, top row first,
//              1 = white.
//   Png        4 bytes per pixel (blue, green, red, alpha; alpha not premultiplied), rows
//              top-down, no padding; width × height × 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/pictures/picture_kind.h"
#include "platform/base/win_types.h"

namespace quorlin::pictures {

inline constexpr size_t kDibHeaderSize = 40;
inline constexpr size_t kDibPaletteSize = 256 * 4;

struct DecodedPicture {
  PictureKind kind = PictureKind::None;
  int width = 0;
  int height = 0;
  HICON icon = 0;
  std::vector<uint8_t> pixels;
  // Gif only: the screen's background index, and the first image's transparent index (-1 for
  // none) — a colour key for animation; the still picture keeps that colour.
  int gifBackgroundIndex = 0;
  int gifTransparentIndex = -1;

  DecodedPicture() = default;
  DecodedPicture(const DecodedPicture&) = delete;
  DecodedPicture& operator=(const DecodedPicture&) = delete;
  DecodedPicture(DecodedPicture&& other) noexcept;
  DecodedPicture& operator=(DecodedPicture&& other) noexcept;
  ~DecodedPicture();

  size_t DataSize() const { return pixels.size(); }
};

}  // namespace quorlin::pictures
