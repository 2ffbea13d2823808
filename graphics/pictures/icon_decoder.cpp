// Icon and cursor files: a 6-byte directory header (reserved 0, type 1 = icon or 2 = cursor,
// entry count) and 16-byte entries {width, height, colour count, reserved, planes, bit count,
// byte count, file offset}. Cursors are made as icons too: their images are the same bitmaps.
#include <algorithm>

#include "graphics/pictures/byte_reader.h"
#include "graphics/pictures/decoders.h"
#include "graphics/pictures/picture_limits.h"
#include "graphics/pictures/png_chunks.h"

namespace quorlin::pictures {

namespace {

constexpr size_t kDirectoryHeaderSize = 6;
constexpr size_t kEntrySize = 16;
constexpr uint8_t kPngSignature[4] = {0x89, 0x50, 0x4E, 0x47};

struct IconImageSize {
  int width;
  int height;
  int bitDepth;
};

// The entry whose image is used: the first of width 32 with more than 15 colours, else the
// last entry; entries past the chosen one are not read.
Result<size_t> ChooseEntry(const ByteReader& in, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kDirectoryHeaderSize + i * kEntrySize;
    if (!in.Has(at, kEntrySize)) return Fail("icon directory entry past the data");
    if (in.U8(at + 2) > 15 && in.U8(at) == 32) return at;
  }
  return kDirectoryHeaderSize + (count - 1) * kEntrySize;
}

// Width from the image's own bitmap header and half its height (the colour and mask parts);
// a PNG image gives its own size.
Result<IconImageSize> ReadImageSize(const ByteReader& image) {
  if (image.Has(0, 24) && std::equal(kPngSignature, kPngSignature + 4, image.data())) {
    const std::optional<PngLayout> png = ScanPngChunks(image.data(), image.size());
    if (!png) return Fail("icon PNG image without a header chunk");
    const int64_t width = png->width, height = png->height;
    if (!SideAllowed(width) || !SideAllowed(height)) return Fail("icon side outside 1..32767");
    if (!DataCanFill(PngFilteredBytes(*png), png->compressedBytes, kDeflateMostExpansion))
      return Fail("icon PNG image data too short for its size");
    return IconImageSize{static_cast<int>(width), static_cast<int>(height), 32};
  }
  if (!image.Has(0, 16)) return Fail("icon image shorter than its bitmap header");
  const int64_t width = image.I32(4);
  const int64_t height = image.I32(8) / 2;
  if (!SideAllowed(width) || !SideAllowed(height)) return Fail("icon side outside 1..32767");
  return IconImageSize{static_cast<int>(width), static_cast<int>(height), image.U16(14)};
}

}  // namespace

Result<DecodedPicture> DecodeIcon(const uint8_t* data, size_t size, IconCreator createIcon) {
  const ByteReader in(data, size);
  if (!in.Has(0, kDirectoryHeaderSize)) return Fail("icon directory header past the data");
  const uint16_t type = in.U16(2);
  const uint16_t count = in.U16(4);
  if (in.U16(0) != 0 || (type != 1 && type != 2)) return Fail("not an icon or cursor directory");
  if (count == 0) return Fail("icon directory without entries");
  QUORLIN_TRY_DECODE(entry, ChooseEntry(in, count));

  const uint32_t byteCount = in.U32(entry + 8);
  const uint32_t offset = in.U32(entry + 12);
  if (byteCount == 0 || !in.Has(offset, byteCount)) return Fail("icon image past the data");
  const ByteReader image(data + offset, byteCount);
  QUORLIN_TRY_DECODE(imageSize, ReadImageSize(image));

  const HICON icon = createIcon(image.data(), byteCount, imageSize.width, imageSize.height, imageSize.bitDepth);
  if (!icon) return Fail("icon image refused by the system");
  DecodedPicture picture;
  picture.kind = type == 1 ? PictureKind::Icon : PictureKind::Cursor;
  picture.width = imageSize.width;
  picture.height = imageSize.height;
  picture.icon = icon;
  return picture;
}

}  // namespace quorlin::pictures
