// Snapshot: what a window (frame included) or the whole screen shows, optionally scaled, as the
// bytes of a 24-bit uncompressed BMP file with bottom-up rows padded to 4 bytes.
//
//   std::vector<uint8_t> bmp = Snapshot(hwnd, 580, 385);   // empty on any failure
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::snapshot {

// window 0: the screen. width, height each: 0 keeps the captured size, a positive value is
// the size in pixels, −p is p percent of the captured size (at least 10 %). Empty when the
// window does not exist, a size resolves to 0 or less, or the conversion gives no rows.
std::vector<uint8_t> Snapshot(HWND window = 0, int32_t width = 0, int32_t height = 0);

// One side of the target size from the captured side and the wanted value (rule above).
int32_t ResolveSnapshotSide(int32_t captured, int32_t wanted);

// Bytes per row of a 24-bit BMP of that width.
inline constexpr int64_t BmpRowLength(int64_t width) { return (24 * width + 31) / 32 * 4; }

}  // namespace quorlin::snapshot
