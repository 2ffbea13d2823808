#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/web/text_helpers.h"
#include "tests/web/web_test_kernel.h"

namespace quorlin::testing {
namespace {

using app::OwnedText;
using namespace app::web;

// "#引号" and "中文" in GBK.
constexpr char kQuoteMark[] = "\x23\xD2\xFD\xBA\xC5";
constexpr char kChinese[] = "\xD6\xD0\xCE\xC4";

class TextHelpersTest : public WebKernelTest {};

struct BetweenRow {
  const char* note;
  std::string text, left, right;
  std::optional<int32_t> start;
  std::optional<bool> ignoreCase;
  std::string expected;
};

TEST_F(TextHelpersTest, TextBetween) {
  const std::string quote = kQuoteMark;
  const BetweenRow rows[] = {
      {"quote marks in both markers", R"(x name="abc" y)", "name=" + quote, quote, {}, {}, "abc"},
      {"first right marker after the left one", "k;x=1;y", "x=", ";", {}, {}, "1"},
      {"left marker missing, right present", "a;b;", "x=", ";", {}, {}, ""},
      {"right marker only before the left one", "b;a=1", "a=", ";", {}, {}, ""},
      {"right marker missing", "a=1", "a=", ";", {}, {}, ""},
      {"adjacent markers", "<>", "<", ">", {}, {}, ""},
      {"empty left marker matches at the start", "abc;d", "", ";", {}, {}, "abc"},
      {"start position skips the first value", "x=1;x=2;", "x=", ";", 4, {}, "2"},
      {"case is kept by default", "NAME=v;", "name=", ";", {}, {}, ""},
      {"case ignored on request", "NAME=v;", "name=", ";", {}, true, "v"},
      {"marker byte inside a double-byte character is no marker", "\xB0[x[val]", "[", "]", {}, {}, "val"},
      {"empty text", "", "a", "b", {}, {}, ""},
  };
  for (const BetweenRow& row : rows) {
    const OwnedText text = Text(row.text), left = Text(row.left), right = Text(row.right);
    EXPECT_EQ(Of(TextBetween(text.get(), left.get(), right.get(), row.start, row.ignoreCase)), row.expected) << row.note;
  }
}

struct RightOfLastRow {
  const char* note;
  std::string text, key;
  std::optional<int32_t> start;
  std::string expected;
};

TEST_F(TextHelpersTest, TextRightOfLast) {
  const RightOfLastRow rows[] = {
      {"header line keeps the inner colon", "Referer: a:b", "Referer:", {}, " a:b"},
      {"after the last occurrence", "a:1 a:2", "a:", {}, "2"},
      {"an occurrence ending on the last byte is not seen", "a:a:", "a:", {}, "a:"},
      {"the key as the whole text", "a:", "a:", {}, ""},
      {"key missing", "abc", "x", {}, ""},
      {"start position limits the search", "a:1 a:2", "a:", 4, "1 a:2"},
  };
  for (const RightOfLastRow& row : rows) {
    const OwnedText text = Text(row.text), key = Text(row.key);
    EXPECT_EQ(Of(TextRightOfLast(text.get(), key.get(), row.start)), row.expected) << row.note;
  }
}

TEST_F(TextHelpersTest, RemoveBlanksTrimsTheVariableInPlace) {
  OwnedText variable = Text("  a b  ");
  const char* block = variable.get();
  const OwnedText copy = RemoveBlanks(variable);
  EXPECT_EQ(Of(copy), "a b");
  EXPECT_EQ(Of(variable), "a b");
  EXPECT_EQ(variable.get(), block);
  EXPECT_NE(copy.get(), block);
}

TEST_F(TextHelpersTest, RemoveBlanksOfOnlySpacesLeavesTheEmptyText) {
  OwnedText variable = Text("   ");
  EXPECT_EQ(RemoveBlanks(variable).get(), nullptr);
  EXPECT_EQ(variable.get(), nullptr);
  OwnedText empty;
  EXPECT_EQ(RemoveBlanks(empty).get(), nullptr);
}

struct EncodeRow {
  const char* note;
  std::string text;
  std::optional<bool> keepPlain, asUtf8;
  std::string expected;
};

TEST_F(TextHelpersTest, UrlEncode) {
  const EncodeRow rows[] = {
      {"every byte escaped by default", "abc", {}, {}, "%61%62%63"},
      {"plain characters kept", "abc", true, {}, "abc"},
      {"single hex digit padded", "\n", {}, {}, "%0A"},
      {"GBK character as two escapes", "\xD6\xD0", true, {}, "%D6%D0"},
      {"only - . digits and letters are plain", "a-b.c/d_e~f g9Z", true, {}, "a-b.c%2Fd%5Fe%7Ef%20g9Z"},
      {"UTF-8 form of GBK text", "\xD6\xD0", {}, true, "%E4%B8%AD"},
      {"UTF-8 form with plain characters", "id\xD6\xD0", true, true, "id%E4%B8%AD"},
      {"empty text", "", true, true, ""},
  };
  for (const EncodeRow& row : rows) {
    const OwnedText text = Text(row.text);
    EXPECT_EQ(Of(UrlEncode(text.get(), row.keepPlain, row.asUtf8)), row.expected) << row.note;
  }
}

TEST_F(TextHelpersTest, AnsiToUtf8ReadsTheTextAsGbk) {
  const OwnedText chinese = Text(std::string("ID ") + kChinese);
  EXPECT_EQ(Of(AnsiToUtf8(chinese.get())), "ID \xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(AnsiToUtf8(nullptr).get(), nullptr);
}

TEST_F(TextHelpersTest, TextToWideBytesIncludesTheTerminator) {
  const OwnedText mixed = Text("A\xD6\xD0");
  EXPECT_EQ(Of(TextToWideBytes(mixed.get(), 936)), std::string("A\0\x2D\x4E\0\0", 6));
  const OwnedText ascii = Text("ab");
  EXPECT_EQ(Of(TextToWideBytes(ascii.get())), std::string("a\0b\0\0\0", 6));
  EXPECT_EQ(Of(TextToWideBytes(nullptr)), std::string("\0\0", 2));
}

TEST_F(TextHelpersTest, WideBytesToText) {
  const app::OwnedBytes chinese = Bytes(std::string("\x2D\x4E\x87\x65\0\0", 6));
  EXPECT_EQ(Of(WideBytesToText(chinese.get())), kChinese);
  EXPECT_EQ(Of(WideBytesToText(chinese.get(), 65001)), "\xE4\xB8\xAD\xE6\x96\x87");
  // Units without a terminating zero unit (and an odd last byte) are read only as far as they go.
  const app::OwnedBytes unterminated = Bytes(std::string("a\0b\0c", 5));
  EXPECT_EQ(Of(WideBytesToText(unterminated.get())), "ab");
  EXPECT_EQ(WideBytesToText(nullptr).get(), nullptr);
}

}  // namespace
}  // namespace quorlin::testing
