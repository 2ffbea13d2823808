// IDs from the arguments and standard input, converted to the program's code page.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/card_tool/card_ids.h"

namespace quorlin::card_tool {
namespace {

TEST(CardIds, StandardInputGivesOneIdPerLineWhereTheDashStands) {
  std::istringstream in("one\r\ntwo\n\n三\n");
  EXPECT_EQ(CollectIds({"first", "-", "last", "-"}, in),
            (std::vector<std::string>{"first", "one", "two", "三", "last"}));
}

TEST(CardIds, UsableIdsAreTheirGbkBytesAndNameTheirFiles) {
  const CardId ascii = PrepareCardId("abc");
  EXPECT_TRUE(ascii.usable);
  EXPECT_EQ(ascii.gbk, "abc");
  EXPECT_EQ(ascii.fileName, "abc");

  const CardId chinese = PrepareCardId("张三");
  EXPECT_TRUE(chinese.usable);
  EXPECT_EQ(chinese.gbk, "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(chinese.fileName, "张三");
  EXPECT_EQ(chinese.given, "张三");
}

TEST(CardIds, IdsTheWindowProgramCouldNotTakeOrSaveAreBad) {
  const char* const rows[] = {
      "",             // empty
      "a\tb",         // a control character would break the output lines
      "\xFF\xFE",     // not UTF-8
      "smile\xF0\x9F\x98\x80",  // a character GBK lacks
      "a/b", "a\\b", "c:d",  // not a plain file name beside the program
  };
  for (const char* row : rows) {
    const CardId id = PrepareCardId(row);
    EXPECT_FALSE(id.usable) << row;
    EXPECT_EQ(id.given, row);
  }
}

}  // namespace
}  // namespace quorlin::card_tool
