#include "tools/card_tool/card_files.h"

#include <png.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/base/file_replace.h"

namespace quorlin::card_tool {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int32_t kLargestSide = 32768;

uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

std::filesystem::path CardFilePath(const std::string& folder, const std::string& stem, CardFormat format) {
  const std::string name = stem + (format == CardFormat::Png ? ".png" : ".bmp");
  return folder.empty() ? std::filesystem::path(name) : std::filesystem::path(folder) / name;
}

std::optional<std::vector<uint8_t>> BmpToPng(const uint8_t* bmp, size_t size) {
  if (size < kFileHeaderSize + kInfoHeaderSize || bmp[0] != 'B' || bmp[1] != 'M') return std::nullopt;
  const uint8_t* info = bmp + kFileHeaderSize;
  const uint32_t offset = Read32(bmp + 10);
  const auto width = static_cast<int32_t>(Read32(info + 4));
  const auto height = static_cast<int32_t>(Read32(info + 8));
  if (Read32(info) < kInfoHeaderSize || Read16(info + 14) != 24 || Read32(info + 16) != 0) return std::nullopt;
  if (width <= 0 || width > kLargestSide || height == 0 || height > kLargestSide || height < -kLargestSide) {
    return std::nullopt;
  }
  const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  if (offset > size || size - offset < stride * rows) return std::nullopt;

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(rows);
  image.format = PNG_FORMAT_BGR;
  image.flags = PNG_IMAGE_FLAG_FAST;  // cards are written by the hundred: speed over the last bytes
  // A negative stride reads the rows from the last one up: the BMP's bottom-up order.
  const auto rowStride = static_cast<png_int_32>(stride) * (height > 0 ? -1 : 1);
  // One pass into a buffer the largest PNG of this size fits in (left unfilled: the encoder
  // writes what is kept).
  png_alloc_size_t pngSize = PNG_IMAGE_PNG_SIZE_MAX(image);
  const std::unique_ptr<uint8_t[]> buffer(new uint8_t[pngSize]);
  const bool written = png_image_write_to_memory(&image, buffer.get(), &pngSize, 0, bmp + offset, rowStride, nullptr);
  png_image_free(&image);
  if (!written) return std::nullopt;
  return std::vector<uint8_t>(buffer.get(), buffer.get() + pngSize);
}

bool ReplaceFileAtomically(const std::filesystem::path& target, const uint8_t* bytes, size_t size, std::string* error) {
  if (platform::ReplaceFileContents(target.string(), std::string_view(reinterpret_cast<const char*>(bytes), size))) {
    return true;
  }
  if (error) *error = std::strerror(errno);
  return false;
}

}  // namespace quorlin::card_tool
