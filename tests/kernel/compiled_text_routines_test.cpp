#include <gtest/gtest.h>

#include "runtime/kernel/compiled_text_routines.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin {
namespace {

TEST(CompiledTextRoutines, ConcatTextsAlwaysGivesABlock) {
  char* empty = ConcatTexts({nullptr, ""});
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  EntryTable().Free(empty);
  char* joined = ConcatTexts({"ab", nullptr, "\xB0\xC9", "c"});
  EXPECT_STREQ(joined, "ab\xB0\xC9" "c");
  EntryTable().Free(joined);
}

TEST(CompiledTextRoutines, CompareTextsIsUnsignedAndNullIsEmpty) {
  EXPECT_EQ(CompareTexts(nullptr, ""), 0);
  EXPECT_EQ(CompareTexts("a", nullptr), 1);
  EXPECT_EQ(CompareTexts("a", "\xB0"), -1);  // 0xB0 sorts after 'a'
  EXPECT_EQ(CompareTexts("ab", "a"), 1);
  EXPECT_EQ(TextByteCount(nullptr), 0u);
  EXPECT_EQ(TextByteCount("\xB0\xC9x"), 3u);
}

}  // namespace
}  // namespace quorlin
