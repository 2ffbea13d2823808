#include "graphics/pictures/lzw_decoder.h"

#include <array>
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

}  // namespace

Result<size_t> DecodeLzw(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t capacity) {
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
      out[written++] = static_cast<uint8_t>(code);
      previous = static_cast<int>(code);
      continue;
    }
    if (code > nextFree) return Fail("LZW code beyond the next free table entry");

    // The string of `code`, or for the entry about to be made, the previous string plus its
    // own first byte.
    const bool known = code < nextFree;
    const unsigned source = known ? code : static_cast<unsigned>(previous);
    const uint8_t firstByte = table->first[source];
    const size_t length = table->length[source] + (known ? 0 : 1);
    const size_t room = capacity - written;
    uint8_t* const dst = out + written;
    unsigned walk = source;
    size_t i = length;
    if (!known) {
      --i;
      if (i < room) dst[i] = firstByte;
    }
    if (length <= room) {
      while (i > 0) {
        dst[--i] = table->last[walk];
        walk = table->prefix[walk];
      }
    } else {
      while (i > 0) {
        --i;
        if (i < room) dst[i] = table->last[walk];
        walk = table->prefix[walk];
      }
    }
    written += length < room ? length : room;

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

}  // namespace quorlin::pictures
