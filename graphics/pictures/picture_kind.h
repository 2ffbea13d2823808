// The kinds of picture the runtime recognises by the first bytes of a picture file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

enum class PictureKind : int {
  None = 0,
  Jpeg = 1,
  Bmp = 2,
  Icon = 3,
  Cursor = 4,
  Gif = 5,
  Pcx8 = 6,  // 8 bits per pixel, palette
  Pcx1 = 7,  // 1 bit per pixel, monochrome
  Png = 8,
};

// Kind of the picture whose first `count` bytes are given; None for fewer than 6 bytes or an
// unrecognised start. Tests run in a fixed order and the first match wins, so "BM" followed by
// anything is a BMP and FF D8 is a JPEG even when nothing valid follows.
PictureKind DetectPictureKind(const uint8_t* bytes, size_t count);

}  // namespace quorlin::pictures
