#include "runtime/commands/conversion_commands.h"

#include "runtime/commands/date_decomposition.h"
#include "runtime/commands/full_width_fold.h"
#include "tests/commands/command_test_support.h"

namespace quorlin::commands {
namespace {

using testing::CommandTest;
using namespace std::string_literals;

class ConversionCommands : public CommandTest {};

// 年 C4EA, 月 D4C2, 日 C8D5, 时 CAB1, 分 B7D6, 秒 C3EB.
const std::string Year = "\xC4\xEA", Month = "\xD4\xC2", Day = "\xC8\xD5";
const std::string Hour = "\xCA\xB1", Minute = "\xB7\xD6", Second = "\xC3\xEB";

TEST_F(ConversionCommands, ToTextWritesEveryTypeAsTheRuntimeDoes) {
  struct Row { TypedValue value; std::string expected; };
  const Row rows[] = {
      {TypedValue{200, 0, Tag::Byte}, "200"},
      {TypedValue{0xFFFF, 0, Tag::Short}, "-1"},
      {MakeInteger(-2147483647 - 1), "-2147483648"},
      {MakeLong(-9000000000LL), "-9000000000"},
      {MakeFloat(0.1f), "0.1"},
      {MakeFloat(1234567.0f), "1.23457e+06"},
      {MakeDouble(1.0 / 3), "0.3333333333333"},
      {MakeDouble(16777215), "16777215"},
      {MakeBoolean(true), "\xD5\xE6"},
      {TypedValue{7, 0, Tag::Boolean}, "\xD5\xE6"},
      {MakeBoolean(false), "\xBC\xD9"},
      {Omitted(), ""},
      {TypedValue{1, 2, Tag::Window}, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(TextOf(ToText, {row.value}), row.expected) << row.value.tag;

  EXPECT_EQ(TextOf(ToText, {Text("abc")}), "abc");
  EXPECT_EQ(TextOf(ToText, {Bytes("ab\0cd"s)}), "ab");
  EXPECT_EQ(TextOf(ToText, {Bytes("\0x"s)}), "");
  const int32_t words[] = {0x64636261, 0x00006665, 0x41414141};
  EXPECT_EQ(TextOf(ToText, {Array(Tag::Integer, words, 3)}), "abcdef");
}

TEST_F(ConversionCommands, ToTextOfADateTimeShowsOnlyTheTimePartsThatAreNotZero) {
  auto dateTime = [](double days) {
    TypedValue v = MakeDouble(days);
    v.tag = Tag::DateTime;
    return v;
  };
  // 2024-02-29 is day 45351.
  const std::string date = "2024" + Year + "2" + Month + "29" + Day;
  EXPECT_EQ(TextOf(ToText, {dateTime(45351)}), date);
  EXPECT_EQ(TextOf(ToText, {dateTime(45351 + 13.0 / 24)}), date + "13" + Hour);
  EXPECT_EQ(TextOf(ToText, {dateTime(45351 + (13 * 60 + 5) / 1440.0)}), date + "13" + Hour + "5" + Minute);
  EXPECT_EQ(TextOf(ToText, {dateTime(45351 + 7.0 / 86400)}), date + "0" + Hour + "0" + Minute + "7" + Second);
  EXPECT_EQ(TextOf(ToText, {dateTime(0)}), "1899" + Year + "12" + Month + "30" + Day);
}

TEST(DateDecomposition, CoversLeapYearsNegativeDaysRoundingAndTheClampedRange) {
  struct Row { double value; detail::DateFields expected; };
  const Row rows[] = {
      {0, {1899, 12, 30, 0, 0, 0}},
      {1, {1899, 12, 31, 0, 0, 0}},
      {2, {1900, 1, 1, 0, 0, 0}},
      {61, {1900, 3, 1, 0, 0, 0}} /* 1900 is no leap year */,
      {36585, {2000, 2, 29, 0, 0, 0}},
      {-1.25, {1899, 12, 29, 6, 0, 0}},
      {-0.5, {1899, 12, 30, 12, 0, 0}},
      {1.9999999999, {1900, 1, 1, 0, 0, 0}} /* rounds up into the next day */,
      {45351.5 + 0.4 / 86400, {2024, 2, 29, 12, 0, 0}},
      {-657434, {100, 1, 1, 0, 0, 0}},
      {-1e9, {100, 1, 1, 0, 0, 0}},
      {2958465, {9999, 12, 31, 0, 0, 0}},
      {1e300, {9999, 12, 31, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    const detail::DateFields f = detail::DecomposeDateTime(row.value);
    const detail::DateFields& e = row.expected;
    EXPECT_EQ(std::tie(f.year, f.month, f.day, f.hour, f.minute, f.second),
              std::tie(e.year, e.month, e.day, e.hour, e.minute, e.second))
        << row.value;
  }
}

TEST_F(ConversionCommands, ToHexTextIsUpperCaseWithoutLeadingZeros) {
  EXPECT_EQ(TextOf(ToHexText, {MakeInteger(0)}), "0");
  EXPECT_EQ(TextOf(ToHexText, {MakeInteger(0xABC)}), "ABC");
  EXPECT_EQ(TextOf(ToHexText, {MakeInteger(-1)}), "FFFFFFFF");
}

TEST_F(ConversionCommands, ToIntegerReadsFoldedTextsAndConvertsNumbers) {
  struct TextRow { std::string text; int32_t expected; };
  const TextRow texts[] = {
      {"42", 42},
      {"  -17x", -17},
      {"+8", 8},
      {"abc", 0},
      {"", 0},
      {"\xA3\xB1\xA3\xB2\xA3\xB3", 123} /* full-width １２３ */,
      {"\xA1\xA1\xA3\xAD\xA3\xB5", -5} /* full-width space, minus, ５ */,
      {"9\xD6\xD0" "9", 9},
      {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const TextRow& row : texts) EXPECT_EQ(IntegerOf(ToInteger, {Text(row.text)}), row.expected) << row.text;

  struct ValueRow { TypedValue value; int32_t expected; };
  const ValueRow values[] = {
      {MakeBoolean(true), 1},
      {TypedValue{9, 0, Tag::Boolean}, 1},
      {TypedValue{0xFF, 0, Tag::Byte}, 255},
      {TypedValue{0x8000, 0, Tag::Short}, -32768},
      {MakeLong(0x100000005LL), 5},
      {MakeDouble(-2.9), -2},
      {MakeFloat(3.99f), 3},
      {MakeDouble(1e20), 2147483647},
      {MakeDouble(0.0 / 0.0), 0},
      {TypedValue{0x1234, 0x1, Tag::SubroutinePointer}, 0x1234},
      {TypedValue{0, 0x40000000, Tag::DateTime}, 0},
      {Omitted(), 0},
  };
  for (const ValueRow& row : values) EXPECT_EQ(IntegerOf(ToInteger, {row.value}), row.expected) << row.value.tag;
  EXPECT_EQ(IntegerOf(ToInteger, {Bytes("12")}), 0);
}

TEST(FullWidthFold, MapsTheWholeFullWidthBlockAndKeepsEverythingElse) {
  for (int trail = 0xA1; trail <= 0xFE; ++trail) {
    EXPECT_EQ(detail::HalfWidthOf(0xA3, static_cast<unsigned char>(trail)), static_cast<char>(trail - 0xA1 + 0x21));
  }
  EXPECT_EQ(detail::HalfWidthOf(0xA1, 0xA1), ' ');
  EXPECT_EQ(detail::HalfWidthOf(0xA1, 0xAB), '~');
  EXPECT_EQ(detail::HalfWidthOf(0xA1, 0xE7), '$');
  EXPECT_EQ(detail::HalfWidthOf(0xD6, 0xD0), 0);
  // The second byte of 0xB0 0xA3 and the following 0xB1 are no full-width digit.
  EXPECT_EQ(detail::FoldFullWidth("\xB0\xA3\xB1" "a\xA3\xC1\xA3"), "\xB0\xA3\xB1" "aA\xA3");
}

}  // namespace
}  // namespace quorlin::commands
