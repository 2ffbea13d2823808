// A decoded picture rendered as a picture box in display mode 0 shows it: natural size, on the
// box's background colour.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "graphics/pictures/decoded_picture.h"
#include "platform/base/win_types.h"

namespace quorlin::picture_tool {

struct RenderedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgr;  // rows top-down, 3 bytes per pixel (blue, green, red), no padding
};

// None when the device cannot hold or draw the picture.
std::optional<RenderedPicture> RenderNaturalSize(const pictures::DecodedPicture& picture, COLORREF background);

// "jpeg", "bmp", "icon", "cursor", "gif", "pcx8", "pcx1" or "png".
const char* KindName(pictures::PictureKind kind);

}  // namespace quorlin::picture_tool
