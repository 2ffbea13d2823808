// Where the card's ID line lands, measured on the drawn pixels: x = trunc(290 − n / 2 × 9.5)
// for the n bytes shown, and an ID longer than 18 bytes shown as its first 16 bytes and "...".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/card_fixture.h"

namespace quorlin::testing {
namespace {

constexpr int kIdTop = 262, kIdBottom = 300;

std::vector<uint32_t> IdLine(const BmpPicture& card) {
  std::vector<uint32_t> pixels;
  for (int y = kIdTop; y < kIdBottom; ++y) {
    for (int x = 0; x < card.width; ++x) pixels.push_back(card.At(x, y));
  }
  return pixels;
}

TEST_F(CardEndToEnd, TheIdLineStartsWhereItsByteLengthPutsIt) {
  struct Row {
    std::string id;
    int x;
  };
  // The first glyph's left side bearing puts its first light pixel a little right of x.
  const Row rows[] = {{"m", 285}, {"mmmmmmmmmm", 242}, {"mmmmmmmmmmmmmmmmmm", 204}, {"mmmmmmmmmmmmmmmmmmmmmmmm", 199}};
  for (const Row& row : rows) {
    ExpectCleanEnd(Run(CardScript(row.id)));
    const int left = LeftmostLight(Shot(), kIdTop, kIdBottom);
    EXPECT_GE(left, row.x) << row.id;
    EXPECT_LE(left, row.x + 3) << row.id;
  }
}

TEST_F(CardEndToEnd, ALongIdIsShownAsItsFirstSixteenBytesAndThreeDots) {
  ExpectCleanEnd(Run(CardScript("abcdefghijklmnopqrstuvwxyz")));
  const std::vector<uint32_t> shortened = IdLine(Shot());
  // The same 19 bytes typed as they are: drawn identically.
  ExpectCleanEnd(Run(CardScript("abcdefghijklmnop...")));
  EXPECT_EQ(IdLine(Shot()), shortened);
  // 18 bytes are shown whole, so they differ from their first 16 and "...".
  ExpectCleanEnd(Run(CardScript("abcdefghijklmnopqr")));
  EXPECT_NE(IdLine(Shot()), shortened);
}

}  // namespace
}  // namespace quorlin::testing
