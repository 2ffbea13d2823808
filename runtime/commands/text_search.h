// The scans behind FindText, FindTextReverse, ReplaceSubtext, ReplaceBytes and SplitText. A
// text scan compares only where a character walk from its start stops (a match never starts
// on the second byte of a double-byte character); a byte scan compares at every byte. All run
// in linear time, also on texts full of near-matches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace quorlin::commands::detail {

inline constexpr size_t NotFound = std::string_view::npos;

enum class Stepping { Characters, Bytes };

struct SearchOptions {
  bool ignoreCase = false;
  Stepping stepping = Stepping::Characters;
};

// The first match of pattern (not empty) at a walk stop of the walk that starts at index
// start, or NotFound.
size_t FindFirstMatch(std::string_view text, std::string_view pattern, size_t start, SearchOptions options);

// The last match of pattern (not empty) lying wholly inside text, at a stop of the walk that
// starts at index 0, or NotFound.
size_t FindLastMatch(std::string_view text, std::string_view pattern, SearchOptions options);

// Walks from index start; each match is skipped whole and counted, up to limit matches (0
// means no limit). Calls onMatch with the match index for every match taken; returns their
// number.
size_t ScanMatches(std::string_view text, std::string_view pattern, size_t start, size_t limit,
                   SearchOptions options, const std::function<void(size_t)>& onMatch);

}  // namespace quorlin::commands::detail
