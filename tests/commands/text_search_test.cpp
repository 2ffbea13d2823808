#include "runtime/commands/text_search.h"

#include <gtest/gtest.h>

#include <random>

#include "runtime/commands/double_byte_walk.h"
#include "runtime/commands/substring_matcher.h"

namespace quorlin::commands::detail {
namespace {

std::vector<size_t> AllMatches(std::string_view text, std::string_view pattern, bool ignoreCase) {
  SubstringMatcher matcher(pattern, ignoreCase);
  matcher.Reset(text, 0);
  std::vector<size_t> found;
  for (size_t at = matcher.Next(); at != SubstringMatcher::npos; at = matcher.Next()) found.push_back(at);
  return found;
}

std::vector<size_t> NaiveMatches(std::string_view text, std::string_view pattern, bool ignoreCase) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  std::vector<size_t> found;
  for (size_t i = 0; i + pattern.size() <= text.size(); ++i) {
    bool same = true;
    for (size_t k = 0; k < pattern.size() && same; ++k) {
      same = ignoreCase ? lower(text[i + k]) == lower(pattern[k]) : text[i + k] == pattern[k];
    }
    if (same) found.push_back(i);
  }
  return found;
}

TEST(SubstringMatcher, ReportsEveryOverlappingOccurrenceAcrossTheVectorBlocks) {
  std::mt19937 rng(11);
  const char alphabet[] = {'a', 'b', 'A', '\x81', '['};  // '[' is 'A' + 26: no letter
  for (int round = 0; round < 3000; ++round) {
    std::string text(rng() % 80, ' '), pattern(1 + rng() % 5, ' ');
    for (char& c : text) c = alphabet[rng() % 3 == 0 ? rng() % 5 : rng() % 2];
    for (char& c : pattern) c = alphabet[rng() % 5];
    const bool ignoreCase = rng() % 2;
    EXPECT_EQ(AllMatches(text, pattern, ignoreCase), NaiveMatches(text, pattern, ignoreCase))
        << text << " / " << pattern << " ignoreCase=" << ignoreCase;
  }
  // A case-folded filter must not take a byte that differs only in bit 0x20 for a letter.
  EXPECT_EQ(AllMatches("\x01!A", "A", true), (std::vector<size_t>{2}));
  EXPECT_EQ(AllMatches("[{", "[", true), (std::vector<size_t>{0}));
}

TEST(WalkStops, FollowTheCharacterWalkFromTheAnchor) {
  // Walk of 中 a 文 b with a lone lead byte at the end: stops 0, 2, 3, 5, 6.
  const std::string_view text = "\xD6\xD0" "a\xCE\xC4" "b\x81";
  std::vector<bool> expected = {true, false, true, true, false, true, true};
  WalkStops stops(text, 0);
  for (size_t p = 0; p < text.size(); ++p) EXPECT_EQ(stops.IsStop(p), expected[p]) << p;
  // Asking only about some positions gives the same answers.
  WalkStops sparse(text, 0);
  EXPECT_FALSE(sparse.IsStop(4));
  EXPECT_TRUE(sparse.IsStop(6));
  // A walk started on a trail byte takes it for a character.
  WalkStops shifted("\xD6\xD0\xD6\xD0", 1);
  EXPECT_TRUE(shifted.IsStop(1));
  EXPECT_TRUE(shifted.IsStop(3));
}

TEST(TextScans, SkipWholeMatchesAndStopAtTheLimit) {
  std::vector<size_t> taken;
  const size_t n = ScanMatches("aaaaa", "aa", 0, 0, {}, [&](size_t at) { taken.push_back(at); });
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(taken, (std::vector<size_t>{0, 2}));
  taken.clear();
  ScanMatches("abababab", "AB", 1, 2, {true, Stepping::Bytes}, [&](size_t at) { taken.push_back(at); });
  EXPECT_EQ(taken, (std::vector<size_t>{2, 4}));
  // Byte stepping finds a match that character stepping must not.
  EXPECT_EQ(FindFirstMatch("\xD6\xD0\xCE\xC4", "\xD0\xCE", 0, {false, Stepping::Bytes}), 1u);
  EXPECT_EQ(FindFirstMatch("\xD6\xD0\xCE\xC4", "\xD0\xCE", 0, {}), NotFound);
  EXPECT_EQ(FindLastMatch("ab\xD6" "ab", "ab", {}), 0u) << "the second \"ab\" starts inside a character";
}

}  // namespace
}  // namespace quorlin::commands::detail
