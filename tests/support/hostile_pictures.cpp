#include "tests/support/hostile_pictures.h"

#include <zlib.h>

#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::testing {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutBig32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// LZW codes packed least significant bit first, their width following the table as a decoder
// grows it (minimum code size 2: clear 4, end 5, first free entry 6).
class CodePacker {
 public:
  void Clear() {
    Emit(4);
    bits_ = 3;
    nextFree_ = 6;
    first_ = true;
  }
  void Code(unsigned code) {
    Emit(code);
    if (first_) {
      first_ = false;
      return;
    }
    if (nextFree_ < 4096 && ++nextFree_ == (1u << bits_) && bits_ < 12) ++bits_;
  }
  void End() {
    Emit(5);
    if (count_ > 0) out_.push_back(static_cast<uint8_t>(buffer_));
  }
  unsigned nextFree() const { return nextFree_; }
  const Bytes& bytes() const { return out_; }

 private:
  void Emit(unsigned code) {
    buffer_ |= code << count_;
    count_ += bits_;
    while (count_ >= 8) {
      out_.push_back(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      count_ -= 8;
    }
  }
  Bytes out_;
  unsigned buffer_ = 0;
  int count_ = 0;
  int bits_ = 3;
  unsigned nextFree_ = 6;
  bool first_ = true;
};

// Codes that each name the entry about to be made, so every string is one longer than the last.
Bytes GrowingRuns(int count) {
  CodePacker packer;
  packer.Clear();
  packer.Code(1);
  for (int i = 0; i < count; ++i) packer.Code(packer.nextFree());
  packer.End();
  return packer.bytes();
}

Bytes GifScreen(int side) {
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<unsigned>(side));
  Put16(out, static_cast<unsigned>(side));
  out.insert(out.end(), {0x80, 0, 0});             // a global table of two colours
  out.insert(out.end(), {0, 0, 0, 255, 255, 255});  // black, white
  return out;
}

void GifImage(Bytes& out, int side, bool interlaced, const Bytes& codes, bool control) {
  if (control) out.insert(out.end(), {0x21, 0xF9, 4, 0x08, 0, 0, 0, 0});  // disposal 2, delay 0
  out.push_back(0x2C);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<unsigned>(side));
  Put16(out, static_cast<unsigned>(side));
  out.push_back(interlaced ? 0x40 : 0);
  out.push_back(2);  // minimum code size
  out.push_back(static_cast<uint8_t>(codes.size()));
  out.insert(out.end(), codes.begin(), codes.end());
  out.push_back(0);
}

Bytes PngChunk(const char* type, const Bytes& data) {
  Bytes chunk;
  PutBig32(chunk, static_cast<uint32_t>(data.size()));
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(type[i]));
  chunk.insert(chunk.end(), data.begin(), data.end());
  uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
  PutBig32(chunk, static_cast<uint32_t>(crc));
  return chunk;
}

// Zero rows of `rowBytes` (filter byte included), deflated a piece at a time.
Bytes DeflatedZeroRows(size_t rowBytes, size_t rows) {
  z_stream stream{};
  deflateInit(&stream, Z_BEST_COMPRESSION);
  const Bytes zeros(rowBytes, 0);
  Bytes out(deflateBound(&stream, static_cast<uLong>(rowBytes * rows)));
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  for (size_t row = 0; row < rows; ++row) {
    stream.next_in = const_cast<Bytef*>(zeros.data());
    stream.avail_in = static_cast<uInt>(zeros.size());
    deflate(&stream, row + 1 == rows ? Z_FINISH : Z_NO_FLUSH);
  }
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

}  // namespace

HostilePicture HugePcx() {
  Bytes out(128, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version
  out[2] = 1;   // run-length coded
  out[3] = 8;   // bits per pixel
  out[8] = out[10] = 0xFF;  // window 0, 0 .. 16383, 16383
  out[9] = out[11] = 0x3F;
  out[65] = 1;                // one plane
  out[66] = 0x00, out[67] = 0x40;  // 16384 bytes per line
  out.insert(out.end(), {0xFF, 0x2A});  // one run of 63
  return {"huge.pcx", out};
}

HostilePicture HugeInterlacedGifFrame() {
  Bytes out = GifScreen(16);
  GifImage(out, 16384, true, GrowingRuns(24), false);
  out.push_back(0x3B);
  return {"huge-frame.gif", out};
}

HostilePicture HugeGifAnimation() {
  Bytes out = GifScreen(16);
  GifImage(out, 16384, true, GrowingRuns(8), true);
  GifImage(out, 16384, false, GrowingRuns(8), true);
  out.push_back(0x3B);
  return {"huge-animation.gif", out};
}

HostilePicture BrokenHugeGif() {
  CodePacker packer;
  packer.Clear();
  packer.Code(1);
  for (int i = 0; i < 40; ++i) packer.Code(i % 4);
  packer.Code(packer.nextFree() + 1);  // beyond the next free entry
  packer.End();
  Bytes out = GifScreen(16);
  GifImage(out, 16384, false, packer.bytes(), false);
  out.push_back(0x3B);
  return {"broken.gif", out};
}

HostilePicture HugeOneBitPng() {
  constexpr uint32_t kSide = 8192;
  Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  PutBig32(header, kSide);
  PutBig32(header, kSide);
  header.insert(header.end(), {1, 0, 0, 0, 0});  // 1 bit, grey, deflate, filters, not interlaced
  const Bytes ihdr = PngChunk("IHDR", header);
  const Bytes idat = PngChunk("IDAT", DeflatedZeroRows(1 + kSide / 8, kSide));
  const Bytes iend = PngChunk("IEND", {});
  out.insert(out.end(), ihdr.begin(), ihdr.end());
  out.insert(out.end(), idat.begin(), idat.end());
  out.insert(out.end(), iend.begin(), iend.end());
  return {"huge.png", out};
}

HostilePicture TruncatedJpeg(int side) {
  Bytes out = pictures::testing::WriteJpeg(pictures::testing::TestImage(16, 16), 75, true);
  // The frame header (FF C0): length, precision, then height and width, big-endian.
  for (size_t at = 2; at + 8 < out.size(); ++at) {
    if (out[at] == 0xFF && out[at + 1] == 0xC0) {
      out[at + 5] = out[at + 7] = static_cast<uint8_t>(side >> 8);
      out[at + 6] = out[at + 8] = static_cast<uint8_t>(side);
      break;
    }
  }
  out.resize(out.size() - 2);  // without its end marker, as a cut-off download
  return {"truncated-" + std::to_string(side) + ".jpg", out};
}

std::vector<HostilePicture> HostilePictures() {
  return {HugePcx(), HugeInterlacedGifFrame(), HugeGifAnimation(), BrokenHugeGif(), HugeOneBitPng(),
          TruncatedJpeg(9400)};
}

}  // namespace quorlin::testing
