#include "runtime/forms/scenario/screen_shot_file.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace quorlin::forms {
namespace {

void PutLittleEndian(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

bool HasEnding(const std::filesystem::path& path, const char* ending) {
  std::string extension = path.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension == ending;
}

bool WritePng(const std::filesystem::path& path, const ScreenPixels& picture, std::string& reason) {
  std::vector<uint8_t> rgb(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const uint32_t p = picture.pixels[i];
    rgb[i * 3] = static_cast<uint8_t>(p >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(p >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(p);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  const bool written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), picture.width * 3, nullptr) != 0;
  if (!written) reason = std::string("cannot write ") + path.string() + ": " + image.message;
  png_image_free(&image);
  return written;
}

}  // namespace

ScreenPixels CropPixels(const ScreenPixels& screen, int left, int top, int right, int bottom) {
  ScreenPixels part;
  part.width = right - left;
  part.height = bottom - top;
  part.pixels.reserve(static_cast<size_t>(part.width) * static_cast<size_t>(part.height));
  for (int y = top; y < bottom; ++y) {
    const auto row = screen.pixels.begin() + static_cast<ptrdiff_t>(y) * screen.width;
    part.pixels.insert(part.pixels.end(), row + left, row + right);
  }
  return part;
}

std::vector<uint8_t> EncodeBmp24(const ScreenPixels& picture) {
  constexpr size_t headers = 14 + 40;
  const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
  const size_t imageSize = stride * static_cast<size_t>(picture.height);
  std::vector<uint8_t> out(headers + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutLittleEndian(out, 2, static_cast<uint32_t>(out.size()), 4);
  PutLittleEndian(out, 10, headers, 4);
  PutLittleEndian(out, 14, 40, 4);
  PutLittleEndian(out, 18, static_cast<uint32_t>(picture.width), 4);
  PutLittleEndian(out, 22, static_cast<uint32_t>(picture.height), 4);
  PutLittleEndian(out, 26, 1, 2);
  PutLittleEndian(out, 28, 24, 2);
  PutLittleEndian(out, 34, static_cast<uint32_t>(imageSize), 4);
  PutLittleEndian(out, 38, 2835, 4);  // 72 dots per inch
  PutLittleEndian(out, 42, 2835, 4);
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* row = out.data() + headers + stride * static_cast<size_t>(picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      const uint32_t p = picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)];
      row[x * 3] = static_cast<uint8_t>(p);
      row[x * 3 + 1] = static_cast<uint8_t>(p >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(p >> 16);
    }
  }
  return out;
}

bool WriteBytesFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, std::string& reason) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (file && std::fclose(file.release()) != 0) written = false;
  if (!written) reason = "cannot write " + path.string();
  return written;
}

bool WritePictureFile(const std::filesystem::path& path, const ScreenPixels& picture, std::string& reason) {
  if (picture.width <= 0 || picture.height <= 0) {
    reason = "nothing to write to " + path.string();
    return false;
  }
  if (HasEnding(path, ".png")) return WritePng(path, picture, reason);
  if (HasEnding(path, ".bmp")) return WriteBytesFile(path, EncodeBmp24(picture), reason);
  reason = "cannot tell the picture kind of " + path.string();
  return false;
}

}  // namespace quorlin::forms
