// Packed device-independent bitmaps as the GIF and PCX decoders store them: a 40-byte
// BITMAPINFOHEADER, 256 colour entries, then the rows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

// Writes an 8-bit, 256-colour BITMAPINFOHEADER at `at` (40 bytes, little-endian fields).
// A negative height means rows top-down.
void WriteDibHeader(uint8_t* at, int32_t width, int32_t height, uint16_t planes, uint32_t imageBytes);

}  // namespace quorlin::pictures
