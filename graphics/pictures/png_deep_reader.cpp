#include "graphics/pictures/png_deep_reader.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace quorlin::pictures {

namespace {

struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "read past the end of the data");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

[[noreturn]] void FailReading(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Reads with `png` already set up; the row pointers live in `rows` (height entries).
bool ReadRows(png_structp png, png_infop info, uint32_t width, uint32_t height, uint8_t* pixels, png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  if (png_get_image_width(png, info) != width || png_get_image_height(png, info) != height) return false;
  const int colourType = png_get_color_type(png, info);
  png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFFFF, PNG_FILLER_AFTER);  // no effect where there is an alpha channel
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;
  for (uint32_t y = 0; y < height; ++y) rows[y] = pixels + size_t{y} * width * 4;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool ReadDeepPng(const uint8_t* data, size_t size, uint32_t width, uint32_t height, uint8_t* pixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailReading, IgnoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  auto* rows = static_cast<png_bytep*>(std::calloc(height, sizeof(png_bytep)));
  bool read = false;
  if (info && rows) {
    MemorySource source{data, size, 0};
    png_set_read_fn(png, &source, ReadFromMemory);
    read = ReadRows(png, info, width, height, pixels, rows);
  }
  std::free(rows);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return read;
}

}  // namespace quorlin::pictures
