#include "graphics/pictures/png_chunks.h"

#include <cstring>

namespace quorlin::pictures {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kChunkFrame = 12;  // length, type and check value around a chunk's data
constexpr size_t kHeaderDataSize = 13;

uint32_t Big32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8 |
         at[3];
}

int ChannelsOf(int colourType) {
  switch (colourType) {
    case 0: return 1;  // grey
    case 2: return 3;  // red, green, blue
    case 3: return 1;  // palette index
    case 4: return 2;  // grey, alpha
    case 6: return 4;  // red, green, blue, alpha
    default: return 0;
  }
}

uint64_t FilteredRowsBytes(uint64_t width, uint64_t height, uint64_t bitsPerPixel) {
  if (width == 0 || height == 0) return 0;
  return height * (1 + (width * bitsPerPixel + 7) / 8);
}

}  // namespace

std::optional<PngLayout> ScanPngChunks(const uint8_t* data, size_t size) {
  if (size < sizeof kSignature + kChunkFrame + kHeaderDataSize || std::memcmp(data, kSignature, sizeof kSignature) != 0)
    return std::nullopt;
  const uint8_t* header = data + sizeof kSignature;
  if (Big32(header) != kHeaderDataSize || std::memcmp(header + 4, "IHDR", 4) != 0) return std::nullopt;
  PngLayout layout;
  layout.width = Big32(header + 8);
  layout.height = Big32(header + 12);
  layout.bitDepth = header[16];
  layout.colourType = header[17];
  layout.interlaced = header[20] != 0;
  size_t at = sizeof kSignature + kChunkFrame + kHeaderDataSize;
  while (size - at >= kChunkFrame) {
    const uint32_t length = Big32(data + at);
    const uint8_t* type = data + at + 4;
    const size_t inside = size - at - 8;
    if (std::memcmp(type, "IDAT", 4) == 0) layout.compressedBytes += length < inside ? length : inside;
    if (std::memcmp(type, "IEND", 4) == 0 || length > inside - 4) break;
    at += kChunkFrame + length;
  }
  return layout;
}

uint64_t PngFilteredBytes(const PngLayout& layout) {
  const int channels = ChannelsOf(layout.colourType);
  if (channels == 0 || layout.bitDepth == 0) return 0;
  const uint64_t bits = static_cast<uint64_t>(channels) * static_cast<uint64_t>(layout.bitDepth);
  if (!layout.interlaced) return FilteredRowsBytes(layout.width, layout.height, bits);
  static constexpr uint32_t kXStart[7] = {0, 4, 0, 2, 0, 1, 0}, kXStep[7] = {8, 8, 4, 4, 2, 2, 1};
  static constexpr uint32_t kYStart[7] = {0, 0, 4, 0, 2, 0, 1}, kYStep[7] = {8, 8, 8, 4, 4, 2, 2};
  uint64_t total = 0;
  for (int pass = 0; pass < 7; ++pass) {
    const uint64_t w = layout.width > kXStart[pass] ? (layout.width - kXStart[pass] + kXStep[pass] - 1) / kXStep[pass] : 0;
    const uint64_t h = layout.height > kYStart[pass] ? (layout.height - kYStart[pass] + kYStep[pass] - 1) / kYStep[pass] : 0;
    total += FilteredRowsBytes(w, h, bits);
  }
  return total;
}

}  // namespace quorlin::pictures
