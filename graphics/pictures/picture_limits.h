// The largest picture any decoder produces, and the test that the data can back what a header
// declares. A side above 32767 pixels, more than 64 megapixels, or stored pixel data above
// 256 MiB gives no picture; all of it is checked before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

inline constexpr int64_t kMaxPictureSide = 32767;
inline constexpr uint64_t kMaxPicturePixels = 64'000'000;
inline constexpr uint64_t kMaxPixelBytes = 256ull << 20;

inline bool SideAllowed(int64_t side) { return side >= 1 && side <= kMaxPictureSide; }

// Both sides allowed and at most 64 megapixels (or `maxPixels`) together.
inline bool AreaAllowed(int64_t width, int64_t height, uint64_t maxPixels = kMaxPicturePixels) {
  return SideAllowed(width) && SideAllowed(height) && static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= maxPixels;
}

// Sides already checked with SideAllowed, so the product cannot overflow.
inline bool PixelBytesAllowed(uint64_t rowBytes, uint64_t rows) {
  return rowBytes <= kMaxPixelBytes && rows <= kMaxPixelBytes && rowBytes * rows <= kMaxPixelBytes;
}

// Whether `available` bytes of coded data, of which every `group` bytes expand to at most
// `expansion` bytes, can give `needed` bytes. Callers pass values far below 2^40.
inline bool DataCanFill(uint64_t needed, uint64_t available, uint64_t expansion, uint64_t group = 1) {
  return needed <= (available + group - 1) / group * expansion;
}

inline size_t RoundUpTo4(size_t bytes) { return (bytes + 3) & ~static_cast<size_t>(3); }

}  // namespace quorlin::pictures
