// The real program on the desktop backend under a private X server: a click into the ID box,
// typed text and a click on 生成 make a card for a member of the loopback profile service; the
// card reaches the desktop's clipboard as an image other programs read (xclip), and the screen
// shows the same card in the program's window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
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

using CardOnDesktop = DesktopTest;

TEST_F(CardOnDesktop, ClickTypeAndGenerateGiveAClipboardImageAndTheShownCard) {
  Prepare({"xclip"});
  if (IsSkipped() || HasFatalFailure()) return;

  const TemporaryFolder folder("quorlin-desktop-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  // A red frame, so the border is told apart from the white text and the card background.
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\ncolor=255\r\nsave=0\r\n";
  SpawnedProcess program({(folder.Path() / "quorlin").string()}, ProgramEnvironment());
  ASSERT_TRUE(program.Started());

  WindowGeometry window;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, window); }, kWindowWaitMs)) << "no main window";
  EXPECT_EQ(window.width, 580);
  EXPECT_EQ(window.height, 428);
  AskForCard(window, "abc");

  QImage card;
  ASSERT_TRUE(WaitFor([&] { return !(card = ClipboardImage()).isNull(); }, kResultWaitMs)) << "no image on the clipboard";
  int argc = 1;
  char name[] = "card_on_desktop_test";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  ASSERT_EQ(card.width(), 580);
  ASSERT_EQ(card.height(), 385);

  // The 3-pixel frame around the portrait in the configured colour, the portrait inside it.
  const QRgb red = qRgb(255, 0, 0);
  for (const QPoint p : {QPoint(230, 100), QPoint(232, 170), QPoint(369, 239), QPoint(300, 101)}) {
    EXPECT_TRUE(SameColour(card.pixel(p), red)) << "frame pixel " << p.x() << "," << p.y();
  }
  EXPECT_FALSE(SameColour(card.pixel(300, 170), red)) << "the portrait is missing";
  // White text somewhere on the ID line (y 265) and on the age line (y 310).
  auto whiteIn = [&](int top, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 150; x < 430; ++x) count += SameColour(card.pixel(x, y), qRgb(255, 255, 255), 8);
    }
    return count;
  };
  EXPECT_GT(whiteIn(265, 290), 20) << "no ID line";
  EXPECT_GT(whiteIn(310, 335), 20) << "no age line";

  // What the screen shows in the window is the same card.
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QImage wholeWindow = screen->grabWindow(0, window.x, window.y, window.width, window.height).toImage();
  const char* keep = std::getenv("QUORLIN_KEEP_SCREENSHOT");
  if (keep && *keep) wholeWindow.save(QString::fromLocal8Bit(keep));
  const QImage shown = wholeWindow.copy(0, 0, 580, 385);
  ASSERT_EQ(shown.size(), card.size());
  int differing = 0;
  for (int y = 0; y < 385; ++y) {
    for (int x = 0; x < 580; ++x) differing += !SameColour(shown.pixel(x, y), card.pixel(x, y), 2);
  }
  EXPECT_LT(differing, 580 * 385 / 100) << "the screen does not show the card that was copied";

  program.Stop();
}

}  // namespace
}  // namespace quorlin::testing
