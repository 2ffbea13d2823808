#include "runtime/commands/text_commands.h"

#include <random>

#include "tests/commands/command_test_support.h"
#include "tests/commands/text_reference_model.h"

namespace quorlin::commands {
namespace {

using testing::CommandTest;

// GBK characters used below: 中 = D6 D0, 文 = CE C4, 字 = D7 D6, and a character whose
// trail byte is an ASCII letter: 丄 = 81 61 (its second byte is 'a').
constexpr std::string_view Zhong = "\xD6\xD0";
constexpr std::string_view Wen = "\xCE\xC4";
constexpr std::string_view LeadA = "\x81" "a";
constexpr std::string_view FullWidthSpace = "\xA1\xA1";

std::string operator+(std::string_view a, std::string_view b) { return std::string(a) + std::string(b); }

class TextCommands : public CommandTest {};

TEST_F(TextCommands, LengthLeftRightAndMiddleCountBytesAndNeverRunPastTheEnd) {
  EXPECT_EQ(IntegerOf(TextLength, {Text("abc")}), 3);
  EXPECT_EQ(IntegerOf(TextLength, {Text(Zhong + Wen)}), 4);
  EXPECT_EQ(IntegerOf(TextLength, {Omitted()}), 0);
  EXPECT_EQ(IntegerOf(TextLength, {MakeInteger(5)}), 0) << "a value of another type reads as empty";

  struct Row { int32_t count; const char* left; const char* right; };
  for (const Row& row : {Row{2, "ab", "bc"}, Row{3, "abc", "abc"}, Row{10, "abc", "abc"}, Row{0, "", ""}, Row{-1, "", ""}}) {
    EXPECT_EQ(TextOf(TextLeft, {Text("abc"), MakeInteger(row.count)}), row.left) << row.count;
    EXPECT_EQ(TextOf(TextRight, {Text("abc"), MakeInteger(row.count)}), row.right) << row.count;
  }
  EXPECT_EQ(TextOf(TextLeft, {Text(""), MakeInteger(3)}), "");

  struct MiddleRow { int32_t start, count; const char* expected; };
  for (const MiddleRow& row : {MiddleRow{2, 10, "bc"}, MiddleRow{1, 1, "a"}, MiddleRow{3, 1, "c"}, MiddleRow{0, 2, ""},
                               MiddleRow{4, 1, ""}, MiddleRow{2, 0, ""}, MiddleRow{2, -5, ""}, MiddleRow{-2147483647 - 1, 2, ""}}) {
    EXPECT_EQ(TextOf(TextMiddle, {Text("abc"), MakeInteger(row.start), MakeInteger(row.count)}), row.expected)
        << row.start << "," << row.count;
  }
  // No double-byte adjustment: half a character is taken as it is.
  EXPECT_EQ(TextOf(TextMiddle, {Text(Zhong + Wen), MakeInteger(2), MakeInteger(2)}), "\xD0\xCE");
}

TEST_F(TextCommands, CharFromCodeTakesTheLowByteAndSpaceTextRepeatsSpaces) {
  EXPECT_EQ(TextOf(CharFromCode, {MakeInteger(65)}), "A");
  EXPECT_EQ(TextOf(CharFromCode, {MakeInteger(0x1FF)}), "\xFF");
  EXPECT_EQ(TextOf(CharFromCode, {MakeInteger(256)}), "") << "a NUL byte makes the empty text";
  EXPECT_EQ(TextOf(SpaceText, {MakeInteger(3)}), "   ");
  EXPECT_EQ(TextOf(SpaceText, {MakeInteger(0)}), "");
  EXPECT_EQ(TextOf(SpaceText, {MakeInteger(-4)}), "");
}

TEST_F(TextCommands, FindTextFollowsTheStartPositionAndCharacterBoundaries) {
  struct Row { std::string text, find; TypedValue start; bool ignoreCase; int32_t expected; };
  const Row rows[] = {
      {"abcabc", "c", Omitted(), false, 3},
      {"abcabc", "c", MakeInteger(4), false, 6},
      {"abcabc", "c", MakeInteger(7), false, -1},
      {"abcabc", "c", MakeInteger(0), false, 3},
      {"abcabc", "c", MakeInteger(-9), false, 3},
      {"abcabc", "", Omitted(), false, 1},
      {"abcabc", "", MakeInteger(6), false, 1},
      {"abcabc", "", MakeInteger(7), false, -1},
      {"", "", Omitted(), false, -1},
      {"abcABC", "Bc", Omitted(), false, -1},
      {"abcABC", "Bc", Omitted(), true, 2},
      {"abcABC", "Bc", MakeInteger(3), true, 5},
      {"xx" + Zhong + Wen, std::string(Wen), Omitted(), false, 5},
      // "\xD0\xCE" sits across 中文 (the trail of one and the lead of the next): no match.
      {Zhong + Wen, "\xD0\xCE", Omitted(), false, -1},
      // 'a' as the trail byte of 丄 is not a character; the later 'a' is.
      {LeadA + "a", "a", Omitted(), false, 3},
      // A start inside a character starts the walk there.
      {Zhong + Wen, "\xD0\xCE", MakeInteger(2), false, 2},
      // A lead byte at the very end is a character of its own.
      {"ab\xD6", "\xD6", Omitted(), false, 3},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IntegerOf(FindText, {Text(row.text), Text(row.find), row.start, MakeBoolean(row.ignoreCase)}), row.expected)
        << row.text << " / " << row.find;
  }
}

TEST_F(TextCommands, FindTextReverseReturnsTheLastMatchWhollyBeforeTheStart) {
  struct Row { std::string text, find; TypedValue start; int32_t expected; };
  const Row rows[] = {
      {"abcabc", "c", Omitted(), 6},
      {"abcabc", "c", MakeInteger(6), 3},
      {"abcabc", "c", MakeInteger(7), 6},
      {"abcabc", "c", MakeInteger(100), 6},
      {"abcabc", "bc", MakeInteger(6), 2} /* "bc" at 5 reaches past the region */,
      {"abcabc", "c", MakeInteger(1), -1},
      {"abcabc", "c", MakeInteger(0), -1},
      {"abcabc", "", Omitted(), 1},
      {"abcabc", "", MakeInteger(1), -1},
      {"aaaa", "aa", Omitted(), 3},
      {LeadA + "a" + LeadA, "a", Omitted(), 3},
      {Zhong + Wen + Zhong, "\xD0\xCE", Omitted(), -1},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IntegerOf(FindTextReverse, {Text(row.text), Text(row.find), row.start}), row.expected)
        << row.text << " / " << row.find;
  }
  EXPECT_EQ(IntegerOf(FindTextReverse, {Text("aXax"), Text("X"), Omitted(), MakeBoolean(true)}), 4);
}

TEST_F(TextCommands, CaseChangesAndTrimsLeaveDoubleByteCharactersAlone) {
  EXPECT_EQ(TextOf(ToUpperCase, {Text("abC" + LeadA + "z")}), "ABC" + LeadA + "Z");
  EXPECT_EQ(TextOf(ToLowerCase, {Text("ABc\x81" "AZ")}), "abc\x81" "Az");
  EXPECT_EQ(TextOf(ToUpperCase, {Text("")}), "");

  const std::string padded = "  " + FullWidthSpace + "a b" + FullWidthSpace + " ";
  EXPECT_EQ(TextOf(TrimBoth, {Text(padded)}), "a b");
  EXPECT_EQ(TextOf(TrimLeadingSpaces, {Text(padded)}), "a b" + FullWidthSpace + " ");
  EXPECT_EQ(TextOf(TrimTrailingSpaces, {Text(padded)}), "  " + FullWidthSpace + "a b");
  EXPECT_EQ(TextOf(RemoveAllSpaces, {Text(padded)}), "ab");
  EXPECT_EQ(TextOf(TrimBoth, {Text("   " + FullWidthSpace)}), "");
  // "\xB0\xA1" + "\xA1" ends in a trail byte 0xA1 followed by 0xA1: no full-width space there.
  EXPECT_EQ(TextOf(TrimTrailingSpaces, {Text("\xB0\xA1\xA1\xA1\xA1")}), "\xB0\xA1\xA1\xA1\xA1");
  EXPECT_EQ(TextOf(TrimTrailingSpaces, {Text("\xB0\xA1\xA1\xA1")}), "\xB0\xA1");
}

TEST_F(TextCommands, ReplaceSubtextIgnoresCaseUnlessAskedAndHonoursStartAndCount) {
  struct Row { std::string text, find; TypedValue with, start, count, caseSensitive; std::string expected; };
  const Row rows[] = {
      {"aXbx", "x", Text("-"), Omitted(), Omitted(), Omitted(), "a-b-"},
      {"aXbx", "x", Text("-"), Omitted(), Omitted(), MakeBoolean(true), "aXb-"},
      {"aXbx", "x", Omitted(), Omitted(), Omitted(), Omitted(), "ab"},
      {"xxxx", "x", Text("yy"), MakeInteger(3), Omitted(), Omitted(), "xxyyyy"},
      {"xxxx", "x", Text("y"), Omitted(), MakeInteger(2), Omitted(), "yyxx"},
      {"xxxx", "x", Text("y"), Omitted(), MakeInteger(0), Omitted(), "xxxx"},
      {"xxxx", "x", Text("y"), MakeInteger(5), Omitted(), Omitted(), "xxxx"},
      {"xxxx", "", Text("y"), Omitted(), Omitted(), Omitted(), "xxxx"},
      {"aaa", "aa", Text("b"), Omitted(), Omitted(), Omitted(), "ba"},
      {"x", "x", Omitted(), Omitted(), Omitted(), Omitted(), ""},
      {LeadA + "a", "a", Text("!"), Omitted(), Omitted(), Omitted(), LeadA + "!"},
      {Zhong + Wen, "\xD0\xCE", Text("!"), Omitted(), Omitted(), Omitted(), Zhong + Wen},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TextOf(ReplaceSubtext, {Text(row.text), Text(row.find), row.with, row.start, row.count, row.caseSensitive}),
              row.expected)
        << row.text << " / " << row.find;
  }
}

TEST_F(TextCommands, SplitTextCutsAtEachDelimiterAndDropsTheRestAtTheMaximum) {
  using List = std::vector<std::string>;
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,,b,"), Text(",")}), (List{"a", "", "b"}));
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,b,c"), Text(","), MakeInteger(2)}), (List{"a", "b"}));
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,b,c"), Omitted()}), (List{"a", "b", "c"}));
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,b,c"), Text(""), Omitted()}), (List{"a,b,c"}));
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,b"), Text(","), MakeInteger(-1)}), List{});
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a,b"), Text(","), MakeInteger(0)}), List{});
  EXPECT_EQ(TextArrayOf(SplitText, {Text(""), Text(",")}), List{});
  EXPECT_EQ(TextArrayOf(SplitText, {Text(",a"), Text(",")}), (List{"", "a"}));
  EXPECT_EQ(TextArrayOf(SplitText, {Text("a<>b<>"), Text("<>")}), (List{"a", "b"}));
  // The delimiter 'a' inside 丄 is not a character.
  EXPECT_EQ(TextArrayOf(SplitText, {Text(LeadA + "ab"), Text("a")}), (List{std::string(LeadA), "b"}));
}

// The scans against the plain model on random texts over a small alphabet that mixes ASCII
// letters (in both cases), lead bytes and the delimiter, so that matches, near-matches and
// matches across characters are all common.
TEST_F(TextCommands, ScansAgreeWithThePlainModelOnRandomTexts) {
  std::mt19937 rng(7);
  const char alphabet[] = {'a', 'A', 'b', ',', '\x81', '\xD6', '\xA1'};
  auto randomText = [&](size_t maxLength) {
    std::string s(rng() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[rng() % sizeof alphabet];
    return s;
  };
  for (int round = 0; round < 1500; ++round) {
    const std::string text = randomText(24), find = randomText(3), with = randomText(2);
    const int32_t start = static_cast<int32_t>(rng() % 28) - 2;
    const int32_t count = static_cast<int32_t>(rng() % 4) - 1;
    const bool ignoreCase = rng() % 2;
    const std::string context = "text=" + text + " find=" + find + " start=" + std::to_string(start);
    EXPECT_EQ(IntegerOf(FindText, {Text(text), Text(find), MakeInteger(start), MakeBoolean(ignoreCase)}),
              reference::FindText(text, find, start, ignoreCase)) << context;
    EXPECT_EQ(IntegerOf(FindTextReverse, {Text(text), Text(find), MakeInteger(start), MakeBoolean(ignoreCase)}),
              reference::FindTextReverse(text, find, true, start, ignoreCase)) << context;
    EXPECT_EQ(TextOf(ReplaceSubtext, {Text(text), Text(find), Text(with), MakeInteger(start), MakeInteger(count),
                                      MakeBoolean(!ignoreCase)}),
              reference::Replace(text, find, with, start, count, ignoreCase)) << context;
    EXPECT_EQ(TextArrayOf(SplitText, {Text(text), Text(find), count < 0 ? Omitted() : MakeInteger(count)}),
              reference::Split(text, find, count))
        << context;
  }
}

}  // namespace
}  // namespace quorlin::commands
