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

// Decodes the code stream `data` (the image's sub-blocks joined) into out[0 .. capacity).
// Reading past the end gives 0xFF bytes, for at most two bytes; then the image ends. Stops at
// the end code or when `out` is full; returns the number of bytes written. A code beyond the next free table entry fails. `minCodeSize` must be
// 1..8, so every output byte is below 256 entries of a colour table.
Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t capacity);

}  // namespace quorlin::pictures
