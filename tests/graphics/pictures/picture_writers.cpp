#include "tests/graphics/pictures/picture_writers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <utility>

#include <jpeglib.h>
#include <png.h>

namespace quorlin::pictures::testing {

namespace {

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PadTo4(Bytes& out, size_t rowStart) {
  while ((out.size() - rowStart) % 4) out.push_back(0);
}

// File header and BITMAPINFOHEADER (plus any extra header bytes) of an uncompressed BMP.
void PutBmpHeaders(Bytes& out, int width, int height, bool topDown, int bits, uint32_t colours,
                   uint32_t paletteBytes, uint32_t infoSize) {
  const uint32_t offset = 14 + infoSize + paletteBytes;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 0);  // file size, patched below
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, infoSize);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(topDown ? -height : height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
  out.resize(14 + infoSize, 0);
}

void PatchFileSize(Bytes& out) {
  const uint32_t size = static_cast<uint32_t>(out.size());
  for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<uint8_t>(size >> (8 * i));
}

}  // namespace

RgbImage TestImage(int width, int height) {
  RgbImage image{width, height, {}};
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Rgb& p = image.pixels[static_cast<size_t>(y) * width + x];
      p.r = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
      p.g = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
      p.b = ((x / 16 + y / 16) % 2) ? 200 : 40;
    }
  return image;
}

Bytes ToBgrBottomUp(const RgbImage& image) {
  Bytes out;
  out.reserve(image.pixels.size() * 3);
  for (int y = image.height - 1; y >= 0; --y)
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
    }
  return out;
}

Bytes WriteBmp(const RgbImage& image, int bitsPerPixel, bool topDown) {
  Bytes out;
  PutBmpHeaders(out, image.width, image.height, topDown, bitsPerPixel, 0, 0, 40);
  for (int r = 0; r < image.height; ++r) {
    const int y = topDown ? r : image.height - 1 - r;
    const size_t rowStart = out.size();
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
      if (bitsPerPixel == 32) out.push_back(0x5A);
    }
    PadTo4(out, rowStart);
  }
  PatchFileSize(out);
  return out;
}

Bytes WriteIndexedBmp(const IndexedBmp& bmp) {
  Bytes out;
  PutBmpHeaders(out, bmp.width, bmp.height, bmp.topDown, bmp.bitsPerPixel, bmp.coloursUsed,
                static_cast<uint32_t>(bmp.palette.size() * 4), bmp.infoHeaderSize);
  for (const Rgb& c : bmp.palette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  const int perByte = 8 / bmp.bitsPerPixel;
  for (int r = 0; r < bmp.height; ++r) {
    const int y = bmp.topDown ? r : bmp.height - 1 - r;
    const size_t rowStart = out.size();
    for (int x = 0; x < bmp.width; x += perByte) {
      uint8_t byte = 0;
      for (int k = 0; k < perByte; ++k) {
        const uint8_t index = x + k < bmp.width ? bmp.indices[static_cast<size_t>(y) * bmp.width + x + k] : 0;
        byte |= static_cast<uint8_t>(index << (8 - bmp.bitsPerPixel * (k + 1)));
      }
      out.push_back(byte);
    }
    PadTo4(out, rowStart);
  }
  PatchFileSize(out);
  return out;
}

Bytes WriteJpeg(const RgbImage& image, int quality, bool grey, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      if (grey) row[x] = p.g;
      else std::memcpy(&row[static_cast<size_t>(x) * 3], &p, 3);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

Bytes WritePng(int width, int height, const std::vector<uint8_t>& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) throw std::runtime_error("png size");
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) throw std::runtime_error("png write");
  out.resize(size);
  return out;
}

Bytes EncodeLzw(int minCodeSize, const std::vector<uint8_t>& indices) {
  const int clear = 1 << minCodeSize;
  Bytes out;
  uint32_t bitBuffer = 0;
  int bitCount = 0;
  int next = clear + 2;
  // Width the decoder will read the next code with: it has one entry fewer than we do.
  auto width = [&] {
    int bits = minCodeSize + 1;
    while (bits < 12 && next - 1 >= (1 << bits)) ++bits;
    return bits;
  };
  auto emit = [&](int code) {
    bitBuffer |= static_cast<uint32_t>(code) << bitCount;
    bitCount += width();
    while (bitCount >= 8) {
      out.push_back(static_cast<uint8_t>(bitBuffer));
      bitBuffer >>= 8;
      bitCount -= 8;
    }
  };
  std::map<std::pair<int, uint8_t>, int> table;
  next = clear + 2;
  emit(clear);
  int current = -1;
  for (uint8_t value : indices) {
    if (current < 0) {
      current = value;
      continue;
    }
    const auto found = table.find({current, value});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    emit(current);
    table[{current, value}] = next++;
    if (next >= 4095) {
      emit(clear);
      table.clear();
      next = clear + 2;
    }
    current = value;
  }
  if (current >= 0) {
    emit(current);
    ++next;
  }
  emit(clear + 1);
  if (bitCount > 0) out.push_back(static_cast<uint8_t>(bitBuffer));
  return out;
}

namespace {

int TableBits(size_t entries) {
  int bits = 1;
  while ((size_t{1} << bits) < entries) ++bits;
  return bits;
}

void PutColourTable(Bytes& out, const std::vector<Rgb>& palette) {
  for (const Rgb& c : palette) out.insert(out.end(), {c.r, c.g, c.b});
}

void PutSubBlocks(Bytes& out, const Bytes& data) {
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
  }
  out.push_back(0);
}

}  // namespace

Bytes WriteGif(const Gif& gif) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<uint32_t>(gif.width));
  Put16(out, static_cast<uint32_t>(gif.height));
  out.push_back(gif.globalPalette.empty() ? 0 : static_cast<uint8_t>(0x80 | (TableBits(gif.globalPalette.size()) - 1)));
  out.push_back(static_cast<uint8_t>(gif.background));
  out.push_back(0);
  PutColourTable(out, gif.globalPalette);
  if (gif.application) {
    out.insert(out.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
  }
  if (gif.comment) {
    out.insert(out.end(), {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0});
  }
  for (const GifImage& image : gif.images) {
    if (image.control) {
      out.insert(out.end(), {0x21, 0xF9, 4,
                             static_cast<uint8_t>((image.disposal << 2) | (image.transparent ? 1 : 0)),
                             static_cast<uint8_t>(image.delay), static_cast<uint8_t>(image.delay >> 8),
                             image.transparentIndex, 0});
    }
    out.push_back(0x2C);
    Put16(out, static_cast<uint32_t>(image.left));
    Put16(out, static_cast<uint32_t>(image.top));
    Put16(out, static_cast<uint32_t>(image.width));
    Put16(out, static_cast<uint32_t>(image.height));
    uint8_t flags = image.interlaced ? 0x40 : 0;
    if (!image.localPalette.empty()) flags |= static_cast<uint8_t>(0x80 | (TableBits(image.localPalette.size()) - 1));
    out.push_back(flags);
    PutColourTable(out, image.localPalette);
    // Interlaced images store their rows in pass order.
    std::vector<uint8_t> stored;
    if (image.interlaced) {
      static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
      for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < image.height; y += step[pass])
          stored.insert(stored.end(), image.indices.begin() + static_cast<long>(y) * image.width,
                        image.indices.begin() + static_cast<long>(y + 1) * image.width);
    } else {
      stored = image.indices;
    }
    out.push_back(static_cast<uint8_t>(image.minCodeSize));
    PutSubBlocks(out, EncodeLzw(image.minCodeSize, stored));
  }
  if (gif.trailer) out.push_back(0x3B);
  return out;
}

namespace {

void PutPcxHeader(Bytes& out, int version, int bits, int width, int height, int planes, int bytesPerLine) {
  out.assign(128, 0);
  out[0] = 10;
  out[1] = static_cast<uint8_t>(version);
  out[2] = 1;
  out[3] = static_cast<uint8_t>(bits);
  out[8] = static_cast<uint8_t>(width - 1);
  out[9] = static_cast<uint8_t>((width - 1) >> 8);
  out[10] = static_cast<uint8_t>(height - 1);
  out[11] = static_cast<uint8_t>((height - 1) >> 8);
  out[65] = static_cast<uint8_t>(planes);
  out[66] = static_cast<uint8_t>(bytesPerLine);
  out[67] = static_cast<uint8_t>(bytesPerLine >> 8);
}

void PutPcxLine(Bytes& out, const uint8_t* line, size_t count) {
  for (size_t i = 0; i < count;) {
    size_t run = 1;
    while (i + run < count && run < 63 && line[i + run] == line[i]) ++run;
    if (run > 1 || line[i] > 0xC0) {
      out.push_back(static_cast<uint8_t>(0xC0 + run));
      out.push_back(line[i]);
    } else {
      out.push_back(line[i]);
    }
    i += run;
  }
}

}  // namespace

Bytes WritePcx8(int width, int height, const std::vector<uint8_t>& indices, const std::vector<Rgb>& palette,
                int bytesPerLine, bool withPalette) {
  if (bytesPerLine == 0) bytesPerLine = width + (width & 1);
  Bytes out;
  PutPcxHeader(out, 5, 8, width, height, 1, bytesPerLine);
  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine));
  for (int y = 0; y < height; ++y) {
    std::fill(line.begin(), line.end(), 0);
    for (int x = 0; x < width && x < bytesPerLine; ++x) line[x] = indices[static_cast<size_t>(y) * width + x];
    PutPcxLine(out, line.data(), line.size());
  }
  if (withPalette) {
    out.push_back(12);
    for (size_t i = 0; i < 256; ++i) {
      const Rgb c = i < palette.size() ? palette[i] : Rgb{};
      out.insert(out.end(), {c.r, c.g, c.b});
    }
  }
  return out;
}

Bytes WritePcx1(int width, int height, const std::vector<uint8_t>& packedRows, int bytesPerLine) {
  const int pixelBytes = (width + 7) / 8;
  if (bytesPerLine == 0) bytesPerLine = pixelBytes + (pixelBytes & 1);
  Bytes out;
  PutPcxHeader(out, 3, 1, width, height, 1, bytesPerLine);
  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine));
  for (int y = 0; y < height; ++y) {
    std::fill(line.begin(), line.end(), 0);
    std::memcpy(line.data(), &packedRows[static_cast<size_t>(y) * pixelBytes], std::min(pixelBytes, bytesPerLine));
    PutPcxLine(out, line.data(), line.size());
  }
  return out;
}

Bytes WriteIconImage(int width, int height, Rgb colour) {
  Bytes out;
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height * 2));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int i = 0; i < width * height; ++i) out.insert(out.end(), {colour.b, colour.g, colour.r, 0xFF});
  const size_t maskRow = static_cast<size_t>((width + 31) / 32 * 4);
  out.resize(out.size() + maskRow * static_cast<size_t>(height), 0);
  return out;
}

Bytes WriteIconFile(uint16_t type, const std::vector<IconEntry>& entries) {
  Bytes out;
  Put16(out, 0);
  Put16(out, type);
  Put16(out, static_cast<uint32_t>(entries.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
  for (const IconEntry& e : entries) {
    out.insert(out.end(), {e.width, e.height, e.colourCount, 0});
    Put16(out, 1);
    Put16(out, e.bitCount);
    Put32(out, static_cast<uint32_t>(e.image.size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(e.image.size());
  }
  for (const IconEntry& e : entries) out.insert(out.end(), e.image.begin(), e.image.end());
  return out;
}

}  // namespace quorlin::pictures::testing
