#include "tools/picture_tool/picture_output.h"

#include <png.h>

#include <cstdio>
#include <fstream>

namespace quorlin::picture_tool {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file && file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) &&
        file.flush()) {
      return true;
    }
  }
  std::remove(path.c_str());
  return false;
}

}  // namespace

bool WriteBmpFile(const std::string& path, const RenderedPicture& picture) {
  const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
  const size_t stride = (rowBytes + 3) & ~size_t{3};
  const uint64_t imageBytes = uint64_t{stride} * static_cast<uint64_t>(picture.height);
  if (54 + imageBytes > 0xFFFFFFFFu) return false;
  std::vector<uint8_t> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(54 + imageBytes));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(picture.width));
  Put32(out, static_cast<uint32_t>(picture.height));  // rows bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(imageBytes));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    const uint8_t* row = picture.bgr.data() + static_cast<size_t>(y) * rowBytes;
    out.insert(out.end(), row, row + rowBytes);
    out.resize(out.size() + (stride - rowBytes), 0);
  }
  return WriteWhole(path, out);
}

bool WritePngFile(const std::string& path, const RenderedPicture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_BGR;
  png_alloc_size_t size = 0;
  const auto stride = static_cast<png_int_32>(picture.width * 3);
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, picture.bgr.data(), stride, nullptr)) {
    png_image_free(&image);
    return false;
  }
  std::vector<uint8_t> bytes(size);
  const bool written = png_image_write_to_memory(&image, bytes.data(), &size, 0, picture.bgr.data(), stride, nullptr);
  png_image_free(&image);
  if (!written) return false;
  bytes.resize(size);
  return WriteWhole(path, bytes);
}

}  // namespace quorlin::picture_tool
