#include "runtime/commands/substring_matcher.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorlin::commands::detail {
namespace {

bool IsAsciiLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// One filter byte: a text byte b matches when (b | orMask) == value. With case ignored a
// letter is looked for with the 0x20 bit forced on, which matches exactly its two cases.
struct ByteFilter {
  uint8_t orMask;
  uint8_t value;
  bool Matches(uint8_t b) const { return static_cast<uint8_t>(b | orMask) == value; }
};

ByteFilter MakeFilter(uint8_t foldedPatternByte, bool ignoreCase) {
  if (ignoreCase && IsAsciiLetter(foldedPatternByte)) return {0x20, foldedPatternByte};
  return {0, foldedPatternByte};
}

}  // namespace

SubstringMatcher::SubstringMatcher(std::string_view pattern, bool ignoreCase)
    : pattern_(pattern), ignoreCase_(ignoreCase), failure_(pattern.size(), 0) {
  for (char& c : pattern_) c = static_cast<char>(Fold(static_cast<uint8_t>(c)));
  size_t k = 0;
  for (size_t i = 1; i < pattern_.size(); ++i) {
    while (k > 0 && pattern_[i] != pattern_[k]) k = failure_[k - 1];
    if (pattern_[i] == pattern_[k]) ++k;
    failure_[i] = static_cast<uint32_t>(k);
  }
}

void SubstringMatcher::Reset(std::string_view text, size_t from) {
  text_ = text;
  scanned_ = from;
  state_ = 0;
}

size_t SubstringMatcher::FindCandidate(size_t from) const {
  const size_t n = text_.size();
  if (from >= n) return npos;
  const auto* t = reinterpret_cast<const uint8_t*>(text_.data());
  const ByteFilter first = MakeFilter(static_cast<uint8_t>(pattern_[0]), ignoreCase_);

  if (pattern_.size() == 1) {
    if (first.orMask == 0) {
      const void* hit = std::memchr(t + from, first.value, n - from);
      return hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - t) : npos;
    }
    for (size_t i = from; i < n; ++i) {
      if (first.Matches(t[i])) return i;
    }
    return npos;
  }

  const ByteFilter second = MakeFilter(static_cast<uint8_t>(pattern_[1]), ignoreCase_);
  size_t i = from;
#if defined(__SSE2__)
  const __m128i or0 = _mm_set1_epi8(static_cast<char>(first.orMask));
  const __m128i v0 = _mm_set1_epi8(static_cast<char>(first.value));
  const __m128i or1 = _mm_set1_epi8(static_cast<char>(second.orMask));
  const __m128i v1 = _mm_set1_epi8(static_cast<char>(second.value));
  // Each step tests 16 start positions; it reads bytes i .. i + 16.
  for (; i + 17 <= n; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + 1));
    const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, or0), v0),
                                       _mm_cmpeq_epi8(_mm_or_si128(b, or1), v1));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  for (; i + 1 < n; ++i) {
    if (first.Matches(t[i]) && second.Matches(t[i + 1])) return i;
  }
  return npos;
}

size_t SubstringMatcher::Next() {
  const size_t n = text_.size();
  const size_t m = pattern_.size();
  const auto* t = reinterpret_cast<const uint8_t*>(text_.data());
  while (scanned_ < n) {
    if (state_ == 0) {
      // No partial match is pending, so no occurrence starts before the next position whose
      // first bytes fit; jumping there keeps the state exact.
      const size_t candidate = FindCandidate(scanned_);
      if (candidate == npos) {
        scanned_ = n;
        return npos;
      }
      state_ = m == 1 ? 1 : 2;
      scanned_ = candidate + state_;
    } else {
      const auto c = static_cast<char>(Fold(t[scanned_]));
      while (state_ > 0 && pattern_[state_] != c) state_ = failure_[state_ - 1];
      if (pattern_[state_] == c) ++state_;
      ++scanned_;
    }
    if (state_ == m) {
      state_ = failure_[m - 1];
      return scanned_ - m;
    }
  }
  return npos;
}

}  // namespace quorlin::commands::detail
