#include "platform/base/code_page.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"

namespace {

using quorlin::platform::GbkToUtf16;
using quorlin::platform::GbkToUtf8;
using quorlin::platform::Utf16ToGbk;
using quorlin::platform::Utf8ToGbk;

const std::string kBaLingGbk = "\xB0\xC9\xC1\xE4";          // 吧龄
const std::string kBaLingUtf8 = "\xE5\x90\xA7\xE9\xBE\x84";
const std::u16string kBaLingUtf16 = u"\u5427\u9F84";

std::u16string ToWide(UINT codePage, DWORD flags, const std::string& bytes, int length) {
  const int needed = MultiByteToWideChar(codePage, flags, bytes.c_str(), length, nullptr, 0);
  if (needed == 0) return u"<fail>";
  std::u16string out(static_cast<size_t>(needed), u'#');
  EXPECT_EQ(MultiByteToWideChar(codePage, flags, bytes.c_str(), length, out.data(), needed), needed);
  return out;
}

std::string ToBytes(UINT codePage, DWORD flags, const std::u16string& units, int length) {
  const int needed = WideCharToMultiByte(codePage, flags, units.c_str(), length, nullptr, 0, nullptr, nullptr);
  if (needed == 0) return "<fail>";
  std::string out(static_cast<size_t>(needed), '#');
  EXPECT_EQ(WideCharToMultiByte(codePage, flags, units.c_str(), length, out.data(), needed, nullptr, nullptr), needed);
  return out;
}

TEST(CodePage, LengthsTerminatorsAndBufferSizes) {
  EXPECT_EQ(GetACP(), 936u);
  // -1 converts and counts the terminator; an explicit length does not add one.
  EXPECT_EQ(ToWide(CP_ACP, 0, kBaLingGbk, -1), kBaLingUtf16 + u'\0');
  EXPECT_EQ(ToWide(936, 0, kBaLingGbk, 4), kBaLingUtf16);
  EXPECT_EQ(ToWide(936, 0, kBaLingGbk, 2), u"\u5427");
  EXPECT_EQ(ToBytes(CP_ACP, 0, kBaLingUtf16, -1), kBaLingGbk + '\0');
  EXPECT_EQ(ToBytes(CP_UTF8, 0, kBaLingUtf16, 2), kBaLingUtf8);

  // Too small a buffer fails and leaves it untouched; an exact fit works.
  char16_t units[3] = {u'x', u'x', u'x'};
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(936, 0, kBaLingGbk.c_str(), -1, units, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(units[0], u'x');
  EXPECT_EQ(MultiByteToWideChar(936, 0, kBaLingGbk.c_str(), -1, units, 3), 3);
  char bytes[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, kBaLingUtf16.c_str(), 2, bytes, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(bytes[0], 'x');
}

TEST(CodePage, BadArgumentsAreRefused) {
  char16_t units[8];
  char bytes[8];
  BOOL used = FALSE;
  struct Row { const char* what; std::function<int()> call; DWORD error; };
  const Row rows[] = {
      {"zero length", [&] { return MultiByteToWideChar(936, 0, "a", 0, units, 8); }, ERROR_INVALID_PARAMETER},
      {"null input", [&] { return MultiByteToWideChar(936, 0, nullptr, -1, units, 8); }, ERROR_INVALID_PARAMETER},
      {"length below -1", [&] { return MultiByteToWideChar(936, 0, "a", -2, units, 8); }, ERROR_INVALID_PARAMETER},
      {"null buffer with a size", [&] { return MultiByteToWideChar(936, 0, "a", -1, nullptr, 8); }, ERROR_INVALID_PARAMETER},
      {"unknown code page", [&] { return MultiByteToWideChar(1252, 0, "a", -1, units, 8); }, ERROR_INVALID_PARAMETER},
      {"UTF-8 with other flags", [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", -1, units, 8); }, ERROR_INVALID_FLAGS},
      {"UTF-8 with a default char", [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", -1, bytes, 8, "?", nullptr); }, ERROR_INVALID_PARAMETER},
      {"UTF-8 with used flag", [&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", -1, bytes, 8, nullptr, &used); }, ERROR_INVALID_PARAMETER},
      {"strict flag for GBK", [&] { return WideCharToMultiByte(936, WC_ERR_INVALID_CHARS, u"a", -1, bytes, 8, nullptr, nullptr); }, ERROR_INVALID_FLAGS},
      {"negative output size", [&] { return WideCharToMultiByte(936, 0, u"a", -1, bytes, -1, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
  };
  for (const Row& row : rows) {
    SetLastError(0);
    EXPECT_EQ(row.call(), 0) << row.what;
    EXPECT_EQ(GetLastError(), row.error) << row.what;
  }
}

TEST(CodePage, RoundTripsThroughEveryCodePage) {
  struct Row { std::string gbk; std::u16string utf16; std::string utf8; };
  const Row rows[] = {
      {"plain ascii", u"plain ascii", "plain ascii"},
      {kBaLingGbk, kBaLingUtf16, kBaLingUtf8},
      {"\xB0\xC9\xC1\xE4: 5\xC4\xEA", u"\u5427\u9F84: 5\u5E74", "\xE5\x90\xA7\xE9\xBE\x84: 5\xE5\xB9\xB4"},
      {"\x81\x5C\x81\x40", u"\u4E57\u4E02", "\xE4\xB9\x97\xE4\xB8\x82"},  // trail bytes '\' and '@'
      {"\xA1\xA1", u"\u3000", "\xE3\x80\x80"},                             // full-width space
      {"\x80", u"\u20AC", "\xE2\x82\xAC"},                                 // the euro sign of code page 936
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.utf8);
    EXPECT_EQ(GbkToUtf16(row.gbk), row.utf16);
    EXPECT_EQ(Utf16ToGbk(row.utf16), row.gbk);
    EXPECT_EQ(GbkToUtf8(row.gbk), row.utf8);
    EXPECT_EQ(Utf8ToGbk(row.utf8), row.gbk);
    EXPECT_EQ(ToWide(936, MB_ERR_INVALID_CHARS, row.gbk, static_cast<int>(row.gbk.size())), row.utf16);
    EXPECT_EQ(ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, row.utf8, static_cast<int>(row.utf8.size())), row.utf16);
    EXPECT_EQ(ToBytes(CP_UTF8, WC_ERR_INVALID_CHARS, row.utf16, static_cast<int>(row.utf16.size())), row.utf8);
  }
  // Beyond the BMP: a surrogate pair in UTF-16, one default character in GBK.
  const std::string smiley = "\xF0\x9F\x98\x80";
  EXPECT_EQ(ToWide(CP_UTF8, 0, smiley, 4), u"\xD83D\xDE00");
  EXPECT_EQ(ToBytes(CP_UTF8, 0, u"\xD83D\xDE00", 2), smiley);
  EXPECT_EQ(Utf8ToGbk("a" + smiley + "b"), "a?b");
}

TEST(CodePage, TheExactConversionRefusesWhatTheLenientOneReplaces) {
  std::string gbk = "left over";
  EXPECT_TRUE(quorlin::platform::Utf8ToGbkExactly("ab" + kBaLingUtf8, gbk));
  EXPECT_EQ(gbk, "ab" + kBaLingGbk);
  EXPECT_TRUE(quorlin::platform::Utf8ToGbkExactly("", gbk));
  EXPECT_EQ(gbk, "");
  EXPECT_TRUE(quorlin::platform::Utf8ToGbkExactly("?", gbk));  // a real question mark is no replacement
  EXPECT_EQ(gbk, "?");
  EXPECT_FALSE(quorlin::platform::Utf8ToGbkExactly("a\xF0\x9F\x98\x80", gbk));  // no GBK form
  EXPECT_FALSE(quorlin::platform::Utf8ToGbkExactly("a\xE5\x90", gbk));           // cut UTF-8
  EXPECT_FALSE(quorlin::platform::Utf8ToGbkExactly("\xFF", gbk));
}

TEST(CodePage, UndecodableInputBecomesTheDefaultOrFails) {
  struct Row { UINT codePage; std::string bytes; std::u16string lenient; };
  const Row rows[] = {
      {936, "\x81", u"?"},                      // lead byte at the end
      {936, "\x81 x", u"? x"},                  // a lead byte before a byte that cannot trail
      {936, "a\xFF" "b", u"a?b"},
      {936, "\xA1\x40", u"?"},                  // an unassigned pair is one character
      {CP_UTF8, "\xC0\x80", u"\xFFFD\xFFFD"},   // overlong
      {CP_UTF8, "\xE5\x90" "a", u"\xFFFD" "a"},  // truncated sequence
      {CP_UTF8, "\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},  // an encoded surrogate
      {CP_UTF8, "\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},  // beyond U+10FFFF
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.bytes);
    const int length = static_cast<int>(row.bytes.size());
    EXPECT_EQ(ToWide(row.codePage, 0, row.bytes, length), row.lenient);
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(row.codePage, MB_ERR_INVALID_CHARS, row.bytes.data(), length, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  }
}

TEST(CodePage, UnmappableCharactersUseTheDefaultCharacter) {
  char bytes[16] = {};
  BOOL used = FALSE;
  const std::u16string thai = u"a\u0E01b";  // GBK has no Thai letters
  EXPECT_EQ(WideCharToMultiByte(936, 0, thai.c_str(), -1, bytes, 16, nullptr, &used), 4);
  EXPECT_STREQ(bytes, "a?b");
  EXPECT_TRUE(used);
  EXPECT_EQ(WideCharToMultiByte(936, 0, thai.c_str(), -1, bytes, 16, "*", &used), 4);
  EXPECT_STREQ(bytes, "a*b");
  EXPECT_EQ(WideCharToMultiByte(936, 0, thai.c_str(), -1, bytes, 16, "\xA1\xF1", &used), 5);  // a double-byte default
  EXPECT_STREQ(bytes, "a\xA1\xF1" "b");
  EXPECT_EQ(WideCharToMultiByte(936, 0, kBaLingUtf16.c_str(), -1, bytes, 16, nullptr, &used), 5);
  EXPECT_FALSE(used);
  EXPECT_EQ(Utf16ToGbk(u"\xD800x\xDC00"), "?x?");  // lone surrogates

  // A lone surrogate in UTF-8: U+FFFD, or failure when asked for.
  EXPECT_EQ(ToBytes(CP_UTF8, 0, u"\xD800", 1), "\xEF\xBF\xBD");
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"\xD800", 1, bytes, 16, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

TEST(CodePage, ConversionsOnManyThreadsAgree) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "ab" + kBaLingGbk + "\x81\x5C";
  const std::string expected = GbkToUtf8(text);
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        if (GbkToUtf8(text) != expected || Utf8ToGbk(expected) != text) ++mismatches[static_cast<size_t>(t)];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
