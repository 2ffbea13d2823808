// BMP: a 14-byte file header and an information header of at least 40 bytes, a colour table
// for 1, 4 and 8 bits per pixel, then uncompressed rows padded to 4 bytes. Run-length and
// bit-field compression, 16 bits per pixel and an information header shorter than 40 bytes
// give no picture.
#include <array>
#include <cstdlib>
#include <cstring>

#include "graphics/pictures/byte_reader.h"
#include "graphics/pictures/decoders.h"
#include "graphics/pictures/picture_limits.h"

namespace quorlin::pictures {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

struct BmpHeader {
  uint32_t pixelOffset;
  uint32_t infoSize;
  int64_t width;
  int64_t height;  // signed: negative = rows stored top-down
  int bitsPerPixel;
  uint32_t compression;
  uint32_t coloursUsed;
};

// Colours as 3 bytes blue, green, red; indices past the file's table read as black.
using Palette = std::array<std::array<uint8_t, 3>, 256>;

Result<BmpHeader> ReadHeader(const ByteReader& in) {
  if (!in.Has(0, kFileHeaderSize + kInfoHeaderSize)) return Fail("BMP headers past the data");
  BmpHeader h{};
  h.pixelOffset = in.U32(10);
  h.infoSize = in.U32(14);
  h.width = in.I32(18);
  h.height = in.I32(22);
  h.bitsPerPixel = in.U16(28);
  h.compression = in.U32(30);
  h.coloursUsed = in.U32(46);
  if (h.infoSize < kInfoHeaderSize) return Fail("BMP information header shorter than 40 bytes");
  if (h.compression != 0) return Fail("compressed BMP");
  switch (h.bitsPerPixel) {
    case 1: case 4: case 8: case 24: case 32: break;
    default: return Fail("BMP depth other than 1, 4, 8, 24 or 32 bits");
  }
  return h;
}

// Reads the colour table after the information header; returns the offset just past it.
Result<size_t> ReadPalette(const ByteReader& in, const BmpHeader& h, Palette& palette) {
  palette = {};
  size_t consumed = kFileHeaderSize + h.infoSize;
  if (h.bitsPerPixel > 8) return consumed;
  const uint64_t entries = h.coloursUsed ? h.coloursUsed : (1u << h.bitsPerPixel);
  if (entries > in.size() / 4 || !in.Has(consumed, static_cast<size_t>(entries) * 4))
    return Fail("BMP colour table past the data");
  const size_t kept = entries < 256 ? static_cast<size_t>(entries) : 256;
  for (size_t i = 0; i < kept; ++i) {
    const uint8_t* entry = in.data() + consumed + i * 4;
    palette[i] = {entry[0], entry[1], entry[2]};
  }
  return consumed + static_cast<size_t>(entries) * 4;
}

void ConvertIndexedRow(const uint8_t* src, uint8_t* dst, size_t width, int bits, const Palette& palette) {
  if (bits == 8) {
    for (size_t x = 0; x < width; ++x) {
      const auto& c = palette[src[x]];
      dst[0] = c[0];
      dst[1] = c[1];
      dst[2] = c[2];
      dst += 3;
    }
    return;
  }
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (size_t x = 0; x < width; ++x) {
    const int shift = 8 - bits * (static_cast<int>(x % perByte) + 1);
    const auto& c = palette[(src[x / perByte] >> shift) & mask];
    dst[0] = c[0];
    dst[1] = c[1];
    dst[2] = c[2];
    dst += 3;
  }
}

void ConvertRow32(const uint8_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    src += 4;
    dst += 3;
  }
}

}  // namespace

Result<DecodedPicture> DecodeBmp(const uint8_t* data, size_t size) {
  const ByteReader in(data, size);
  QUORLIN_TRY_DECODE(header, ReadHeader(in));
  Palette palette;
  QUORLIN_TRY_DECODE(consumed, ReadPalette(in, header, palette));
  if (header.pixelOffset < consumed) return Fail("BMP pixel data inside the headers");

  const int64_t width = std::llabs(header.width);
  const int64_t height = std::llabs(header.height);
  if (!AreaAllowed(width, height)) return Fail("BMP side outside 1..32767 or above 64 megapixels");
  const size_t rowPixels = static_cast<size_t>(width) * 3;

  const size_t rowBytes = (static_cast<size_t>(width) * header.bitsPerPixel + 7) / 8;
  const size_t stride = RoundUpTo4(rowBytes);
  const size_t rows = static_cast<size_t>(height);
  // The last row's padding may be missing; its pixels may not.
  if (!in.Has(header.pixelOffset, stride * (rows - 1) + rowBytes)) return Fail("BMP rows past the data");

  DecodedPicture picture;
  picture.kind = PictureKind::Bmp;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.pixels.resize(rowPixels * rows);

  const bool bottomUp = header.height > 0;
  const uint8_t* const pixelData = data + header.pixelOffset;
  for (size_t r = 0; r < rows; ++r) {
    // Output rows run bottom-up like a bottom-up file, so only a top-down file is flipped.
    const uint8_t* src = pixelData + r * stride;
    uint8_t* dst = picture.pixels.data() + (bottomUp ? r : rows - 1 - r) * rowPixels;
    switch (header.bitsPerPixel) {
      case 24: std::memcpy(dst, src, rowPixels); break;
      case 32: ConvertRow32(src, dst, static_cast<size_t>(width)); break;
      default: ConvertIndexedRow(src, dst, static_cast<size_t>(width), header.bitsPerPixel, palette); break;
    }
  }
  return picture;
}

}  // namespace quorlin::pictures
