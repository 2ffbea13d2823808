// The program on the desktop at twice the size (QT_SCALE_FACTOR=2) under a private X server:
// its windows take twice the room, clicks at the scaled positions land on the buttons and the
// ID box, the screen shows the card doubled, and the card it copies is still the system's
// picture, 580 × 385, not the screen's.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/desktop/desktop_driving.h"
#include "tests/support/spawned_process.h"

namespace quorlin::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kScale = 2;

QImage CardOfSize(int width, int height) {
  QImage card;
  WaitFor(
      [&] {
        card = ClipboardImage();
        return card.width() == width && card.height() == height;
      },
      kResultWaitMs);
  return card;
}

using ScaledDesktop = DesktopTest;

TEST_F(ScaledDesktop, WindowsClicksAndCardsAtTwiceTheSize) {
  Prepare({"xclip"});
  if (IsSkipped() || HasFatalFailure()) return;

  const TemporaryFolder folder("quorlin-hidpi-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\ncolor=255\r\n";  // a red frame
  auto environment = ProgramEnvironment();
  environment.emplace_back("QT_SCALE_FACTOR", std::to_string(kScale));
  SpawnedProcess program({(folder.Path() / "quorlin").string()}, environment);
  ASSERT_TRUE(program.Started());
  WindowGeometry main;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, main, program.Pid()); }, kWindowWaitMs))
      << "no main window";
  EXPECT_EQ(main.width, 580 * kScale);
  EXPECT_EQ(main.height, 428 * kScale);

  AskForCard(main, "abc", kScale);
  const QImage card = CardOfSize(580, 385);
  ASSERT_EQ(card.size(), QSize(580, 385)) << "no full card on the clipboard";

  // The screen shows the card doubled: the portrait's 3-pixel red frame at (230, 100) is six
  // screen pixels wide at (460, 200), and the portrait is inside it.
  int argc = 1;
  char name[] = "hidpi_test";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  const QImage shown =
      QGuiApplication::primaryScreen()->grabWindow(0, main.x, main.y, main.width, main.height).toImage();
  for (const QPoint p : {QPoint(461, 201), QPoint(465, 340), QPoint(739, 478), QPoint(600, 203)}) {
    EXPECT_TRUE(SameColour(shown.pixel(p), qRgb(255, 0, 0), 8)) << "frame pixel " << p.x() << "," << p.y();
  }
  EXPECT_FALSE(SameColour(shown.pixel(600, 340), qRgb(255, 0, 0), 8)) << "no portrait inside the frame";

  // 设置 opens the settings window at twice its size.
  Click(main.x + 448 * kScale, main.y + 406 * kScale);
  WindowGeometry settings;
  ASSERT_TRUE(WaitFor([&] { return FindWindow("设置", settings, program.Pid()); }, kWindowWaitMs))
      << "no settings window";
  EXPECT_EQ(settings.width, 333 * kScale);
  EXPECT_EQ(settings.height, 128 * kScale);

  program.Stop();
}

}  // namespace
}  // namespace quorlin::testing
