// Which IDs may name the card file beside the program.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/saving/save_card.h"
#include "platform/base/code_page.h"

namespace quorlin::app {
namespace {

TEST(SaveCardFileName, PlainIdsNameAFileInTheProgramFolder) {
  for (const std::string id : {"abc", "12345", "a.b", "a..b", "...x", "星河", "name with spaces", "-x_y~"}) {
    EXPECT_EQ(CardFileName(id), id + ".jpg") << id;
  }
  // "." and ".." give the names "..jpg" and "...jpg": plain names inside the folder.
  EXPECT_EQ(CardFileName("."), "..jpg");
  EXPECT_EQ(CardFileName(".."), "...jpg");
}

TEST(SaveCardFileName, IdsThatWouldLeaveTheFolderAreRefused) {
  for (const std::string id : {"../x", "..\\x", "a/b", "a\\b", "/etc/passwd", "\\\\server\\share", "C:x", "c:\\x",
                               "x/..", "a:b", "/", "\\"}) {
    EXPECT_EQ(CardFileName(id), std::nullopt) << id;
  }
}

TEST(SaveCardFileName, ASecondByteOf0x5CIsPartOfItsCharacter) {
  // 誠 運 錦 淺 衆 all end in the byte 0x5C in the system code page.
  for (const std::string id : {"誠", "abc誠", "運動達人", "錦", "淺", "衆"}) {
    ASSERT_NE(id.find('\\'), std::string::npos) << "the test texts must hold a trail byte 0x5C";
    EXPECT_EQ(CardFileName(id), id + ".jpg") << id;
  }
  // A lead byte without a trail byte does not swallow the separator after it.
  EXPECT_EQ(CardFileName("\x81/x"), std::nullopt);
  EXPECT_EQ(CardFileName("\x81\x7F\\x"), std::nullopt);
  EXPECT_EQ(CardFileName("\x81\x81\\x"), std::nullopt);  // 0x81 0x81 is one character, then a real '\'
}

// The verdict agrees with the platform's own decoding of the name: refused exactly when the
// decoded characters hold a separator.
TEST(SaveCardFileName, AgreesWithTheDecodedName) {
  const unsigned char probes[] = {0x2F, 0x3A, 0x40, 0x5C, 0x61, 0x7E, 0x7F, 0x80, 0x81, 0xA1, 0xD5, 0xFE, 0xFF};
  for (unsigned char a : probes) {
    for (unsigned char b : probes) {
      for (unsigned char c : probes) {
        const std::string id{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
        const std::u16string decoded = platform::GbkToUtf16(id + ".jpg");
        const bool separator = decoded.find_first_of(u"/\\:") != std::u16string::npos;
        EXPECT_EQ(CardFileName(id).has_value(), !separator) << int(a) << " " << int(b) << " " << int(c);
      }
    }
  }
}

}  // namespace
}  // namespace quorlin::app
