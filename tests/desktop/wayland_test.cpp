// The program on a Wayland compositor. On weston's headless backend it opens its main window:
// a top-level surface of the window's title and fixed size, under the application id the
// desktop entry is named after, with the window's pixels attached. The headless backend has no
// seat, so nothing can type into a program there or own its clipboard: for a card, weston runs
// with its X11 backend inside the private X server, an output of the main window's size with
// the kiosk shell, which puts the fixed-size window at the output's corner; xdotool drives
// weston's seat from outside, the click into the ID box, the typed ID and the click on 生成, and
// the card is read from the Wayland clipboard (wl-paste). The program itself speaks only
// Wayland: DISPLAY is empty for it.
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

// The program's environment on the compositor, with the service hosts set to `host`.
std::vector<std::pair<std::string, std::string>> WaylandEnvironment(const WestonSession& weston,
                                                                    const std::string& host) {
  std::vector<std::pair<std::string, std::string>> environment = weston.ClientEnvironment();
  environment.insert(environment.end(), {{"DISPLAY", ""},
                                         {"QUORLIN_DISPLAY", "desktop"},
                                         {"QT_QPA_PLATFORM", "wayland"},
                                         {"QT_WAYLAND_DISABLE_WINDOWDECORATION", "1"},
                                         {"QUORLIN_PROFILE_HOST", host},
                                         {"QUORLIN_PORTRAIT_HOST", host}});
  return environment;
}

// A copy of the program in a folder of its own whose quorlin.ini asks for a red frame.
class RedFrameProgram {
 public:
  RedFrameProgram() : folder_("quorlin-wayland-") {
    fs::copy_file(QUORLIN_EXECUTABLE, folder_.Path() / "quorlin");
    std::ofstream(folder_.Path() / "quorlin.ini") << "[sz]\r\ncolor=255\r\n";
  }
  std::string Path() const { return (folder_.Path() / "quorlin").string(); }

 private:
  TemporaryFolder folder_;
};

TEST(WaylandDesktop, TheMainWindowOpensOnTheHeadlessCompositor) {
  const std::string missing = MissingProgram({"weston"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  std::string reason;
  const auto weston = WestonSession::Start(
      {"--backend=headless-backend.so", "--shell=kiosk-shell.so", "--logger-scopes=log,proto"}, &reason);
  if (!weston) GTEST_SKIP() << reason;
  const RedFrameProgram copy;
  SpawnedProcess program({copy.Path()}, WaylandEnvironment(*weston, "127.0.0.1:9"));
  ASSERT_TRUE(program.Started());

  std::string appId = QUORLIN_DESKTOP_ENTRY;
  appId.erase(appId.rfind(".desktop"));
  const std::vector<std::string> requests = {".set_title(\"Quorlin    - by Tamsk\")", ".set_min_size(580, 428)",
                                             ".set_max_size(580, 428)", ".set_app_id(\"" + appId + "\")"};
  auto seen = [&](const std::string& log) {
    for (const std::string& request : requests) {
      if (log.find(request) == std::string::npos) return false;
    }
    return log.find(".attach(wl_buffer@") != std::string::npos;
  };
  std::string log;
  EXPECT_TRUE(WaitFor([&] { return program.Ended() || seen(log = weston->Log()); }, kWindowWaitMs)) << log;
  EXPECT_FALSE(program.Ended()) << "the program ended with status " << program.ExitStatus();
  program.Stop();
}

QImage WaylandClipboardImage(const WestonSession& weston) {
  std::string png;
  if (RunProgram({"wl-paste", "--no-newline", "--type", "image/png"}, &png, 5000, weston.ClientEnvironment()) != 0) {
    return {};
  }
  return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
}

using WaylandDesktopCard = DesktopTest;

TEST_F(WaylandDesktopCard, ClickTypeAndGenerateGiveTheCardOnTheWaylandClipboard) {
  Prepare({"weston", "wl-paste"});
  if (IsSkipped() || HasFatalFailure()) return;
  std::string reason;
  const auto weston = WestonSession::Start(
      {"--backend=x11-backend.so", "--width=580", "--height=428", "--shell=kiosk-shell.so"}, &reason);
  if (!weston) GTEST_SKIP() << reason;
  WindowGeometry output;
  ASSERT_TRUE(WaitFor([&] { return FindWindowOfClass("weston", output); }, kWindowWaitMs)) << "no weston output window";

  const RedFrameProgram copy;
  SpawnedProcess program({copy.Path()}, WaylandEnvironment(*weston, host_));
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
  ASSERT_TRUE(WaitFor([&] { return program.Ended() || shown(); }, kWindowWaitMs)) << "the main window did not show";
  AskForCard(output, "abc");
  QImage card;
  ASSERT_TRUE(
      WaitFor([&] { return program.Ended() || !(card = WaylandClipboardImage(*weston)).isNull(); }, kResultWaitMs))
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
