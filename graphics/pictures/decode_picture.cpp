#include <new>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/icon_creation.h"
#include "graphics/pictures/pictures.h"

namespace quorlin::pictures {

namespace {

// The decoding services look at the first 8 bytes and give up when there are fewer.
constexpr size_t kMinimumPictureBytes = 8;

Result<DecodedPicture> Dispatch(const uint8_t* bytes, size_t length) {
  switch (DetectPictureKind(bytes, length)) {
    case PictureKind::Jpeg: return DecodeJpeg(bytes, length);
    case PictureKind::Bmp: return DecodeBmp(bytes, length);
    case PictureKind::Icon:
    case PictureKind::Cursor: return DecodeIcon(bytes, length, &CreatePictureIcon);
    case PictureKind::Gif: return DecodeGifStill(bytes, length);
    case PictureKind::Pcx8:
    case PictureKind::Pcx1: return DecodePcx(bytes, length);
    case PictureKind::Png: return DecodePng(bytes, length);
    case PictureKind::None: break;
  }
  return Fail("not a picture kind we know");
}

}  // namespace

Result<DecodedPicture> TryDecodePicture(const uint8_t* bytes, size_t length) {
  if (!bytes || length < kMinimumPictureBytes) return Fail("fewer than 8 bytes");
  try {
    return Dispatch(bytes, length);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  }
}

std::unique_ptr<DecodedPicture> DecodePicture(const uint8_t* bytes, size_t length) {
  Result<DecodedPicture> result = TryDecodePicture(bytes, length);
  if (!result.ok()) return nullptr;
  return std::make_unique<DecodedPicture>(result.take());
}

}  // namespace quorlin::pictures
