#include "graphics/pictures/lzw_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace quorlin::pictures {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr unsigned kTableSize = 1u << kMaxCodeBits;
// Past the end of the data the codes read as all ones, for as long as it takes to finish the
// code in progress; after that the image ends, so a few bytes cannot spin out a huge image.
constexpr size_t kBytesReadPastEnd = 2;

class CodeReader {
 public:
  CodeReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  unsigned Read(int bits) {
    if (count_ < bits) Refill();
    const unsigned code = static_cast<unsigned>(buffer_ & ((1u << bits) - 1));
    buffer_ >>= bits;
    count_ -= bits;
    consumedBits_ += static_cast<size_t>(bits);
    return code;
  }

  bool Exhausted() const { return consumedBits_ > (size_ + kBytesReadPastEnd) * 8; }

 private:
  void Refill() {
    while (count_ <= 56) {
      const uint64_t byte = position_ < size_ ? data_[position_] : 0xFF;
      ++position_;
      buffer_ |= byte << count_;
      count_ += 8;
    }
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  uint64_t buffer_ = 0;
  int count_ = 0;
  size_t consumedBits_ = 0;
};

// Each entry is its prefix entry plus one byte; strings are written back to front.
struct CodeTable {
  std::array<uint16_t, kTableSize> prefix;
  std::array<uint16_t, kTableSize> length;
  std::array<uint8_t, kTableSize> last;
  std::array<uint8_t, kTableSize> first;
};

// One code's string: the entry `source`, plus `firstByte` at the end when the code is the entry
// about to be made.
struct CodeString {
  unsigned source;
  bool known;
  uint8_t firstByte;
  size_t length;
};

// Writes the first min(length, room) bytes of the string to dst.
void WriteString(const CodeTable& table, const CodeString& string, uint8_t* dst, size_t room) {
  unsigned walk = string.source;
  size_t i = string.length;
  if (!string.known) {
    --i;
    if (i < room) dst[i] = string.firstByte;
  }
  if (string.length <= room) {
    while (i > 0) {
      dst[--i] = table.last[walk];
      walk = table.prefix[walk];
    }
    return;
  }
  while (i > 0) {
    --i;
    if (i < room) dst[i] = table.last[walk];
    walk = table.prefix[walk];
  }
}

// Puts decoded strings where the image keeps them.
class ImagePlacer {
 public:
  explicit ImagePlacer(const LzwImage& image)
      : image_(image),
        pass0_((image.height + 7) / 8),
        pass1_((image.height + 3) / 8),
        pass2_((image.height + 1) / 4) {}

  size_t capacity() const { return image_.width * image_.height; }

  // Places `take` bytes of the string at image position `position`.
  void Place(const CodeTable& table, const CodeString& string, size_t position, size_t take) {
    size_t row = position / image_.width, column = position % image_.width;
    if (column + take <= image_.keepColumns) {  // inside one row's kept part: straight there
      if (uint8_t* dst = KeptRow(row)) WriteString(table, string, dst + column, take);
      return;
    }
    bool spelt = false;
    for (size_t done = 0; done < take; ++row, column = 0) {
      const size_t span = std::min(image_.width - column, take - done);
      uint8_t* dst = column < image_.keepColumns ? KeptRow(row) : nullptr;
      if (dst) {
        if (!spelt) WriteString(table, string, spelt_.data(), string.length);
        spelt = true;
        std::memcpy(dst + column, spelt_.data() + done, std::min(span, image_.keepColumns - column));
      }
      done += span;
    }
  }

 private:
  uint8_t* KeptRow(size_t stored) const {
    const size_t row = image_.interlaced ? PictureRow(stored) : stored;
    return row < image_.keepRows ? image_.out + row * image_.outStride : nullptr;
  }

  size_t PictureRow(size_t n) const {
    if (n < pass0_) return n * 8;
    n -= pass0_;
    if (n < pass1_) return n * 8 + 4;
    n -= pass1_;
    if (n < pass2_) return n * 4 + 2;
    return (n - pass2_) * 2 + 1;
  }

  const LzwImage& image_;
  size_t pass0_, pass1_, pass2_;  // stored rows of the first three passes
  std::array<uint8_t, kTableSize + 1> spelt_;
};

}  // namespace

Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, const LzwImage& image) {
  if (minCodeSize < kMinLzwCodeSize || minCodeSize > kMaxLzwCodeSize) return Fail("LZW minimum code size outside 1..8");
  const unsigned clearCode = 1u << minCodeSize;
  const unsigned endCode = clearCode + 1;
  auto table = std::make_unique<CodeTable>();
  for (unsigned c = 0; c < clearCode; ++c) {
    table->prefix[c] = 0;
    table->length[c] = 1;
    table->last[c] = static_cast<uint8_t>(c);
    table->first[c] = static_cast<uint8_t>(c);
  }

  auto placer = std::make_unique<ImagePlacer>(image);
  const size_t capacity = placer->capacity();
  CodeReader reader(data, size);
  int codeBits = minCodeSize + 1;
  unsigned nextFree = clearCode + 2;
  int previous = -1;
  size_t written = 0;

  while (written < capacity) {
    const unsigned code = reader.Read(codeBits);
    if (reader.Exhausted()) break;
    if (code == clearCode) {
      codeBits = minCodeSize + 1;
      nextFree = clearCode + 2;
      previous = -1;
      continue;
    }
    if (code == endCode) break;
    if (previous < 0) {
      if (code >= clearCode) return Fail("LZW code beyond the next free table entry");
      placer->Place(*table, CodeString{code, true, 0, 1}, written, 1);
      ++written;
      previous = static_cast<int>(code);
      continue;
    }
    if (code > nextFree) return Fail("LZW code beyond the next free table entry");

    // The string of `code`, or for the entry about to be made, the previous string plus its
    // own first byte.
    const bool known = code < nextFree;
    const unsigned source = known ? code : static_cast<unsigned>(previous);
    const uint8_t firstByte = table->first[source];
    const CodeString string{source, known, firstByte, table->length[source] + (known ? 0u : 1u)};
    const size_t take = std::min(string.length, capacity - written);
    placer->Place(*table, string, written, take);
    written += take;

    if (nextFree < kTableSize) {
      table->prefix[nextFree] = static_cast<uint16_t>(previous);
      table->length[nextFree] = static_cast<uint16_t>(table->length[previous] + 1);
      table->last[nextFree] = firstByte;
      table->first[nextFree] = table->first[previous];
      ++nextFree;
      if (nextFree == (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
    }
    previous = static_cast<int>(code);
  }
  return written;
}

Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t capacity) {
  LzwImage image;
  image.width = image.keepColumns = capacity;
  image.height = image.keepRows = capacity ? 1 : 0;
  image.out = out;
  image.outStride = capacity;
  return DecodeLzw(minCodeSize, data, size, image);
}

}  // namespace quorlin::pictures
