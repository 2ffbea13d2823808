// The largest picture any decoder produces: a side above 32767 pixels, or pixel data above
// 256 MiB, gives no picture. Checked before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

inline constexpr int64_t kMaxPictureSide = 32767;
inline constexpr uint64_t kMaxPixelBytes = 256ull << 20;

inline bool SideAllowed(int64_t side) { return side >= 1 && side <= kMaxPictureSide; }

// Sides already checked with SideAllowed, so the product cannot overflow.
inline bool PixelBytesAllowed(uint64_t rowBytes, uint64_t rows) {
  return rowBytes <= kMaxPixelBytes && rows <= kMaxPixelBytes && rowBytes * rows <= kMaxPixelBytes;
}

inline size_t RoundUpTo4(size_t bytes) { return (bytes + 3) & ~static_cast<size_t>(3); }

}  // namespace quorlin::pictures
