#include "tools/profile_service/portrait_picture.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace quorlin::profile_service {
namespace {

// FNV-1a: a stable spread of the identifier's bytes.
uint32_t HashOf(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

std::string MakePortraitPng(std::string_view portrait) {
  const uint32_t hash = HashOf(portrait);
  const uint8_t background[3] = {static_cast<uint8_t>(64 + (hash & 0x7F)), static_cast<uint8_t>(64 + ((hash >> 7) & 0x7F)),
                                 static_cast<uint8_t>(64 + ((hash >> 14) & 0x7F))};
  const uint8_t figure[3] = {static_cast<uint8_t>(255 - background[0]), static_cast<uint8_t>(255 - background[1]),
                             static_cast<uint8_t>(255 - background[2])};
  const int stripe = 4 + static_cast<int>((hash >> 21) % 12);
  std::vector<uint8_t> pixels(static_cast<size_t>(kPortraitSize) * kPortraitSize * 3);
  const int centre = kPortraitSize / 2;
  for (int y = 0; y < kPortraitSize; ++y) {
    for (int x = 0; x < kPortraitSize; ++x) {
      // A head-and-shoulders figure over diagonal stripes whose width depends on the identifier.
      const int dx = x - centre, dy = y - 40, sx = x - centre, sy = y - 110;
      const bool head = dx * dx + dy * dy <= 22 * 22;
      const bool shoulders = sx * sx + sy * sy <= 45 * 45;
      const bool stripeOn = ((x + y) / stripe) % 2 == 0;
      uint8_t* pixel = &pixels[(static_cast<size_t>(y) * kPortraitSize + x) * 3];
      for (int c = 0; c < 3; ++c) {
        pixel[c] = (head || shoulders) ? figure[c] : static_cast<uint8_t>(stripeOn ? background[c] : background[c] - 40);
      }
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kPortraitSize;
  image.height = kPortraitSize;
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr)) return {};
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr)) return {};
  bytes.resize(size);
  return bytes;
}

}  // namespace quorlin::profile_service
