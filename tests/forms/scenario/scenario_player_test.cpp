// The player on real headless windows of ours, each scenario in a child process that ends
// the way the program does.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "runtime/forms/scenario/scenario_player.h"
#include "runtime/forms/scenario/scenario_script.h"
#include "tests/forms/scenario/scenario_test_program.h"

namespace quorlin::testing {
namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at, int size = 4) {
  uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | bytes[at + static_cast<size_t>(i)];
  return v;
}

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // R, G, B per pixel, rows top-down
  COLORREF At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return RGB(pixels[i], pixels[i + 1], pixels[i + 2]);
  }
};

Rgb ReadPng(const std::filesystem::path& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  Rgb picture;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  picture.pixels.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
  }
  return picture;
}

Rgb ReadBmp24(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  Rgb picture;
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Word(bytes, 28, 2) != 24) return picture;
  const int width = static_cast<int>(Word(bytes, 18));
  const int height = static_cast<int>(Word(bytes, 22));
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t offset = Word(bytes, 10);
  if (bytes.size() < offset + stride * static_cast<size_t>(height)) return picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bytes.data() + offset + stride * static_cast<size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      picture.pixels.insert(picture.pixels.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
    }
  }
  return picture;
}

class ScenarioPlayerTest : public ::testing::Test {
 protected:
  ChildResult Run(const std::string& script) { return RunTestScenario(folder_.Path(), script); }
  ScratchFolder folder_;
};

TEST_F(ScenarioPlayerTest, ClickTypeAndKeysReachTheControlsAndTheEndClosesTheWindow) {
  const ChildResult result = Run(
      "# the button appends to the label\n"
      "click 按钮1\n"
      "click 按钮1\n"
      "prop 标签1 8\n"
      "focus 编辑框1\n"
      "type 你好 abc\n"
      "key Back\n"
      "key Left\n"
      "type X\n"
      "prop 编辑框1 8\n"
      "prop 编辑框1 2\n");
  ASSERT_TRUE(result.exited) << result.standardOutput;
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardOutput,
            "window open 测试窗口\n"
            "prop 标签1 8 = clickedclicked\n"
            "prop 编辑框1 8 = 你好 aXb\n"
            "prop 编辑框1 2 = 200\n"
            "window close 测试窗口\n"
            "exit 0\n");
}

TEST_F(ScenarioPlayerTest, StepsAfterAnExplicitQuitDoNotRunOnceTheProgramEnded) {
  const ChildResult result = Run("close 测试窗口\nwait 2000\nprop 标签1 8\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardOutput, "window open 测试窗口\nwindow close 测试窗口\nexit 0\n");
}

TEST_F(ScenarioPlayerTest, ShotWritesTheScreenOrTheUnitsRectangle) {
  const ChildResult result = Run("shot panel.png 画板1\nshot screen.bmp\nshot panel.bmp 画板1\n");
  ASSERT_TRUE(result.exited) << result.standardOutput;
  EXPECT_EQ(result.exitStatus, 0) << result.standardOutput;

  const Rgb panel = ReadPng(folder_.Path() / "panel.png");
  ASSERT_EQ(panel.width, PanelSize.cx);
  ASSERT_EQ(panel.height, PanelSize.cy);
  for (int y = 0; y < panel.height; ++y) {
    for (int x = 0; x < panel.width; ++x) ASSERT_EQ(panel.At(x, y), PanelColour) << x << ", " << y;
  }
  const Rgb panelBmp = ReadBmp24(folder_.Path() / "panel.bmp");
  EXPECT_EQ(panelBmp.pixels, panel.pixels);
  EXPECT_EQ(panelBmp.width, panel.width);

  // The whole screen: the panel inside the window's client area, not outside the window.
  const Rgb screen = ReadBmp24(folder_.Path() / "screen.bmp");
  ASSERT_EQ(screen.width, 1280);
  ASSERT_EQ(screen.height, 1024);
  int found = 0;
  for (int y = TestWindowRect.top; y < TestWindowRect.bottom; ++y) {
    for (int x = TestWindowRect.left; x < TestWindowRect.right; ++x) found += screen.At(x, y) == PanelColour;
  }
  EXPECT_EQ(found, PanelSize.cx * PanelSize.cy);
  EXPECT_NE(screen.At(TestWindowRect.left - 1, TestWindowRect.top - 1), PanelColour);
}

struct FailingStep {
  const char* script;
  const char* error;
};

TEST_F(ScenarioPlayerTest, AStepThatCannotBeDoneEndsTheProgramWithAnError) {
  const FailingStep rows[] = {
      {"click 按钮1\n\nclick 按钮9\nquit\n", "error 3: no unit \"按钮9\" in the open windows"},
      {"click 对话框1\n", "error 1: the unit \"对话框1\" has no window"},
      {"click 编辑框2\n", "error 1: the unit \"编辑框2\" is not shown"},
      {"prop 对话框1 8\n", "error 1: the unit has no live window"},
      {"prop 标签1 99\n", "error 1: no property 99"},
      {"close Other\n", "error 1: no open window titled \"Other\""},
      {"type 😀\n", "error 1: the text has characters without a GBK form"},
      {"shot nowhere/x.png\n", "error 1: cannot write"},
  };
  for (const FailingStep& row : rows) {
    const ChildResult result = Run(row.script);
    ASSERT_TRUE(result.exited) << row.script;
    EXPECT_EQ(result.exitStatus, forms::ScenarioErrorExitCode) << row.script;
    const std::string expectedStart = std::string("window open 测试窗口\n") + row.error;
    EXPECT_EQ(result.standardOutput.substr(0, expectedStart.size()), expectedStart) << row.script;
    // The end closes the window without a handler reaching it, and tells the status.
    EXPECT_TRUE(result.standardOutput.ends_with("window close 测试窗口\nexit 2\n")) << result.standardOutput;
  }
}

TEST_F(ScenarioPlayerTest, AMalformedScriptRunsNoStep) {
  const ChildResult result = Run("click 按钮1\nclick\n");
  EXPECT_EQ(result.exitStatus, forms::ScenarioErrorExitCode);
  EXPECT_EQ(result.standardOutput,
            "window open 测试窗口\nerror 2: click takes one unit name\nwindow close 测试窗口\nexit 2\n");
}

TEST_F(ScenarioPlayerTest, AScriptThatCannotBeReadIsErrorZero) {
  // The folder does not exist, so the script is never written.
  const ChildResult result = RunTestScenario(folder_.Path() / "missing", "");
  EXPECT_EQ(result.exitStatus, forms::ScenarioErrorExitCode);
  EXPECT_NE(result.standardOutput.find("window open 测试窗口\nerror 0: cannot read the scenario "), std::string::npos)
      << result.standardOutput;
}

TEST_F(ScenarioPlayerTest, AScriptIsReadWholeUpToItsLimit) {
  // A script of many read pieces keeps its last step; one byte over the limit refuses it all.
  const std::string longComment = "#" + std::string(100000, 'x') + "\n";
  const ChildResult whole = Run(longComment + longComment + "close 测试窗口\n");
  ASSERT_TRUE(whole.exited);
  EXPECT_EQ(whole.exitStatus, 0);
  EXPECT_EQ(whole.standardOutput, "window open 测试窗口\nwindow close 测试窗口\nexit 0\n");

  const std::string atLimit = "close 测试窗口\n#" + std::string(forms::MaxScriptBytes - 18 - 3, 'x') + "\n";
  ASSERT_EQ(atLimit.size(), forms::MaxScriptBytes);
  EXPECT_EQ(Run(atLimit).exitStatus, 0);
  const ChildResult over = Run(atLimit + "#");
  EXPECT_EQ(over.exitStatus, forms::ScenarioErrorExitCode);
  EXPECT_NE(over.standardOutput.find("error 0: the script is larger than"), std::string::npos) << over.standardOutput;
}

TEST_F(ScenarioPlayerTest, MessageBoxesDialogsDropsAndTheClipboardGoThroughTheShell) {
  const std::string folder = folder_.Path().string();
  const ChildResult result = Run(
      "click 按钮2\n"
      "answer open pic.jpg\n"
      "click 按钮3\n"
      "click 按钮3\n"
      "clipboard first.bmp\n"
      "click 按钮4\n"
      "clipboard second.bmp\n"
      "drop 画板1 one.jpg\t/elsewhere/two.png\n"
      "prop 标签1 8\n");
  ASSERT_TRUE(result.exited) << result.standardOutput;
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardOutput,
            "window open 测试窗口\n"
            "msgbox 标题 | 第一行\\r\\n第二行\n"
            "dialog open 图片|*.jpg;*.png | a.jpg\n"
            "dialog open 图片|*.jpg;*.png | a.jpg\n"
            "clipboard empty\n"
            "prop 标签1 8 = answer 6chose " + folder + "/pic.jpgcancelleddropped " + folder +
                "/one.jpg;/elsewhere/two.png\n"
            "window close 测试窗口\n"
            "exit 0\n");
  EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "first.bmp"));
  const Rgb clipboard = ReadBmp24(folder_.Path() / "second.bmp");
  ASSERT_EQ(clipboard.width, 3);
  ASSERT_EQ(clipboard.height, 2);
  EXPECT_EQ(clipboard.At(2, 1), PanelColour);
}

}  // namespace
}  // namespace quorlin::testing
