// Which IDs may name the card file beside the program.
#include <gtest/gtest.h>

#include <string>

#include "app/saving/save_card.h"

namespace quorlin::app {
namespace {

TEST(SaveCardFileName, PlainIdsNameAFileInTheProgramFolder) {
  for (const std::string id : {"abc", "12345", "a.b", "a..b", "...x", "会员", "name with spaces", "-x_y~"}) {
    EXPECT_TRUE(IsPlainFileStem(id)) << id;
  }
}

TEST(SaveCardFileName, IdsThatWouldLeaveTheFolderAreRefused) {
  for (const std::string id : {"../x", "..\\x", "a/b", "a\\b", "/etc/passwd", "\\\\server\\share", "C:x", "c:\\x",
                               "..", ".", "x/..", "a:b"}) {
    EXPECT_FALSE(IsPlainFileStem(id)) << id;
  }
  // A double-byte character whose second byte is 0x5C is refused too: a file layer that reads
  // the name byte by byte would take that byte for a separator.
  EXPECT_FALSE(IsPlainFileStem("\x95\x5C"));
}

}  // namespace
}  // namespace quorlin::app
