// Raster operations over rows of 32-bit pixels, chosen once per operation and run per row.
#pragma once

#include <cstdint>

#include "platform/base/win_types.h"

namespace quorlin::platform::gdi {

inline constexpr uint32_t kPixelMask = 0x00FFFFFF;
inline constexpr uint32_t kWhitePixel = 0x00FFFFFF;

// Pixels hold 0x00RRGGBB; COLORREF holds 0x00BBGGRR.
constexpr uint32_t PixelFromColorRef(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF ColorRefFromPixel(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// The nearer of black and white, for monochrome targets.
constexpr uint32_t MonochromePixel(uint32_t p) {
  const uint32_t sum = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
  return sum > 382 ? kWhitePixel : 0;
}

// The truth-table byte of a ternary raster operation code.
constexpr uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
constexpr bool RopUsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
constexpr bool RopUsesPattern(uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }
constexpr bool RopUsesDestination(uint8_t code) { return ((code >> 1) & 0x55) != (code & 0x55); }
// The ternary operation that does what a mix mode (R2_BLACK .. R2_WHITE) does with the pen
// or brush as pattern.
uint8_t Rop3FromRop2(int mixMode);

uint32_t ApplyRop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest);

// dest[i] = op(pattern[(phase + i) mod patternWidth], source[i], dest[i]) for i < count.
// `source` may be null when the operation does not use it.
using Rop3Row = void (*)(uint32_t* dest, const uint32_t* source, const uint32_t* pattern, int patternWidth,
                         int phase, int count);
Rop3Row Rop3RowFor(uint8_t code);

}  // namespace quorlin::platform::gdi
