// The run-length code of PCX pixel data: a byte above 0xC0 repeats the byte after it
// (byte − 0xC0) times; any other byte (0xC0 included) stands for itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorlin::pictures {

class PcxRunLengthReader {
 public:
  PcxRunLengthReader(const uint8_t* data, size_t size, size_t start) : data_(data), size_(size), position_(start) {}

  // Fills out[0 .. count) with the next decoded bytes. A run reaching past `count` carries on
  // into the next call; bytes past the end of the data are 0. Returns false when the data
  // ended before `count` bytes.
  bool Read(uint8_t* out, size_t count) {
    uint8_t* o = out;
    uint8_t* const oEnd = out + count;
    if (runLeft_ > 0) {
      const size_t n = runLeft_ < count ? runLeft_ : count;
      std::memset(o, runValue_, n);
      o += n;
      runLeft_ -= n;
    }
    const uint8_t* p = data_ + position_;
    const uint8_t* const end = data_ + size_;
    while (o < oEnd && p < end) {
#if defined(__SSE2__)
      // Far from both ends: literal stretches are copied 16 bytes at a time up to the next
      // run byte, and a run of up to 8 is one 8-byte store.
      while (oEnd - o >= 64 + 16 && end - p >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i runBytes = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(static_cast<char>(0xC1))), bytes);
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(runBytes));
        if (!(mask & 1)) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o), bytes);
          const int literals = mask ? __builtin_ctz(mask) : 16;
          o += literals;
          p += literals;
          continue;
        }
        const size_t run = p[0] - 0xC0u;
        const uint64_t word = 0x0101010101010101ull * p[1];
        std::memcpy(o, &word, 8);
        if (run > 8) std::memset(o, p[1], run);
        o += run;
        p += 2;
      }
      if (o == oEnd || p == end) break;
#endif
      const uint8_t byte = *p++;
      if (byte <= 0xC0) {
        *o++ = byte;
        continue;
      }
      const size_t run = byte - 0xC0u;
      const uint8_t value = p < end ? *p++ : 0;
      const size_t room = static_cast<size_t>(oEnd - o);
      const size_t n = run < room ? run : room;
      for (size_t k = 0; k < n; ++k) o[k] = value;
      o += n;
      if (run > n) {
        runLeft_ = run - n;
        runValue_ = value;
      }
    }
    position_ = static_cast<size_t>(p - data_);
    if (o == oEnd) return true;
    std::memset(o, 0, static_cast<size_t>(oEnd - o));
    return false;
  }

  // Offset of the first byte after the pixel data read so far.
  size_t position() const { return position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_;
  size_t runLeft_ = 0;
  uint8_t runValue_ = 0;
};

}  // namespace quorlin::pictures
