// The program's pop-ups, dialogs and drops on the desktop at twice the size (QT_SCALE_FACTOR=2)
// against the same run at the plain size. The doubled run has a screen twice as large, so
// that both see the same screen in the program's own pixels: then every window of the doubled
// run sits at twice the place and has twice the size of the plain run's, clicks at twice the
// place pick the same combo-box item and palette colour, and drops at twice the place land on
// the same unit. The message boxes and Qt's own dialogs (file, font, colour) sit over the
// window they belong to; the combo lists open under their combo box and the palette under its
// picker, and in the screen's corner above the combo box and shifted inside the screen.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/desktop/desktop_driving.h"
#include "tests/desktop/xdnd_drop.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/spawned_process.h"

namespace quorlin::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;  // of the plain run
constexpr int kWaitMs = 20000;                            // a window to show or to go
constexpr QRgb kGreen = qRgb(0, 160, 0);
constexpr QRgb kBlue = qRgb(0, 0, 200);

struct Shown {
  std::string what;
  WindowGeometry geometry;
};

std::string Describe(const WindowGeometry& g) {
  return std::to_string(g.width) + "x" + std::to_string(g.height) + " at (" + std::to_string(g.x) + ", " +
         std::to_string(g.y) + ")";
}

bool Doubled(const WindowGeometry& plain, const WindowGeometry& scaled) {
  return scaled.x == 2 * plain.x && scaled.y == 2 * plain.y && scaled.width == 2 * plain.width &&
         scaled.height == 2 * plain.height;
}

// A dialog belongs over its window: its centre lies inside that window.
void ExpectOver(const WindowGeometry& dialog, const WindowGeometry& owner, const std::string& what) {
  const int x = dialog.x + dialog.width / 2, y = dialog.y + dialog.height / 2;
  EXPECT_TRUE(x >= owner.x && x < owner.x + owner.width && y >= owner.y && y < owner.y + owner.height)
      << what << " " << Describe(dialog) << " is not over its window " << Describe(owner);
}

QRgb PixelAt(int x, int y) {
  const QImage pixel = ScreenArea(WindowGeometry{x, y, 1, 1, 0});
  return pixel.isNull() ? 0 : pixel.pixel(0, 0);
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ScaledPopups : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = MissingProgram({"Xvfb", "xdotool"});
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    // A profile reply with nothing in it: the card fails and its failure box shows.
    server_.SetReply("/home/get/panel", ScriptedReply{200, {}, "", {}});
  }

  // The program at `scale` on a screen `scale` times the plain one; what it showed, in order.
  void RunAtScale(int scale, std::vector<Shown>& shown);

  LoopbackHttpServer server_;
};

void ScaledPopups::RunAtScale(int s, std::vector<Shown>& shown) {
  const std::string noServer = UsePrivateXServer(kScreenWidth * s, kScreenHeight * s);
  ASSERT_TRUE(noServer.empty()) << noServer;
  const TemporaryFolder folder("quorlin-popups-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  const std::string host = "127.0.0.1:" + std::to_string(server_.Port());
  // Qt's dialogs keep their state under XDG_CONFIG_HOME: the test's folder, not the user's.
  SpawnedProcess program({(folder.Path() / "quorlin").string()},
                         {{"QUORLIN_DISPLAY", "desktop"},
                          {"QT_QPA_PLATFORM", "xcb"},
                          {"QT_SCALE_FACTOR", std::to_string(s)},
                          {"QUORLIN_PROFILE_HOST", host},
                          {"QUORLIN_PORTRAIT_HOST", host},
                          {"XDG_CONFIG_HOME", folder.Path().string()}});
  ASSERT_TRUE(program.Started());
  const int pid = program.Pid();
  WindowGeometry main;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, main, pid); }, kWindowWaitMs)) << "no main window";
  shown.push_back({"main window", main});

  // Positions (x, y) are in the program's pixels, in the client area of `in`.
  auto click = [s](const WindowGeometry& in, int x, int y) { Click(in.x + x * s, in.y + y * s); };
  auto open = [&](const char* what, const WindowGeometry& in, int x, int y, WindowGeometry& window) {
    const std::vector<WindowGeometry> before = ShownWindows(pid);
    click(in, x, y);
    if (!WaitForNewWindow(pid, before, window, kWaitMs)) return false;
    shown.push_back({what, window});
    return true;
  };
  auto dismiss = [&](const WindowGeometry& window, const char* key) {
    RunProgram({"xdotool", "key", key}, nullptr, 5000);
    return WaitUntilGone(pid, window, kWaitMs);
  };

  // 生成 at (496, 394) with no ID: the box that asks for one.
  WindowGeometry box;
  ASSERT_TRUE(open("empty-ID box", main, 536, 406, box)) << "no message box";
  ExpectOver(box, main, "the empty-ID box");
  ASSERT_TRUE(dismiss(box, "Return"));
  // An ID typed into 编辑框1 at (88, 394): the profile brings nothing and the failure box shows.
  click(main, 150, 406);
  TypeText("abc");
  ASSERT_TRUE(open("failure box", main, 536, 406, box)) << "no failure box";
  ExpectOver(box, main, "the failure box");
  ASSERT_TRUE(dismiss(box, "Return"));
  ASSERT_EQ(server_.RequestCount(), static_cast<size_t>(s)) << "one profile request in each run";
  EXPECT_EQ(server_.Requests().back().query, "ie=utf-8&un=%61%62%63");

  // A picture dropped on the portrait (233, 103, 134 × 134 on the card) replaces the portrait
  // only; one dropped beside it replaces the card's background.
  const fs::path portrait = folder.Path() / "portrait.png", background = folder.Path() / "background.png";
  QImage picture(134, 134, QImage::Format_RGB32);
  picture.fill(kGreen);
  ASSERT_TRUE(picture.save(QString::fromStdString(portrait.string()), "PNG"));
  picture = QImage(580, 385, QImage::Format_RGB32);
  picture.fill(kBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString(background.string()), "PNG"));
  auto colourAt = [&](int x, int y) { return PixelAt(main.x + x * s, main.y + y * s); };
  std::string error;
  ASSERT_TRUE(DropFileAt(main.id, main.x + 300 * s, main.y + 170 * s, portrait.string(), kWaitMs, error)) << error;
  EXPECT_TRUE(WaitFor([&] { return SameColour(colourAt(300, 170), kGreen, 8); }, 5000)) << "the portrait did not change";
  EXPECT_FALSE(SameColour(colourAt(60, 300), kGreen, 8)) << "the portrait's picture went to the card";
  ASSERT_TRUE(DropFileAt(main.id, main.x + 60 * s, main.y + 300 * s, background.string(), kWaitMs, error)) << error;
  EXPECT_TRUE(WaitFor([&] { return SameColour(colourAt(60, 300), kBlue, 8); }, 5000)) << "the background did not change";
  EXPECT_TRUE(SameColour(colourAt(300, 170), kGreen, 8)) << "the card's picture went to the portrait";

  // 选择背景 at (232, 394) and 选择字体 at (320, 394): Qt's file and font dialogs.
  WindowGeometry dialog;
  ASSERT_TRUE(open("background file dialog", main, 272, 406, dialog)) << "no file dialog";
  ExpectOver(dialog, main, "the background file dialog");
  ASSERT_TRUE(dismiss(dialog, "Escape"));
  ASSERT_TRUE(open("font dialog", main, 360, 406, dialog)) << "no font dialog";
  ExpectOver(dialog, main, "the font dialog");
  ASSERT_TRUE(dismiss(dialog, "Escape"));

  // 设置 at (408, 394) opens the settings window.
  WindowGeometry settings;
  ASSERT_TRUE(open("settings window", main, 448, 406, settings)) << "no settings window";
  // 组合框1 at (80, 56), 176 wide: its list opens right under it, as wide as it; a click on its
  // fourth item, "什么也不做", picks save mode 3.
  WindowGeometry list;
  ASSERT_TRUE(open("save-mode list", settings, 200, 66, list)) << "no list";
  EXPECT_EQ(list.x, settings.x + 80 * s);
  EXPECT_EQ(list.width, 176 * s);
  EXPECT_TRUE(list.y >= settings.y + 76 * s && list.y <= settings.y + 90 * s) << Describe(list);
  Click(list.x + list.width / 2, list.y + list.height * 7 / 8);
  ASSERT_TRUE(WaitUntilGone(pid, list, kWaitMs));
  // 颜色选择器1 at (80, 16), 80 × 20: the palette opens at its bottom-left corner. Cell 12, pure
  // red, is in row 1 and column 5 of the 18-pixel cells inside the palette's 2-pixel edge; the
  // picker's swatch shows it then.
  WindowGeometry palette;
  ASSERT_TRUE(open("colour palette", settings, 120, 26, palette)) << "no palette";
  EXPECT_EQ(palette.x, settings.x + 80 * s);
  EXPECT_EQ(palette.y, settings.y + 36 * s);
  click(palette, 2 + 5 * 18 + 9, 2 + 18 + 9);
  ASSERT_TRUE(WaitUntilGone(pid, palette, kWaitMs));
  EXPECT_TRUE(WaitFor([&] { return SameColour(PixelAt(settings.x + 100 * s, settings.y + 26 * s), qRgb(255, 0, 0)); },
                      5000))
      << "the swatch is not red";
  // The more-colours box under the grid (the palette's last 29 rows) opens the colour dialog
  // over the palette; Escape there cancels the dialog and the palette.
  ASSERT_TRUE(open("colour palette, again", settings, 120, 26, palette)) << "no palette";
  ASSERT_TRUE(open("colour dialog", palette, palette.width / s / 2, palette.height / s - 10, dialog))
      << "no colour dialog";
  ExpectOver(dialog, palette, "the colour dialog");
  ASSERT_TRUE(dismiss(dialog, "Escape"));
  ASSERT_TRUE(WaitUntilGone(pid, palette, kWaitMs));
  // 按钮2 "头像" at (176, 16): the portrait's file dialog over the settings window.
  ASSERT_TRUE(open("portrait file dialog", settings, 216, 26, dialog)) << "no file dialog";
  ExpectOver(dialog, settings, "the portrait file dialog");
  ASSERT_TRUE(dismiss(dialog, "Escape"));

  // Moved into the screen's bottom-right corner, partly off the screen: the lists open above
  // their combo box and the palette is shifted to end at the screen's edges.
  const int right = kScreenWidth * s, bottom = kScreenHeight * s;
  WindowGeometry moved = settings;
  moved.x = right - 150 * s;
  moved.y = bottom - 100 * s;
  RunProgram({"xdotool", "windowmove", std::to_string(settings.id), std::to_string(moved.x), std::to_string(moved.y)},
             nullptr, 5000);
  ASSERT_TRUE(WaitFor([&] { return FindWindow("设置", settings, pid) && settings.x == moved.x && settings.y == moved.y; },
                      5000))
      << "the settings window did not move";
  // 组合框2 at (80, 96); its first item keeps the settings (the second would restore defaults).
  ASSERT_TRUE(open("configuration list, in the corner", settings, 200, 106, list)) << "no list";
  EXPECT_EQ(list.x, settings.x + 80 * s);
  EXPECT_EQ(list.y + list.height, settings.y + 96 * s) << Describe(list);
  Click(list.x + list.width / 2, list.y + list.height / 4);
  ASSERT_TRUE(WaitUntilGone(pid, list, kWaitMs));
  // Cell 9, pure blue, in row 1 and column 2.
  ASSERT_TRUE(open("colour palette, in the corner", settings, 120, 26, palette)) << "no palette";
  EXPECT_EQ(palette.x + palette.width, right);
  EXPECT_EQ(palette.y + palette.height, bottom);
  click(palette, 2 + 2 * 18 + 9, 2 + 18 + 9);
  ASSERT_TRUE(WaitUntilGone(pid, palette, kWaitMs));

  // Closed, the settings window writes what the clicks picked. A close request that comes while
  // the window is still busy may go unheard, so it is repeated until the settings are written.
  const fs::path ini = folder.Path() / "quorlin.ini";
  ASSERT_TRUE(WaitFor(
      [&] {
        RequestClose(settings);
        return WaitFor([&] { return ReadBytes(ini).find("color=") != std::string::npos; }, 3000);
      },
      kResultWaitMs))
      << "no settings written";
  const std::string written = ReadBytes(ini);
  EXPECT_NE(written.find("save=3\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("color=16711680\r\n"), std::string::npos) << written;
  program.Stop();
}

TEST_F(ScaledPopups, SitAtTwiceThePlaceAndSizeAndTakeClicksAndDropsThere) {
  std::vector<Shown> plain, doubled;
  RunAtScale(1, plain);
  if (HasFatalFailure()) return;
  RunAtScale(2, doubled);
  if (HasFatalFailure()) return;
  ASSERT_EQ(plain.size(), doubled.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    std::cout << plain[i].what << ": " << Describe(plain[i].geometry) << "; doubled "
              << Describe(doubled[i].geometry) << "\n";
    EXPECT_TRUE(Doubled(plain[i].geometry, doubled[i].geometry))
        << doubled[i].what << " at scale 2: " << Describe(doubled[i].geometry) << ", at scale 1 "
        << Describe(plain[i].geometry);
  }
}

}  // namespace
}  // namespace quorlin::testing
