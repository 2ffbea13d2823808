// PNG through libpng, from memory, straight into blue, green, red, alpha. The chunks are looked
// at first, so that a header the compressed data cannot back is refused before the rows are
// allocated. 16-bit files go through the full reader (png_deep_reader.h), all others through
// the simplified one.
#include <png.h>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/picture_limits.h"
#include "graphics/pictures/png_chunks.h"
#include "graphics/pictures/png_deep_reader.h"

namespace quorlin::pictures {

namespace {

// Frees the reader's resources on every path out of the decoder.
class SimplifiedReader {
 public:
  SimplifiedReader() {
    image_ = {};
    image_.version = PNG_IMAGE_VERSION;
  }
  ~SimplifiedReader() { png_image_free(&image_); }
  SimplifiedReader(const SimplifiedReader&) = delete;
  SimplifiedReader& operator=(const SimplifiedReader&) = delete;
  png_image& image() { return image_; }

 private:
  png_image image_;
};

}  // namespace

Result<DecodedPicture> DecodePng(const uint8_t* data, size_t size) {
  if (size < 8) return Fail("PNG of fewer than 8 bytes");
  const std::optional<PngLayout> layout = ScanPngChunks(data, size);
  if (!layout) return Fail("PNG without a header chunk");
  if (!AreaAllowed(layout->width, layout->height)) return Fail("PNG side outside 1..32767 or above 64 megapixels");
  if (!DataCanFill(PngFilteredBytes(*layout), layout->compressedBytes, kDeflateMostExpansion))
    return Fail("PNG image data too short for its size");

  DecodedPicture picture;
  picture.kind = PictureKind::Png;
  picture.width = static_cast<int>(layout->width);
  picture.height = static_cast<int>(layout->height);
  if (layout->bitDepth == 16) {
    picture.pixels.resize(size_t{layout->width} * layout->height * 4);
    if (!ReadDeepPng(data, size, layout->width, layout->height, picture.pixels.data()))
      return Fail("PNG data refused by libpng");
    return picture;
  }

  SimplifiedReader reader;
  png_image& image = reader.image();
  if (!png_image_begin_read_from_memory(&image, data, size)) return Fail("PNG header refused by libpng");
  if (image.width != layout->width || image.height != layout->height) return Fail("PNG header refused by libpng");
  image.format = PNG_FORMAT_BGRA;
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return Fail("PNG data refused by libpng");
  return picture;
}

}  // namespace quorlin::pictures
