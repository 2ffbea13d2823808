// PNG through libpng's simplified reader, from memory, straight into blue, green, red, alpha.
#include <png.h>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/picture_limits.h"

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
  SimplifiedReader reader;
  png_image& image = reader.image();
  if (!png_image_begin_read_from_memory(&image, data, size)) return Fail("PNG header refused by libpng");
  if (!SideAllowed(image.width) || !SideAllowed(image.height)) return Fail("PNG side outside 1..32767");
  if (!PixelBytesAllowed(uint64_t{image.width} * 4, image.height)) return Fail("PNG pixels above 256 MiB");
  image.format = PNG_FORMAT_BGRA;

  DecodedPicture picture;
  picture.kind = PictureKind::Png;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return Fail("PNG data refused by libpng");
  return picture;
}

}  // namespace quorlin::pictures
