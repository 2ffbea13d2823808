// JPEG through libjpeg-turbo. The library writes blue, green, red rows straight into their
// bottom-up places, which is the picture's layout; grey pictures come out with the grey value in
// all three channels.
#include <memory>
#include <vector>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/jpeg_session.h"
#include "graphics/pictures/picture_limits.h"

namespace quorlin::pictures {

namespace {

struct SessionCloser {
  void operator()(JpegSession* session) const {
    JpegDestroy(*session);
    delete session;
  }
};

}  // namespace

Result<DecodedPicture> DecodeJpeg(const uint8_t* data, size_t size) {
  return DecodeJpegWithin(data, size, kMaxPicturePixels);
}

Result<DecodedPicture> DecodeJpegWithin(const uint8_t* data, size_t size, uint64_t maxPixels) {
  std::unique_ptr<JpegSession, SessionCloser> session(new JpegSession{});
  if (!JpegReadHeader(*session, data, size, kMaxJpegScans)) return Fail("JPEG header refused by libjpeg");
  const jpeg_decompress_struct& info = session->decompressor;
  const int64_t width = info.image_width, height = info.image_height;
  // A truncated file decodes its available part at full size, so only the cap bounds it.
  if (!AreaAllowed(width, height, maxPixels)) return Fail("JPEG side outside 1..32767 or above 64 megapixels");
  const size_t stride = static_cast<size_t>(width) * 3;

  DecodedPicture picture;
  picture.kind = PictureKind::Jpeg;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.pixels.resize(stride * static_cast<size_t>(height));

  J_COLOR_SPACE output;
  switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
    case JCS_YCbCr: output = JCS_EXT_BGR; break;
    case JCS_CMYK:
    case JCS_YCCK: output = JCS_CMYK; break;
    // Other component layouts have no colour meaning we know: the picture stays black.
    default: return picture;
  }
  std::vector<uint8_t> scratch(output == JCS_CMYK ? static_cast<size_t>(width) * 4 : 0);
  if (!JpegReadRows(*session, output, picture.pixels.data(), stride, true, scratch.data()))
    return Fail("JPEG data refused by libjpeg");
  return picture;
}

}  // namespace quorlin::pictures
