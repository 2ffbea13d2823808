// Finds every occurrence of a pattern in a text, overlapping ones included, in one forward
// pass of linear time (Knuth-Morris-Pratt). While no partial match is pending it jumps ahead
// with a vector scan for the pattern's first two bytes, which is what makes the common case
// fast. Comparison is byte-exact or ignores ASCII case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::commands::detail {

class SubstringMatcher {
 public:
  static constexpr size_t npos = std::string_view::npos;

  // pattern must not be empty.
  SubstringMatcher(std::string_view pattern, bool ignoreCase);

  size_t PatternSize() const { return pattern_.size(); }

  // Starts a pass over text at index from; occurrences starting before from are not reported.
  void Reset(std::string_view text, size_t from);
  // The start index of the next occurrence in increasing order, or npos when there is none.
  size_t Next();

 private:
  uint8_t Fold(uint8_t c) const { return ignoreCase_ && c >= 'A' && c <= 'Z' ? c + 32 : c; }
  // Index of the first position at or after from where the pattern's first bytes (two, or one
  // for a one-byte pattern) match, or npos.
  size_t FindCandidate(size_t from) const;

  std::string pattern_;  // lower-cased when ignoring case
  bool ignoreCase_;
  std::vector<uint32_t> failure_;  // longest proper border of pattern_[0..i]
  std::string_view text_;
  size_t scanned_ = 0;  // next text index to feed
  size_t state_ = 0;    // length of the pattern prefix matched just before scanned_
};

}  // namespace quorlin::commands::detail
