// The program on a Wayland compositor: weston's own seat takes the click into the ID box, the
// typed ID and the click on 生成, and the card reaches the Wayland clipboard (wl-paste).
//
// weston's headless backend has no seat, so nothing could type into a program on it or own its
// clipboard. The compositor runs here with its X11 backend inside the private X server instead,
// an output of the main window's size with the kiosk shell, which puts the fixed-size window at
// the output's corner; xdotool drives weston's seat from outside. The program itself speaks
// only Wayland: DISPLAY is empty for it.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/desktop/desktop_driving.h"
#include "tests/desktop/weston_session.h"
#include "tests/support/spawned_process.h"

namespace quorlin::testing {
namespace {

namespace fs = std::filesystem;

QImage WaylandClipboardImage(const WestonSession& weston) {
  std::string png;
  if (RunProgram({"wl-paste", "--no-newline", "--type", "image/png"}, &png, 5000, weston.ClientEnvironment()) != 0) {
    return {};
  }
  return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
}

TEST(WaylandDesktop, ClickTypeAndGenerateGiveTheCardOnTheWaylandClipboard) {
  const std::string missing = MissingProgram({"weston", "wl-paste", "Xvfb", "xdotool"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  const std::string noServer = UsePrivateXServer();
  ASSERT_TRUE(noServer.empty()) << noServer;
  std::string reason;
  const auto weston =
      WestonSession::Start({"--backend=x11-backend.so", "--width=580", "--height=428", "--shell=kiosk-shell.so"}, &reason);
  if (!weston) GTEST_SKIP() << reason;
  WindowGeometry output;
  ASSERT_TRUE(WaitFor([&] { return FindWindowOfClass("weston", output); }, 10000))
      << "no weston output window";

  std::string host, error;
  const auto service = StartProfileService(&host, &error);
  ASSERT_TRUE(service) << error;
  const TemporaryFolder folder("quorlin-wayland-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\ncolor=255\r\n";  // a red frame
  std::vector<std::pair<std::string, std::string>> environment = weston->ClientEnvironment();
  environment.insert(environment.end(), {{"DISPLAY", ""},
                                         {"QUORLIN_DISPLAY", "desktop"},
                                         {"QT_QPA_PLATFORM", "wayland"},
                                         {"QT_WAYLAND_DISABLE_WINDOWDECORATION", "1"},
                                         {"QUORLIN_PROFILE_HOST", host},
                                         {"QUORLIN_PORTRAIT_HOST", host}});
  SpawnedProcess program({(folder.Path() / "quorlin").string()}, environment);
  ASSERT_TRUE(program.Started());

  // No window title can be searched for on Wayland: the program's window is there when the
  // output shows the main window's button-face grey under the buttons (the output is black
  // before).
  int argc = 1;
  char name[] = "wayland_test";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  auto shown = [&] {
    const QImage strip =
        QGuiApplication::primaryScreen()->grabWindow(0, output.x, output.y + 420, output.width, 4).toImage();
    return !strip.isNull() && qGray(strip.pixel(2, 2)) > 128;
  };
  ASSERT_TRUE(WaitFor([&] { return program.Ended() || shown(); }, 20000)) << "the main window did not show";
  AskForCard(output, "abc");
  QImage card;
  ASSERT_TRUE(WaitFor([&] { return program.Ended() || !(card = WaylandClipboardImage(*weston)).isNull(); }, 30000))
      << "no card on the Wayland clipboard";
  ASSERT_FALSE(program.Ended()) << "the program ended on Wayland with status " << program.ExitStatus();
  ASSERT_EQ(card.size(), QSize(580, 385));
  for (const QPoint p : {QPoint(230, 100), QPoint(232, 170), QPoint(369, 239), QPoint(300, 101)}) {
    EXPECT_TRUE(SameColour(card.pixel(p), qRgb(255, 0, 0))) << "frame pixel " << p.x() << "," << p.y();
  }
  EXPECT_FALSE(SameColour(card.pixel(300, 170), qRgb(255, 0, 0))) << "the portrait is missing";

  program.Stop();
}

}  // namespace
}  // namespace quorlin::testing
