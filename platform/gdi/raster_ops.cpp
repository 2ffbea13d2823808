#include "platform/gdi/raster_ops.h"

#include <array>
#include <cstring>
#include <utility>

namespace quorlin::platform::gdi {
namespace {

// Sum of the minterms set in the code: bit (p << 2 | s << 1 | d).
template <uint8_t Code>
inline uint32_t Evaluate(uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  if constexpr ((Code & 0x01) != 0) r |= ~p & ~s & ~d;
  if constexpr ((Code & 0x02) != 0) r |= ~p & ~s & d;
  if constexpr ((Code & 0x04) != 0) r |= ~p & s & ~d;
  if constexpr ((Code & 0x08) != 0) r |= ~p & s & d;
  if constexpr ((Code & 0x10) != 0) r |= p & ~s & ~d;
  if constexpr ((Code & 0x20) != 0) r |= p & ~s & d;
  if constexpr ((Code & 0x40) != 0) r |= p & s & ~d;
  if constexpr ((Code & 0x80) != 0) r |= p & s & d;
  return r & kPixelMask;
}

template <uint8_t Code>
void RowOf(uint32_t* dest, const uint32_t* source, const uint32_t* pattern, int patternWidth, int phase,
           int count) {
  constexpr bool kSource = RopUsesSource(Code);
  constexpr bool kPattern = RopUsesPattern(Code);
  if constexpr (!kPattern) {
    for (int i = 0; i < count; ++i) dest[i] = Evaluate<Code>(0, kSource ? source[i] : 0, dest[i]);
  } else if (patternWidth == 1) {
    const uint32_t p = pattern[0];
    for (int i = 0; i < count; ++i) dest[i] = Evaluate<Code>(p, kSource ? source[i] : 0, dest[i]);
  } else {
    int k = phase;
    for (int i = 0; i < count; ++i) {
      dest[i] = Evaluate<Code>(pattern[k], kSource ? source[i] : 0, dest[i]);
      if (++k == patternWidth) k = 0;
    }
  }
}

void CopySource(uint32_t* dest, const uint32_t* source, const uint32_t*, int, int, int count) {
  std::memmove(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}

void CopyPattern(uint32_t* dest, const uint32_t*, const uint32_t* pattern, int patternWidth, int phase,
                 int count) {
  if (patternWidth == 1) {
    std::fill(dest, dest + count, pattern[0]);
    return;
  }
  int k = phase;
  for (int i = 0; i < count; ++i) {
    dest[i] = pattern[k];
    if (++k == patternWidth) k = 0;
  }
}

template <size_t... I>
constexpr std::array<Rop3Row, 256> MakeTable(std::index_sequence<I...>) {
  return {&RowOf<static_cast<uint8_t>(I)>...};
}

const std::array<Rop3Row, 256> kRows = MakeTable(std::make_index_sequence<256>{});

}  // namespace

uint8_t Rop3FromRop2(int mixMode) {
  if (mixMode < 1 || mixMode > 16) mixMode = 13;
  const int table = mixMode - 1;  // bit (pen << 1 | dest)
  uint8_t code = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = (i >> 2) & 1, d = i & 1;
    if ((table >> (p << 1 | d)) & 1) code |= static_cast<uint8_t>(1 << i);
  }
  return code;
}

uint32_t ApplyRop3(uint8_t code, uint32_t pattern, uint32_t source, uint32_t dest) {
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) & ((i & 1) ? dest : ~dest);
  }
  return r & kPixelMask;
}

Rop3Row Rop3RowFor(uint8_t code) {
  if (code == 0xCC) return &CopySource;
  if (code == 0xF0) return &CopyPattern;
  return kRows[code];
}

}  // namespace quorlin::platform::gdi
