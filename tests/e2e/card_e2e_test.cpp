// The card tool end to end: the real program on the headless display against a loopback
// profile service — card generation, the four save modes, the settings window, the background
// choice and the drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/card_program.h"

namespace quorlin::testing {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr const char* kMember = "e2emember";
// "黑体" as the ini file holds it.
const std::string kHeiTiGbk = "\xBA\xDA\xCC\xE5";

std::string CardScript(const std::string& id, const std::string& beforeClick = "") {
  return "focus 编辑框1\ntype " + id + "\n" + beforeClick + "click 按钮1\nshot card.bmp 画板2\n";
}

bool IsLight(uint32_t rgb) { return (rgb >> 16 & 0xFF) > 200 && (rgb >> 8 & 0xFF) > 200 && (rgb & 0xFF) > 200; }

// Light pixels in the rectangle [left, right) × [top, bottom).
int LightPixels(const BmpPicture& picture, int left, int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += IsLight(picture.At(x, y)) ? 1 : 0;
  }
  return count;
}

// The leftmost light pixel of those rows, or -1.
int LeftmostLight(const BmpPicture& picture, int top, int bottom) {
  for (int x = 0; x < picture.width; ++x) {
    for (int y = top; y < bottom; ++y) {
      if (IsLight(picture.At(x, y))) return x;
    }
  }
  return -1;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::filesystem::path> FilesEndingIn(const std::filesystem::path& root, const std::string& ending) {
  std::vector<std::filesystem::path> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
      found.push_back(entry.path());
    }
  }
  return found;
}

class CardEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(service_.HostAndPort().empty()) << "the profile service did not start"; }

  ChildResult Run(const std::string& script) const { return program_.Run(script, service_.HostAndPort()); }
  BmpPicture Shot(const std::string& name = "card.bmp") const { return ReadBmp(program_.ReadFile(name)); }
  std::vector<std::string> Ini() const { return IniItems(program_.ReadFile("quorlin.ini")); }

  static void ExpectCleanEnd(const ChildResult& result) {
    ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_TRUE(Contains(result.standardOutput, "exit 0\n")) << result.standardOutput;
  }

  CardProgram program_;
  ProfileService service_{program_.Root(), {std::string(kMember) + "\te2e.card\t3"}};
};

TEST_F(CardEndToEnd, AnEmptyIdShowsTheMessageAndMakesNoCard) {
  const ChildResult result = Run("click 按钮1\nclipboard clip.bmp\nprop 图片框3 5\n");
  ExpectCleanEnd(result);
  EXPECT_TRUE(Contains(result.standardOutput, "msgbox 信息： | 请输入ID！\n")) << result.standardOutput;
  EXPECT_TRUE(Contains(result.standardOutput, "clipboard empty\n")) << result.standardOutput;
  EXPECT_TRUE(Contains(result.standardOutput, "prop 图片框3 5 = 假\n")) << result.standardOutput;
}

TEST_F(CardEndToEnd, WithoutASettingsFileTheCardIsWhiteFramedAndGoesToTheClipboard) {
  const ChildResult result = Run(CardScript(kMember) + "clipboard clip.bmp\n");
  ExpectCleanEnd(result);
  const BmpPicture card = Shot();
  ASSERT_EQ(card.width, 580);
  ASSERT_EQ(card.height, 385);
  // The 3-pixel frame around the portrait (230..369 × 100..239) in the default white.
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{230, 100}, {232, 170}, {300, 101}, {367, 170}, {300, 238}}) {
    EXPECT_EQ(card.At(x, y), kWhite) << x << "," << y;
  }
  // The portrait fills 233..366 with the member's picture, not the empty box's white.
  EXPECT_LT(LightPixels(card, 233, 103, 367, 237), 134 * 134 / 2);
  // White text on the dark background: the ID line from y 265, the age line from y 310.
  EXPECT_GT(LightPixels(card, 120, 262, 460, 300), 30);
  EXPECT_GT(LightPixels(card, 120, 307, 460, 340), 30);
  EXPECT_EQ(LightPixels(card, 0, 345, 580, 385), 0);  // nothing below the lines

  const BmpPicture clipboard = Shot("clip.bmp");
  EXPECT_EQ(clipboard.width, 580);
  EXPECT_EQ(clipboard.height, 385);
  // Loading wrote nothing.
  EXPECT_FALSE(std::filesystem::exists(program_.PathOf("quorlin.ini")));
}

TEST_F(CardEndToEnd, TheFrameTakesTheColourOfTheFileAndTheSmallCardIsTheSquare) {
  program_.WriteFile("quorlin.ini", "[sz]\ncolor=255\nset=1\n");
  const ChildResult result = Run(CardScript(kMember) + "clipboard clip.bmp\n");
  ExpectCleanEnd(result);
  const BmpPicture card = Shot();
  EXPECT_EQ(card.At(231, 101), 0xFF0000u);  // 255 is red as 0x00BBGGRR
  EXPECT_EQ(card.At(368, 238), 0xFF0000u);
  const BmpPicture clipboard = Shot("clip.bmp");
  EXPECT_EQ(clipboard.width, 300);
  EXPECT_EQ(clipboard.height, 300);
  // The square is the canvas at (150, 56): its frame pixel (230, 100) lies at (80, 44).
  EXPECT_EQ(clipboard.At(81, 45), 0xFF0000u);
}

TEST_F(CardEndToEnd, SaveModeOneWritesTheBmpBytesBesideTheProgram) {
  program_.WriteFile("quorlin.ini", "[sz]\nsave=1\n");
  const ChildResult result = Run(CardScript(kMember) + "clipboard clip.bmp\n");
  ExpectCleanEnd(result);
  const std::string saved = program_.ReadFile(std::string(kMember) + ".jpg");
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(saved.substr(0, 2), "BM");
  EXPECT_EQ(saved.size(), 54u + 385u * 1740u);
  EXPECT_TRUE(Contains(result.standardOutput, "clipboard empty\n"));
}

TEST_F(CardEndToEnd, SaveModeOneWritesNothingForIdsThatWouldLeaveTheFolder) {
  program_.WriteFile("quorlin.ini", "[sz]\nsave=1\n");
  std::filesystem::create_directories(program_.Folder() / "sub");
  for (const std::string id : {"../escape", "..\\back", "sub/inner", "/tmp/abs", "c:x"}) {
    const ChildResult result = Run(CardScript(id));
    ExpectCleanEnd(result);
    EXPECT_EQ(Shot().width, 580) << id;  // the card itself is made
  }
  EXPECT_TRUE(FilesEndingIn(program_.Root(), ".jpg").empty());
  EXPECT_FALSE(std::filesystem::exists("/tmp/abs.jpg"));
}

TEST_F(CardEndToEnd, SaveModeTwoWritesTheFileChosenInTheDialog) {
  program_.WriteFile("quorlin.ini", "[sz]\nsave=2\n");
  ExpectCleanEnd(Run(CardScript(kMember, "answer save chosen.png\n")));
  const std::string saved = program_.ReadFile("chosen.png");
  ASSERT_GE(saved.size(), 2u);
  EXPECT_EQ(saved.substr(0, 2), "BM");  // BMP bytes whatever the ending

  ExpectCleanEnd(Run(CardScript(kMember, "answer cancel\n")));
  EXPECT_EQ(FilesEndingIn(program_.Root(), ".png").size(), 1u);
}

TEST_F(CardEndToEnd, SaveModeThreeAndUnknownModesSaveNothing) {
  for (const std::string mode : {"3", "9"}) {
    program_.WriteFile("quorlin.ini", "[sz]\nsave=" + mode + "\n");
    const ChildResult result = Run(CardScript(kMember) + "clipboard clip.bmp\n");
    ExpectCleanEnd(result);
    EXPECT_TRUE(Contains(result.standardOutput, "clipboard empty\n")) << mode;
    EXPECT_EQ(Shot().width, 580);
  }
  EXPECT_TRUE(FilesEndingIn(program_.Root(), ".jpg").empty());
}

TEST_F(CardEndToEnd, AnUnreachableProfileHostGivesACardWithAnEmptyAge) {
  const ChildResult result = program_.Run(CardScript(kMember), "127.0.0.1:1");
  ExpectCleanEnd(result);
  const BmpPicture card = Shot();
  ASSERT_EQ(card.width, 580);
  // "吧龄: 年" is 8 bytes: written from x 250.
  EXPECT_GT(LightPixels(card, 240, 307, 340, 340), 10);
  const int left = LeftmostLight(card, 307, 340);
  EXPECT_GE(left, 249);
  EXPECT_LE(left, 256);
  // The ID line still shows; the portrait box is empty (white) inside the frame.
  EXPECT_GT(LightPixels(card, 120, 262, 460, 300), 30);
  EXPECT_EQ(card.At(300, 170), kWhite);
}

TEST_F(CardEndToEnd, TheSettingsWindowWritesItsControlsWhenItCloses) {
  const ChildResult result = Run(
      "click 按钮4\n"
      "click 颜色选择器1\nkey Left\nkey Enter\n"
      "focus 组合框1\nkey Down\n"
      "click 选择框2\n"
      "prop 颜色选择器1 8\nprop 组合框1 19\nprop 选择框2 18\n"
      "close 设置\n");
  ExpectCleanEnd(result);
  EXPECT_TRUE(Contains(result.standardOutput, "window open 设置\n")) << result.standardOutput;
  EXPECT_TRUE(Contains(result.standardOutput, "prop 颜色选择器1 8 = 65535\n")) << result.standardOutput;
  EXPECT_TRUE(Contains(result.standardOutput, "prop 组合框1 19 = 1\n")) << result.standardOutput;
  EXPECT_EQ(Ini(), (std::vector<std::string>{"sz/touxiang=1", "sz/set=1", "sz/save=1", "sz/color=65535"}));

  // The next start uses them: the card is saved beside the program with a yellow frame.
  const ChildResult next = Run(CardScript(kMember));
  ExpectCleanEnd(next);
  EXPECT_EQ(Shot().At(231, 101), 0xFFFF00u);
  EXPECT_TRUE(std::filesystem::exists(program_.PathOf(std::string(kMember) + ".jpg")));
}

TEST_F(CardEndToEnd, AReturnToDefaultsWritesTheKeysInItsOrder) {
  ExpectCleanEnd(Run("click 按钮4\nfocus 组合框2\nkey Down\nprop 组合框2 19\nclose 设置\n"));
  EXPECT_EQ(Ini(), (std::vector<std::string>{"back/url=", "sz/touxiang=1", "sz/set=1", "sz/save=0",
                                             "sz/color=16777215", "font/name=" + kHeiTiGbk}));
}

TEST_F(CardEndToEnd, TheSettingsWindowMayOutliveTheMainWindow) {
  program_.WriteFile("quorlin.ini", "[sz]\nsave=2\ncolor=255\n");
  const ChildResult result =
      Run("click 按钮4\nclose Quorlin    - by Tamsk\nfocus 组合框2\nkey Down\nclose 设置\n");
  ExpectCleanEnd(result);
  EXPECT_TRUE(Contains(result.standardOutput, "window close Quorlin    - by Tamsk\n"));
  EXPECT_FALSE(Contains(result.standardOutput, "运行时出错")) << result.standardOutput;
  const std::vector<std::string> items = Ini();
  EXPECT_NE(std::find(items.begin(), items.end(), "sz/save=0"), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "sz/color=16777215"), items.end());
}

TEST_F(CardEndToEnd, AChosenBackgroundShowsAtOnceAndIsKeptInTheFile) {
  program_.WriteFile("red.bmp", SolidBmp(40, 30, 0xFF0000));
  ExpectCleanEnd(Run("answer open red.bmp\nclick 按钮3\nshot card.bmp 画板2\n"));
  BmpPicture card = Shot();
  EXPECT_EQ(card.At(5, 5), 0xFF0000u);
  EXPECT_EQ(card.At(575, 380), 0xFF0000u);  // tiled over the whole canvas
  EXPECT_EQ(Ini(), (std::vector<std::string>{"back/url=" + program_.PathOf("red.bmp").string()}));

  // The next start puts it on the canvas again.
  ExpectCleanEnd(Run("shot card.bmp 画板2\n"));
  EXPECT_EQ(Shot().At(5, 5), 0xFF0000u);
}

TEST_F(CardEndToEnd, DroppedPicturesReplaceTheBackgroundAndThePortrait) {
  program_.WriteFile("blue.bmp", SolidBmp(16, 16, 0x0000FF));
  program_.WriteFile("green.bmp", SolidBmp(8, 8, 0x00FF00));
  // The canvas's centre lies on the portrait once a card is shown, so the card drops come first.
  ExpectCleanEnd(Run("shot before.bmp 画板2\n"
                     "drop 画板2 one.bmp\ttwo.bmp\nshot cleared.bmp 画板2\n"
                     "drop 画板2 blue.bmp\n" +
                     CardScript(kMember) + "drop 图片框3 green.bmp\nshot portrait.bmp 画板2\n"));
  const BmpPicture before = Shot("before.bmp");
  const BmpPicture card = Shot("portrait.bmp");
  EXPECT_NE(before.At(5, 5), 0x0000FFu);
  EXPECT_EQ(card.At(5, 5), 0x0000FFu);  // the dropped background stays for the card
  EXPECT_EQ(card.At(300, 170), 0x00FF00u);  // the dropped portrait
  // Two files at once name no file: the background is cleared to the canvas colour.
  const BmpPicture cleared = Shot("cleared.bmp");
  EXPECT_NE(cleared.At(5, 5), before.At(5, 5));
  EXPECT_EQ(cleared.At(5, 5), cleared.At(570, 5));
  EXPECT_EQ(cleared.At(5, 5), cleared.At(5, 380));
  EXPECT_FALSE(std::filesystem::exists(program_.PathOf("quorlin.ini")));  // drops change no settings
}

}  // namespace
}  // namespace quorlin::testing
