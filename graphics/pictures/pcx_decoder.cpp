// PCX: a 128-byte header, run-length coded lines from offset 128 and, for 8-bit pictures, a
// 256-colour palette introduced by the byte 12 after the pixel data.
#include <cstring>

#include "graphics/pictures/byte_reader.h"
#include "graphics/pictures/decoders.h"
#include "graphics/pictures/dib_layout.h"
#include "graphics/pictures/pcx_run_length.h"
#include "graphics/pictures/picture_limits.h"

namespace quorlin::pictures {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr uint8_t kPaletteMarker = 12;
constexpr size_t kPaletteBytes = 768;
// The longest run: two bytes of data give at most 63 bytes of a line.
constexpr uint64_t kLongestRun = 63;

struct PcxHeader {
  size_t width;
  size_t height;
  int bitsPerPixel;
  int planes;
  size_t bytesPerLine;
};

Result<PcxHeader> ReadHeader(const ByteReader& in) {
  if (in.size() <= kHeaderSize) return Fail("PCX of 128 bytes or less");
  if (in.U8(0) != 10 || in.U8(2) != 1 || in.U8(1) > 5) return Fail("not a run-length PCX of version 5 or older");
  const uint16_t xMin = in.U16(4), yMin = in.U16(6), xMax = in.U16(8), yMax = in.U16(10);
  if (xMax < xMin || yMax < yMin) return Fail("PCX window inverted");
  PcxHeader h{};
  h.width = static_cast<size_t>(xMax - xMin) + 1;
  h.height = static_cast<size_t>(yMax - yMin) + 1;
  h.bitsPerPixel = in.U8(3);
  h.planes = in.U8(65);
  h.bytesPerLine = in.U16(66);
  if (!AreaAllowed(static_cast<int64_t>(h.width), static_cast<int64_t>(h.height)))
    return Fail("PCX side outside 1..32767 or above 64 megapixels");
  return h;
}

// A window whose lines the data could not fill even at the longest runs is refused before its
// rows are allocated; shorter shortfalls leave the missing bytes 0.
bool DataCanFillLines(const ByteReader& in, uint64_t lineBytes, uint64_t height) {
  return DataCanFill(lineBytes * height, in.size() - kHeaderSize, kLongestRun, 2);
}

// The palette after the pixel data; failing that, the one at its usual place at the end of
// the file (some writers pad the last line); failing that, a grey ramp.
void ReadPalette(const ByteReader& in, size_t afterPixels, uint8_t* entries) {
  const uint8_t* rgb = nullptr;
  if (in.Has(afterPixels, 1 + kPaletteBytes) && in.U8(afterPixels) == kPaletteMarker)
    rgb = in.data() + afterPixels + 1;
  else if (in.size() >= kHeaderSize + 1 + kPaletteBytes && in.U8(in.size() - kPaletteBytes - 1) == kPaletteMarker)
    rgb = in.data() + in.size() - kPaletteBytes;
  for (size_t i = 0; i < 256; ++i) {
    entries[i * 4] = rgb ? rgb[i * 3 + 2] : static_cast<uint8_t>(i);
    entries[i * 4 + 1] = rgb ? rgb[i * 3 + 1] : static_cast<uint8_t>(i);
    entries[i * 4 + 2] = rgb ? rgb[i * 3] : static_cast<uint8_t>(i);
    entries[i * 4 + 3] = 0;
  }
}

// Decodes `lineBytes` per line and keeps the first `keptBytes` of each in a zero-padded row.
void ReadLines(PcxRunLengthReader& reader, uint8_t* rows, size_t rowLength, size_t height, size_t lineBytes,
               size_t keptBytes) {
  if (lineBytes == rowLength && keptBytes == lineBytes) {
    reader.Read(rows, rowLength * height);  // lines meet without padding: one stretch
    return;
  }
  if (lineBytes <= rowLength) {
    for (size_t y = 0; y < height; ++y) {
      uint8_t* row = rows + y * rowLength;
      reader.Read(row, lineBytes);
      std::memset(row + keptBytes, 0, lineBytes - keptBytes);
    }
    return;
  }
  std::vector<uint8_t> line(lineBytes);
  for (size_t y = 0; y < height; ++y) {
    reader.Read(line.data(), lineBytes);
    std::memcpy(rows + y * rowLength, line.data(), keptBytes);
  }
}

Result<DecodedPicture> DecodeOneBit(const ByteReader& in, const PcxHeader& h) {
  const size_t pixelBytes = (h.width + 7) / 8;
  const size_t rowLength = (pixelBytes + 1) & ~size_t{1};
  if (!PixelBytesAllowed(rowLength, h.height)) return Fail("PCX pixels above 256 MiB");
  // Lines are as long as the header says when that covers the pixels, so padded lines stay
  // in step.
  const size_t lineBytes = h.bytesPerLine > pixelBytes ? h.bytesPerLine : pixelBytes;
  if (!DataCanFillLines(in, lineBytes, h.height)) return Fail("PCX data too short for its window");
  DecodedPicture picture;
  picture.kind = PictureKind::Pcx1;
  picture.width = static_cast<int>(h.width);
  picture.height = static_cast<int>(h.height);
  picture.pixels.assign(rowLength * h.height, 0);
  PcxRunLengthReader reader(in.data(), in.size(), kHeaderSize);
  ReadLines(reader, picture.pixels.data(), rowLength, h.height, lineBytes, pixelBytes);
  return picture;
}

Result<DecodedPicture> DecodeEightBit(const ByteReader& in, const PcxHeader& h) {
  if (h.bitsPerPixel != 8) return Fail("PCX depth other than 1 bit in 1 plane or 8 bits");
  if (h.planes == 0) return Fail("PCX without planes");
  if (h.bytesPerLine == 0) return Fail("PCX lines without bytes");
  // Never shorter than the width needs, so a drawer going by the header stays inside the rows.
  const size_t lineBytes = h.bytesPerLine > h.width ? h.bytesPerLine : h.width;
  const size_t rowLength = RoundUpTo4(lineBytes * static_cast<size_t>(h.planes));
  if (!PixelBytesAllowed(rowLength, h.height)) return Fail("PCX pixels above 256 MiB");
  if (!DataCanFillLines(in, lineBytes * static_cast<size_t>(h.planes), h.height))
    return Fail("PCX data too short for its window");
  const size_t pixelsPerLine = h.bytesPerLine < h.width ? h.bytesPerLine : h.width;

  constexpr size_t kHeaderAndPalette = kDibHeaderSize + kDibPaletteSize;
  DecodedPicture picture;
  picture.kind = PictureKind::Pcx8;
  picture.width = static_cast<int>(h.width);
  picture.height = static_cast<int>(h.height);
  picture.pixels.assign(kHeaderAndPalette + rowLength * h.height, 0);
  uint8_t* const rows = picture.pixels.data() + kHeaderAndPalette;
  PcxRunLengthReader reader(in.data(), in.size(), kHeaderSize);
  ReadLines(reader, rows, rowLength, h.height, h.bytesPerLine, pixelsPerLine);
  WriteDibHeader(picture.pixels.data(), picture.width, -picture.height, static_cast<uint16_t>(h.planes),
                 static_cast<uint32_t>(rowLength * h.height));
  ReadPalette(in, reader.position(), picture.pixels.data() + kDibHeaderSize);
  return picture;
}

}  // namespace

Result<DecodedPicture> DecodePcx(const uint8_t* data, size_t size) {
  const ByteReader in(data, size);
  QUORLIN_TRY_DECODE(header, ReadHeader(in));
  if (header.bitsPerPixel == 1 && header.planes == 1) return DecodeOneBit(in, header);
  return DecodeEightBit(in, header);
}

}  // namespace quorlin::pictures
