#include "graphics/pictures/picture_kind.h"

#include "graphics/pictures/byte_reader.h"

namespace quorlin::pictures {

PictureKind DetectPictureKind(const uint8_t* bytes, size_t count) {
  if (!bytes || count < 6) return PictureKind::None;
  const ByteReader in(bytes, count);
  if (bytes[0] == 0x42 && bytes[1] == 0x4D) return PictureKind::Bmp;
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return PictureKind::Jpeg;
  if (bytes[0] == 0x89 && bytes[1] == 0x50 && bytes[2] == 0x4E && bytes[3] == 0x47) return PictureKind::Png;
  const uint16_t reserved = in.U16(0), type = in.U16(2), entries = in.U16(4);
  if (reserved == 0 && entries > 0) {
    if (type == 1) return PictureKind::Icon;
    if (type == 2) return PictureKind::Cursor;
  }
  if (bytes[0] == 'G' && bytes[1] == 'I' && bytes[2] == 'F' && bytes[3] == '8' &&
      (bytes[4] == '7' || bytes[4] == '9') && bytes[5] == 'a')
    return PictureKind::Gif;
  if (bytes[0] == 0x0A && bytes[1] <= 5 && bytes[2] == 1 && bytes[3] == 8) return PictureKind::Pcx8;
  if (bytes[0] == 0x0A && bytes[1] == 3 && bytes[2] == 1 && bytes[3] == 1) return PictureKind::Pcx1;
  return PictureKind::None;
}

}  // namespace quorlin::pictures
