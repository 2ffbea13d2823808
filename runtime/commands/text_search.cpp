#include "runtime/commands/text_search.h"

#include "runtime/commands/double_byte_walk.h"
#include "runtime/commands/substring_matcher.h"

namespace quorlin::commands::detail {

size_t FindFirstMatch(std::string_view text, std::string_view pattern, size_t start, SearchOptions options) {
  if (pattern.empty() || start >= text.size()) return NotFound;
  SubstringMatcher matcher(pattern, options.ignoreCase);
  matcher.Reset(text, start);
  WalkStops stops(text, start);
  for (size_t at = matcher.Next(); at != NotFound; at = matcher.Next()) {
    if (options.stepping == Stepping::Bytes || stops.IsStop(at)) return at;
  }
  return NotFound;
}

size_t FindLastMatch(std::string_view text, std::string_view pattern, SearchOptions options) {
  if (pattern.empty() || text.empty()) return NotFound;
  SubstringMatcher matcher(pattern, options.ignoreCase);
  matcher.Reset(text, 0);
  WalkStops stops(text, 0);
  size_t last = NotFound;
  for (size_t at = matcher.Next(); at != NotFound; at = matcher.Next()) {
    if (options.stepping == Stepping::Bytes || stops.IsStop(at)) last = at;
  }
  return last;
}

size_t ScanMatches(std::string_view text, std::string_view pattern, size_t start, size_t limit,
                   SearchOptions options, const std::function<void(size_t)>& onMatch) {
  if (pattern.empty() || start >= text.size()) return 0;
  SubstringMatcher matcher(pattern, options.ignoreCase);
  matcher.Reset(text, start);
  WalkStops stops(text, start);
  size_t taken = 0;
  for (size_t at = matcher.Next(); at != NotFound; at = matcher.Next()) {
    if (options.stepping == Stepping::Characters && !stops.IsStop(at)) continue;
    onMatch(at);
    ++taken;
    if (limit != 0 && taken == limit) break;
    // The walk goes on right after the match, as if a new text started there.
    const size_t resume = at + pattern.size();
    matcher.Reset(text, resume);
    stops.Restart(resume);
  }
  return taken;
}

}  // namespace quorlin::commands::detail
