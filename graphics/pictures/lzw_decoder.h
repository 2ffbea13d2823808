// The variable-length LZW code of GIF images: codes are read least significant bit first,
// start at (minimum code size + 1) bits and grow to 12; the clear code resets the table and the
// end code ends the image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/pictures/decode_result.h"

namespace quorlin::pictures {

inline constexpr int kMinLzwCodeSize = 1;
inline constexpr int kMaxLzwCodeSize = 8;

// Where a decoded image goes. The code stream gives `width` × `height` bytes, row after row in
// stored order: picture order, or the four-pass order of an interlaced image (picture rows
// 0, 8, 16 …; then 4, 12 …; then 2, 6 …; then 1, 3 …). Only the top-left part of
// `keepColumns` × `keepRows` is kept, picture row r at out + r × outStride; the rest is
// decoded (so a bad code anywhere still fails) but costs no memory, and no time beyond
// reading its codes.
struct LzwImage {
  size_t width = 0;
  size_t height = 0;
  bool interlaced = false;
  size_t keepColumns = 0;  // at most width
  size_t keepRows = 0;     // at most height
  uint8_t* out = nullptr;
  size_t outStride = 0;
};

// Decodes the code stream `data` (the image's sub-blocks joined) into `image`. Reading past the
// end gives 0xFF bytes, for at most two bytes; then the image ends. Stops at the end code or
// when the image is complete; returns the number of image bytes decoded. A code beyond the next
// free table entry fails. `minCodeSize` must be 1..8, so every output byte is below 256
// entries of a colour table.
Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, const LzwImage& image);

// The same into out[0 .. capacity) as one row.
Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t capacity);

}  // namespace quorlin::pictures
