#include "platform/gdi/icon_image.h"

#include <png.h>

#include <algorithm>

#include "platform/gdi/stretch.h"

namespace quorlin::platform::gdi {
namespace {

uint32_t ReadLE32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

size_t Stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

std::optional<IconImage> DecodePngIcon(const uint8_t* data, size_t size) {
  if (size < 8 || !std::equal(kPngSignature, kPngSignature + 8, data)) return std::nullopt;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, data, size)) return std::nullopt;
  if (png.width == 0 || png.height == 0 || png.width > kMaxIconSide || png.height > kMaxIconSide) {
    png_image_free(&png);
    return std::nullopt;
  }
  png.format = PNG_FORMAT_BGRA;
  IconImage image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.color.resize(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&png, nullptr, image.color.data(), 0, nullptr)) {
    png_image_free(&png);
    return std::nullopt;
  }
  png_image_free(&png);
  image.hasAlpha = true;
  image.mask.assign(image.color.size(), 0);
  for (size_t i = 0; i < image.color.size(); ++i) image.mask[i] = (image.color[i] >> 24) == 0;
  return image;
}

std::optional<IconImage> DecodeIconResource(const uint8_t* data, size_t size) {
  if (data == nullptr) return std::nullopt;
  if (auto png = DecodePngIcon(data, size)) return png;
  if (size < 40) return std::nullopt;
  const uint32_t headerSize = ReadLE32(data);
  if (headerSize < 40 || headerSize > size) return std::nullopt;
  const int32_t width = static_cast<int32_t>(ReadLE32(data + 4));
  const int32_t doubleHeight = static_cast<int32_t>(ReadLE32(data + 8));
  const uint16_t planes = ReadLE16(data + 12);
  const uint16_t bits = ReadLE16(data + 14);
  const uint32_t compression = ReadLE32(data + 16);
  const uint32_t colorsUsed = ReadLE32(data + 32);
  // The height counts the XOR and the AND image.
  const int height = doubleHeight / 2;
  if (width <= 0 || width > kMaxIconSide || height <= 0 || height > kMaxIconSide) return std::nullopt;
  if (planes != 1 || compression != 0) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  size_t offset = headerSize;
  std::vector<uint32_t> table;
  if (bits <= 8) {
    const uint32_t full = 1u << bits;
    const uint32_t count = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
    if (size - offset < static_cast<size_t>(count) * 4) return std::nullopt;
    table.assign(full, 0);
    for (uint32_t i = 0; i < count; ++i) table[i] = ReadLE32(data + offset + 4 * i) & 0x00FFFFFF;
    offset += static_cast<size_t>(count) * 4;
  }
  const size_t xorStride = Stride(width, bits), andStride = Stride(width, 1);
  const size_t xorBytes = xorStride * height, andBytes = andStride * height;
  if (size - offset < xorBytes) return std::nullopt;
  const bool hasMask = size - offset - xorBytes >= andBytes;
  // Only a 32-bit image can do without its AND mask (its alpha says what is transparent).
  if (!hasMask && bits != 32) return std::nullopt;

  IconImage image;
  image.width = width;
  image.height = height;
  image.color.resize(static_cast<size_t>(width) * height);
  image.mask.assign(image.color.size(), 0);
  for (int row = 0; row < height; ++row) {
    const int y = height - 1 - row;  // stored bottom-up
    const uint8_t* in = data + offset + row * xorStride;
    uint32_t* out = image.color.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      switch (bits) {
        case 1: out[x] = table[(in[x >> 3] >> (7 - (x & 7))) & 1]; break;
        case 4: out[x] = table[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
        case 8: out[x] = table[in[x]]; break;
        case 24: out[x] = in[3 * x] | (in[3 * x + 1] << 8) | (in[3 * x + 2] << 16); break;
        case 32: out[x] = ReadLE32(in + 4 * x); break;
      }
    }
    if (hasMask) {
      const uint8_t* m = data + offset + xorBytes + row * andStride;
      uint8_t* mask = image.mask.data() + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x) mask[x] = (m[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }
  if (bits == 32) {
    image.hasAlpha = std::any_of(image.color.begin(), image.color.end(), [](uint32_t p) { return (p >> 24) != 0; });
    if (!image.hasAlpha) {
      for (uint32_t& p : image.color) p &= 0x00FFFFFF;
      if (!hasMask) return std::nullopt;
    }
  }
  return image;
}

IconImage ResizeIcon(const IconImage& image, int width, int height) {
  if (width == image.width && height == image.height) return image;
  IconImage out;
  out.width = width;
  out.height = height;
  out.hasAlpha = image.hasAlpha;
  out.color.resize(static_cast<size_t>(width) * height);
  out.mask.resize(out.color.size());
  const std::vector<int> xs = NearestIndices(0, image.width, width, 0, width, false, image.width);
  const std::vector<int> ys = NearestIndices(0, image.height, height, 0, height, false, image.height);
  if (image.hasAlpha) {
    // Averaged premultiplied, so transparent pixels lend no colour, then back to straight alpha.
    std::vector<uint32_t> pre(image.color.size());
    for (size_t i = 0; i < pre.size(); ++i) {
      const uint32_t p = image.color[i], a = p >> 24;
      pre[i] = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) | ((p & 0xFF) * a / 255);
    }
    SourceImage src{pre.data(), image.width, image.width, image.height, false};
    AreaAverage(src, RECT{0, 0, image.width, image.height}, width, height, RECT{0, 0, width, height}, false, false,
                out.color.data());
    for (size_t i = 0; i < out.color.size(); ++i) {
      const uint32_t p = out.color[i], a = p >> 24;
      if (a == 0) {
        out.color[i] = 0;
        out.mask[i] = 1;
        continue;
      }
      auto un = [&](uint32_t c) { return std::min<uint32_t>(255, c * 255 / a); };
      out.color[i] = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
      out.mask[i] = 0;
    }
    return out;
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const size_t from = static_cast<size_t>(ys[static_cast<size_t>(y)]) * image.width + xs[static_cast<size_t>(x)];
      out.color[static_cast<size_t>(y) * width + x] = image.color[from];
      out.mask[static_cast<size_t>(y) * width + x] = image.mask[from];
    }
  }
  return out;
}

}  // namespace quorlin::platform::gdi
