// The settings as the user meets them, end to end: the settings window showing what quorlin.ini
// holds, the font and portrait choices through their dialogs, and a local portrait named in the
// file at start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/card_fixture.h"

namespace quorlin::testing {
namespace {

// "宋体" as the ini file holds it.
const std::string kSongTiGbk = "\xCB\xCE\xCC\xE5";

// The ID line's rows of the card.
std::vector<uint32_t> IdLinePixels(const BmpPicture& card) {
  std::vector<uint32_t> pixels;
  for (int y = 262; y < 300; ++y) {
    for (int x = 100; x < 480; ++x) pixels.push_back(card.At(x, y));
  }
  return pixels;
}

TEST_F(CardEndToEnd, TheSettingsWindowShowsTheFileAndClosingWritesItBackUnchanged) {
  program_.WriteFile("green.bmp", SolidBmp(8, 8, 0x00FF00));
  const std::string ini = "[sz]\ncolor=255\nsave=2\ntouxiang=0\ntouxiangurl=" + program_.PathOf("green.bmp").string() +
                          "\nset=1\n";
  program_.WriteFile("quorlin.ini", ini);
  const std::vector<std::string> before = Ini();
  const ChildResult result = Run(
      "click 按钮4\n"
      "prop 颜色选择器1 8\nprop 组合框1 19\nprop 选择框1 18\nprop 选择框2 18\nprop 组合框2 19\n"
      "close 设置\n");
  ExpectCleanEnd(result);
  for (const char* line : {"prop 颜色选择器1 8 = 255\n", "prop 组合框1 19 = 2\n", "prop 选择框1 18 = 假\n",
                           "prop 选择框2 18 = 真\n", "prop 组合框2 19 = 0\n"}) {
    EXPECT_TRUE(Contains(result.standardOutput, line)) << line << result.standardOutput;
  }
  EXPECT_EQ(Ini(), before);
}

TEST_F(CardEndToEnd, TheFontChosenInTheDialogDrawsTheNextCardsAndIsKept) {
  ExpectCleanEnd(Run(CardScript(kMember)));
  const std::vector<uint32_t> inHeiTi = IdLinePixels(Shot());

  ExpectCleanEnd(Run("answer font 宋体\nclick 按钮2\n" + CardScript(kMember)));
  EXPECT_EQ(Ini(), (std::vector<std::string>{"font/name=" + kSongTiGbk}));
  const std::vector<uint32_t> inSongTi = IdLinePixels(Shot());
  EXPECT_NE(inSongTi, inHeiTi);

  // The next start reads the face from the file.
  ExpectCleanEnd(Run(CardScript(kMember)));
  EXPECT_EQ(IdLinePixels(Shot()), inSongTi);

  // A cancelled dialog changes nothing.
  ExpectCleanEnd(Run("answer cancel\nclick 按钮2\n"));
  EXPECT_EQ(Ini(), (std::vector<std::string>{"font/name=" + kSongTiGbk}));
}

TEST_F(CardEndToEnd, APortraitChosenInTheSettingsWindowIsTheNextCardsPortrait) {
  program_.WriteFile("green.bmp", SolidBmp(8, 8, 0x00FF00));
  // 按钮2 of the settings window (the active one) is its portrait button.
  const ChildResult result = Run("click 按钮4\nanswer open green.bmp\nclick 按钮2\nclick 选择框1\nclose 设置\n" +
                                 CardScript(kMember));
  ExpectCleanEnd(result);
  EXPECT_TRUE(Contains(result.standardOutput, "dialog open ")) << result.standardOutput;
  EXPECT_EQ(Shot().At(300, 170), 0x00FF00u);
  const std::vector<std::string> items = Ini();
  EXPECT_NE(std::find(items.begin(), items.end(), "sz/touxiang=0"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "sz/touxiangurl=" + program_.PathOf("green.bmp").string()),
            items.end());
}

TEST_F(CardEndToEnd, TheLocalPortraitNamedInTheFileIsReadAtStartUp) {
  program_.WriteFile("blue.bmp", SolidBmp(8, 8, 0x0000FF));
  program_.WriteFile("quorlin.ini", "[sz]\ntouxiang=0\ntouxiangurl=" + program_.PathOf("blue.bmp").string() + "\n");
  ExpectCleanEnd(Run(CardScript(kMember)));
  const BmpPicture card = Shot();
  EXPECT_EQ(card.At(300, 170), 0x0000FFu);
  EXPECT_EQ(card.At(234, 104), 0x0000FFu);  // stretched over the whole box
  EXPECT_EQ(card.At(231, 101), kWhite);     // inside the default frame
}

}  // namespace
}  // namespace quorlin::testing
