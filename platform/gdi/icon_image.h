// Icon images decoded from resource bits (a DIB with XOR and AND masks, or a PNG image).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/base/win_types.h"

namespace quorlin::platform::gdi {

struct IconImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> color;  // 0xAARRGGBB, rows top-down; alpha meaningful when hasAlpha
  std::vector<uint8_t> mask;    // 1 where the AND mask keeps the background
  bool hasAlpha = false;
};

struct IconObject : HandleObject {
  IconImage image;
  bool isIcon = true;
  POINT hotspot{0, 0};
};

inline constexpr int kMaxIconSide = 1024;

// The image of an icon (or, after its 4-byte hot spot, a cursor) resource; none when the data
// is malformed, truncated or of a kind we do not draw.
std::optional<IconImage> DecodeIconResource(const uint8_t* data, size_t size);
std::optional<IconImage> DecodePngIcon(const uint8_t* data, size_t size);

// The image at another size (area-averaged with alpha, nearest pixel with a mask).
IconImage ResizeIcon(const IconImage& image, int width, int height);

}  // namespace quorlin::platform::gdi
