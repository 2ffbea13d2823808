// A plain model of the text scans, written straight from their rules: walk the text one
// character at a time and compare at every stop. Slow on purpose; the tests and the fuzz
// target compare the real commands with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::reference {

inline size_t Width(std::string_view t, size_t i) {
  return (static_cast<uint8_t>(t[i]) & 0x80) && i + 1 < t.size() ? 2 : 1;
}

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline bool MatchesAt(std::string_view t, size_t i, std::string_view p, bool ignoreCase) {
  if (t.size() - i < p.size()) return false;
  for (size_t k = 0; k < p.size(); ++k) {
    const char a = t[i + k], b = p[k];
    if (ignoreCase ? Lower(a) != Lower(b) : a != b) return false;
  }
  return true;
}

// 1-based result as FindText gives it.
inline int32_t FindText(std::string_view t, std::string_view p, int32_t start, bool ignoreCase) {
  const size_t b = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (b >= t.size()) return -1;
  if (p.empty()) return 1;
  for (size_t i = b; i < t.size() && t.size() - i >= p.size(); i += Width(t, i)) {
    if (MatchesAt(t, i, p, ignoreCase)) return static_cast<int32_t>(i + 1);
  }
  return -1;
}

// startGiven false means the start was omitted.
inline int32_t FindTextReverse(std::string_view t, std::string_view p, bool startGiven, int32_t start, bool ignoreCase) {
  size_t b = t.size();
  if (startGiven) b = static_cast<int64_t>(start) - 1 < 0 ? 0 : static_cast<size_t>(static_cast<int64_t>(start) - 1);
  if (b > t.size()) b = t.size();
  if (b == 0) return -1;
  if (p.empty()) return 1;
  int32_t last = -1;
  for (size_t i = 0; i < b; i += Width(t, i)) {
    if (i + p.size() <= b && MatchesAt(t, i, p, ignoreCase)) last = static_cast<int32_t>(i + 1);
  }
  return last;
}

// count < 0 means all; characterWalk false steps byte by byte (ReplaceBytes).
inline std::string Replace(std::string_view t, std::string_view find, std::string_view with, int32_t start,
                           int32_t count, bool ignoreCase, bool characterWalk = true) {
  const size_t b = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (t.empty() || find.empty() || b >= t.size() || count == 0) return std::string(t);
  std::string out(t.substr(0, b));
  size_t i = b;
  int32_t done = 0;
  while (t.size() - i >= find.size()) {
    if (MatchesAt(t, i, find, ignoreCase)) {
      out.append(with);
      i += find.size();
      if (count > 0 && ++done == count) break;
    } else {
      const size_t w = characterWalk ? Width(t, i) : 1;
      out.append(t.substr(i, w));
      i += w;
    }
  }
  if (i < t.size()) out.append(t.substr(i));
  return out;
}

// maximum < 0 means unlimited.
inline std::vector<std::string> Split(std::string_view t, std::string_view d, int32_t maximum) {
  std::vector<std::string> out;
  if (t.empty() || maximum == 0) return out;
  if (d.empty()) return {std::string(t)};
  size_t cut = 0, i = 0;
  while (i < t.size()) {
    if (MatchesAt(t, i, d, false)) {
      out.emplace_back(t.substr(cut, i - cut));
      i += d.size();
      cut = i;
      if (maximum > 0 && out.size() == static_cast<size_t>(maximum)) return out;
    } else {
      i += Width(t, i);
    }
  }
  if (cut < t.size()) out.emplace_back(t.substr(cut));
  return out;
}

}  // namespace quorlin::reference
