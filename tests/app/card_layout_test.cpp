// The card's text lines: the centring arithmetic and the shortening of long IDs.
#include <gtest/gtest.h>

#include <string>

#include "app/card/card_layout.h"

namespace quorlin::app {
namespace {

TEST(CardLayout, IdLineIsCentredAtNineAndAHalfPixelsPerByte) {
  struct Row {
    int32_t bytes;
    int32_t x;
  };
  // trunc(290 − n / 2 × 9.5), truncated toward zero.
  for (const Row& row : {Row{0, 290}, Row{1, 285}, Row{2, 280}, Row{3, 275}, Row{8, 252}, Row{18, 204}, Row{19, 199}}) {
    EXPECT_EQ(IdLineX(row.bytes), row.x) << row.bytes << " bytes";
  }
}

TEST(CardLayout, AgeLineIsCentredAtTenPixelsPerByte) {
  struct Row {
    int32_t bytes;
    int32_t x;
  };
  for (const Row& row : {Row{8, 250}, Row{9, 245}, Row{10, 240}, Row{11, 235}, Row{0, 290}}) {
    EXPECT_EQ(AgeLineX(row.bytes), row.x) << row.bytes << " bytes";
  }
}

TEST(CardLayout, IdsOfUpToEighteenBytesAreShownWhole) {
  for (const std::string id : {"a", "abc", "123456789012345678", "论坛会员名字"}) {
    EXPECT_EQ(ShownIdText(id.c_str()).view(), id);
  }
  EXPECT_TRUE(ShownIdText(nullptr).empty());
}

TEST(CardLayout, LongerIdsKeepSixteenBytesAndGetThreeDots) {
  EXPECT_EQ(ShownIdText("1234567890123456789").view(), "1234567890123456...");
  EXPECT_EQ(ShownIdText("abcdefghijklmnopqrstuvwxyz").view(), "abcdefghijklmnop...");
  // Nine double-byte characters and a letter are 19 bytes: the cut after 16 bytes keeps eight
  // characters whole.
  const std::string chinese = "一二三四五六七八九x";
  ASSERT_EQ(chinese.size(), 19u);
  EXPECT_EQ(ShownIdText(chinese.c_str()).view(), "一二三四五六七八...");
  // An odd cut splits a character: its first byte stays, as the byte count rule says.
  const std::string odd = "a一二三四五六七八九";
  const std::string shown(ShownIdText(odd.c_str()).view());
  ASSERT_EQ(shown.size(), 19u);
  EXPECT_EQ(shown.substr(0, 16), odd.substr(0, 16));
  EXPECT_EQ(shown.substr(16), "...");
}

TEST(CardLayout, AgeLineJoinsThePrefixTheAgeAndTheYear) {
  EXPECT_EQ(AgeLineText("3").view(), "吧龄: 3年");
  EXPECT_EQ(AgeLineText("3").view().size(), 9u);
  EXPECT_EQ(AgeLineText("2.5").view(), "吧龄: 2.5年");
  // No age (an empty reply): the bare frame, 8 bytes, starting at x 250.
  EXPECT_EQ(AgeLineText(nullptr).view(), "吧龄: 年");
  EXPECT_EQ(AgeLineX(static_cast<int32_t>(AgeLineText(nullptr).view().size())), 250);
}

}  // namespace
}  // namespace quorlin::app
