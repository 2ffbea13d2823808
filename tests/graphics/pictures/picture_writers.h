// Small writers of picture files for tests, benchmarks and fuzz seeds: every picture the
// decoders are checked against is made here, never taken from elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorlin::pictures::testing {

using Bytes = std::vector<uint8_t>;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Pixels top-down, left to right.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
  const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A deterministic picture with smooth areas and edges (compresses like a photograph).
RgbImage TestImage(int width, int height);

// The BGR bottom-up rows a JPEG or BMP decodes to.
Bytes ToBgrBottomUp(const RgbImage& image);

// 24- or 32-bit uncompressed BMP.
Bytes WriteBmp(const RgbImage& image, int bitsPerPixel, bool topDown);

struct IndexedBmp {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 8;  // 1, 4 or 8
  std::vector<uint8_t> indices;  // top-down
  std::vector<Rgb> palette;      // written whole; coloursUsed says how many count
  uint32_t coloursUsed = 0;
  bool topDown = false;
  uint32_t infoHeaderSize = 40;
};
Bytes WriteIndexedBmp(const IndexedBmp& bmp);

// Baseline (or progressive) JPEG of the image, or of its green channel as grey.
Bytes WriteJpeg(const RgbImage& image, int quality, bool grey = false, bool progressive = false);

// PNG from red, green, blue, alpha bytes, top-down.
Bytes WritePng(int width, int height, const std::vector<uint8_t>& rgba);

// LZW codes of GIF image data (before splitting into sub-blocks), starting with a clear code.
Bytes EncodeLzw(int minCodeSize, const std::vector<uint8_t>& indices);

struct GifImage {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;  // top-down, picture order
  std::vector<Rgb> localPalette;  // empty: none; else 2^n entries
  bool interlaced = false;
  int minCodeSize = 8;
  bool control = false;
  int disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  int delay = 0;
};
struct Gif {
  int width = 0, height = 0;
  std::vector<Rgb> globalPalette;  // empty: none; else 2^n entries
  int background = 0;
  std::vector<GifImage> images;
  bool comment = false;
  bool application = false;
  bool trailer = true;
};
Bytes WriteGif(const Gif& gif);

// 8-bit PCX (with the palette after the pixel data) and 1-bit PCX. `bytesPerLine` 0 means
// the width (even, for 1-bit: ceil(width / 8) rounded up to even).
Bytes WritePcx8(int width, int height, const std::vector<uint8_t>& indices, const std::vector<Rgb>& palette,
                int bytesPerLine = 0, bool withPalette = true);
Bytes WritePcx1(int width, int height, const std::vector<uint8_t>& packedRows, int bytesPerLine = 0);

// An icon image resource: 32-bit DIB of width × height (colour and mask), every pixel `colour`.
Bytes WriteIconImage(int width, int height, Rgb colour);

struct IconEntry {
  uint8_t width = 0, height = 0, colourCount = 0;
  uint16_t bitCount = 32;
  Bytes image;
};
// An icon (type 1) or cursor (type 2) file of the entries, images after the directory.
Bytes WriteIconFile(uint16_t type, const std::vector<IconEntry>& entries);

}  // namespace quorlin::pictures::testing
