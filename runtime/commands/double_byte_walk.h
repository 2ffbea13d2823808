// Walking a text one character at a time: a byte with its high bit set starts a two-byte
// character (GBK lead byte), every other byte is a character of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorlin::commands::detail {

inline bool IsLeadByte(char c) { return (static_cast<uint8_t>(c) & 0x80) != 0; }

// Width of the character starting at index i of text (i < text.size()). A lead byte in the
// last position is a character of width 1: the walk ends after it.
inline size_t CharWidthAt(std::string_view text, size_t i) {
  return IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// Answers "does a character walk that starts at the anchor stop at index p?" for increasing p
// without walking byte by byte. It relies on one fact: the index after any byte below 0x80 is
// always a stop, whether that byte was a character or the second half of one. So only the run
// of lead-range bytes directly before p decides, and its parity gives the answer. The anchor
// moves forward with every question, so a whole pass costs linear time.
class WalkStops {
 public:
  WalkStops(std::string_view text, size_t anchor) : text_(text), anchor_(anchor) {}

  // The walk restarts at index anchor (after a match was skipped, for instance).
  void Restart(size_t anchor) { anchor_ = anchor; }

  // p must not be below the last anchor or the last index asked about.
  bool IsStop(size_t p) {
    size_t runStart = p;
    while (runStart > anchor_ && IsLeadByte(text_[runStart - 1])) --runStart;
    const bool stop = (p - runStart) % 2 == 0;
    anchor_ = stop ? p : p - 1;
    return stop;
  }

 private:
  std::string_view text_;
  size_t anchor_;
};

}  // namespace quorlin::commands::detail
