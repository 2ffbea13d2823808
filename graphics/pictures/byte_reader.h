// Little-endian fields read at explicit offsets of bytes in memory, every read bounds-checked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorlin::pictures {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  // True when `count` bytes starting at `offset` lie inside the data (no overflow).
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }

  // The readers below require Has(offset, width) to have been checked by the caller.
  uint8_t U8(size_t offset) const { return data_[offset]; }
  uint16_t U16(size_t offset) const {
    return static_cast<uint16_t>(data_[offset] | (data_[offset + 1] << 8));
  }
  uint32_t U32(size_t offset) const {
    return static_cast<uint32_t>(data_[offset]) | (static_cast<uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<uint32_t>(data_[offset + 2]) << 16) | (static_cast<uint32_t>(data_[offset + 3]) << 24);
  }
  int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace quorlin::pictures
