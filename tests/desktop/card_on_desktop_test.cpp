// The real program on the desktop backend under a private X server: a click into the ID box,
// typed text and a click on 生成 make a card for a member of the loopback profile service; the
// card reaches the desktop's clipboard as an image other programs read (xclip), and the screen
// shows the same card in the program's window. While the profile request waits, the window is
// moved and still shows the card canvas; what the user does meanwhile comes after the reply.
// And the README's run command, scripts/run.sh, with no service configured: the card shows the
// bundled service's portrait, and the service the script started ends with the tool (also on
// Ctrl+C).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <memory>
#include <thread>

#include "app/card/bundled_service.h"
#include "tests/desktop/spawned_process.h"
#include "tests/support/background_program.h"
#include "tests/support/loopback_http_server.h"
#include "tests/platform/desktop/xvfb_session.h"

namespace {

using quorlin::testing::RunProgram;
using quorlin::testing::SpawnedProcess;
namespace fs = std::filesystem;

constexpr const char* kTitle = "Quorlin    - by Tamsk";

class ProgramFolder {
 public:
  ProgramFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("quorlin-desktop-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    fs::create_directories(path_);
    fs::copy_file(QUORLIN_EXECUTABLE, path_ / "quorlin");
  }
  ~ProgramFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }
  void CopyIn(const fs::path& program) const { fs::copy_file(program, path_ / program.filename()); }

 private:
  fs::path path_;
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// The geometry xdotool reports for the first window with exactly this name.
bool FindWindow(const std::string& title, Geometry& geometry, std::string& id) {
  std::string found;
  if (RunProgram({"xdotool", "search", "--name", "^" + title + "$"}, &found, 5000) != 0) return false;
  id = found.substr(0, found.find('\n'));
  if (id.empty()) return false;
  std::string shell;
  if (RunProgram({"xdotool", "getwindowgeometry", "--shell", id}, &shell, 5000) != 0) return false;
  auto value = [&](const std::string& key) {
    const size_t at = shell.find(key + "=");
    return at == std::string::npos ? -1 : std::stoi(shell.substr(at + key.size() + 1));
  };
  geometry = {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
  return geometry.width > 0;
}

void Click(int x, int y) {
  RunProgram({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}, nullptr, 5000);
}

template <class Condition>
bool WaitFor(Condition condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return condition();
}

// One private X server for all the tests of this program: starting servers side by side with
// other test programs now and then gives one that cannot be reached.
const std::string& SharedDisplay() {
  static const std::string display = quorlin::testing::StartXvfb();
  return display;
}

bool SameColour(QRgb a, QRgb b, int tolerance = 0) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The shared X server, made the display of the test process itself.
const std::string& PrivateDisplay() {
  const std::string& display = SharedDisplay();
  if (!display.empty()) {
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
  }
  return display;
}

// Screen grabs of the test itself need a Qt application, made once on the private display.
QImage GrabScreen(const Geometry& area) {
  static int argc = 1;
  static char name[] = "card_on_desktop_test";
  static char* argv[] = {name, nullptr};
  static auto* application = new QGuiApplication(argc, argv);
  (void)application;
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->grabWindow(0, area.x, area.y, area.width, area.height).toImage() : QImage();
}

TEST(CardOnDesktop, ClickTypeAndGenerateGiveAClipboardImageAndTheShownCard) {
  for (const char* tool : {"Xvfb", "xdotool", "xclip"}) {
    if (!quorlin::testing::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  const std::string& display = SharedDisplay();
  ASSERT_FALSE(display.empty()) << "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");

  std::string error;
  const auto service =
      quorlin::testing::BackgroundProgram::Start(QUORLIN_PROFILE_SERVICE, {"--port", "0"}, "listening on ", &error);
  ASSERT_TRUE(service) << error;
  const std::string host = "127.0.0.1:" + std::to_string(service->ReadyPort());

  const ProgramFolder folder;
  // A red frame, so the border is told apart from the white text and the card background.
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\ncolor=255\r\nsave=0\r\n";
  SpawnedProcess program({(folder.Path() / "quorlin").string()},
                         {{"QUORLIN_DISPLAY", "desktop"},
                          {"QT_QPA_PLATFORM", "xcb"},
                          {"QUORLIN_PROFILE_HOST", host},
                          {"QUORLIN_PORTRAIT_HOST", host}});
  ASSERT_TRUE(program.Started());

  Geometry window;
  std::string windowId;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kTitle, window, windowId); }, 15000)) << "no main window";
  EXPECT_EQ(window.width, 580);
  EXPECT_EQ(window.height, 428);

  // The ID box at (88, 394) and 生成 at (496, 394) in the client area.
  Click(window.x + 150, window.y + 406);
  RunProgram({"xdotool", "type", "--delay", "40", "abc"}, nullptr, 10000);
  Click(window.x + 536, window.y + 406);

  std::string png;
  const bool gotImage = WaitFor(
      [&] {
        std::string targets;
        if (RunProgram({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"}, &targets, 3000) != 0) return false;
        if (targets.find("image/png") == std::string::npos) return false;
        png.clear();
        return RunProgram({"xclip", "-selection", "clipboard", "-t", "image/png", "-o"}, &png, 5000) == 0 &&
               !png.empty();
      },
      30000);
  ASSERT_TRUE(gotImage) << "no image on the clipboard";

  const QImage card = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
  ASSERT_FALSE(card.isNull()) << "the clipboard's image/png does not decode";
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
  const QImage wholeWindow = GrabScreen(window);
  ASSERT_FALSE(wholeWindow.isNull());
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

// Whether something accepts connections on 127.0.0.1 at that port.
bool Listening(int port) {
  const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return connected;
}

bool ProcessExists(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

// scripts/run.sh on the programs of a fresh folder, with no service host in the environment or
// in quorlin.ini, in a session of its own so that a Ctrl+C can reach all of it. Its window is
// up when SetUp ends. These tests hold the bundled service's port (a lock in CMakeLists.txt).
class RunCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool", "xclip", "setsid"}) {
      if (!quorlin::testing::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
    }
    const std::string& display = SharedDisplay();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    setenv("DISPLAY", display.c_str(), 1);
    for (const char* variable : {"WAYLAND_DISPLAY", "QUORLIN_PROFILE_HOST", "QUORLIN_PORTRAIT_HOST"}) unsetenv(variable);
    ASSERT_TRUE(WaitFor([] { return !Listening(quorlin::app::kBundledServicePort); }, 30000))
        << "another program listens on port " << quorlin::app::kBundledServicePort;

    folder_.CopyIn(QUORLIN_PROFILE_SERVICE);
    script_ = std::make_unique<SpawnedProcess>(
        std::vector<std::string>{"setsid", "bash", QUORLIN_SOURCE_DIR "/scripts/run.sh"},
        std::vector<std::pair<std::string, std::string>>{
            {"QUORLIN_BUILD", folder_.Path().string()}, {"QUORLIN_DISPLAY", "desktop"}, {"QT_QPA_PLATFORM", "xcb"}});
    ASSERT_TRUE(script_->Started());
    const std::string started = "started the bundled profile service on 127.0.0.1:" +
                                std::to_string(quorlin::app::kBundledServicePort) + " (process ";
    std::string chunk;
    while (output_.find(started) == std::string::npos && script_->ReadSome(chunk, 20000)) output_ += chunk;
    const size_t at = output_.find(started);
    ASSERT_NE(at, std::string::npos) << output_;
    servicePid_ = std::stoi(output_.substr(at + started.size()));
    ASSERT_TRUE(ProcessExists(servicePid_));
    ASSERT_TRUE(WaitFor([&] { return FindWindow(kTitle, window_, windowId_); }, 15000)) << "no main window";
  }

  // The script's exit status once it has ended (within 20 s; -2 if it has not).
  int ScriptEnd() {
    std::string chunk;
    while (script_->ReadSome(chunk, 20000)) output_ += chunk;
    if (!WaitFor([&] { return script_->Ended(); }, 20000)) return -2;
    return script_->ExitStatus();
  }

  void ExpectServiceGone() {
    EXPECT_NE(output_.find("stopped the bundled profile service (process " + std::to_string(servicePid_) + ")"),
              std::string::npos)
        << output_;
    EXPECT_FALSE(ProcessExists(servicePid_)) << "the service outlived the script";
    EXPECT_FALSE(Listening(quorlin::app::kBundledServicePort));
  }

  ProgramFolder folder_;
  std::unique_ptr<SpawnedProcess> script_;
  std::string output_;
  pid_t servicePid_ = -1;
  Geometry window_;
  std::string windowId_;
};

TEST_F(RunCommand, TheCardShowsTheBundledPortraitAndTheServiceEndsWithTheTool) {
  Click(window_.x + 150, window_.y + 406);
  RunProgram({"xdotool", "type", "--delay", "40", "abc"}, nullptr, 10000);
  Click(window_.x + 536, window_.y + 406);
  std::string png;
  ASSERT_TRUE(WaitFor(
      [&] {
        png.clear();
        return RunProgram({"xclip", "-selection", "clipboard", "-t", "image/png", "-o"}, &png, 5000) == 0 &&
               !png.empty();
      },
      30000))
      << "no card on the clipboard";
  const QImage card = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
  ASSERT_EQ(card.size(), QSize(580, 385));
  EXPECT_TRUE(SameColour(card.pixel(230, 100), qRgb(255, 255, 255))) << "not this run's card: its frame is white";
  // Inside the white frame the portrait box is white unless a picture was decoded into it.
  int coloured = 0;
  for (int y = 106; y < 234; ++y) {
    for (int x = 236; x < 364; ++x) coloured += !SameColour(card.pixel(x, y), qRgb(255, 255, 255), 8);
  }
  EXPECT_GT(coloured, 128 * 128 / 2) << "no portrait in the card";

  std::string toolPid;
  ASSERT_EQ(RunProgram({"xdotool", "getwindowpid", windowId_}, &toolPid, 5000), 0);
  ASSERT_EQ(kill(std::stoi(toolPid), SIGTERM), 0);
  EXPECT_EQ(ScriptEnd(), 128 + SIGTERM) << output_;
  ExpectServiceGone();
}

TEST_F(RunCommand, ACtrlCEndsTheToolAndTheService) {
  ASSERT_EQ(kill(-script_->Pid(), SIGINT), 0);
  EXPECT_EQ(ScriptEnd(), 130) << output_;
  ExpectServiceGone();
}

TEST(CardOnDesktop, TheWindowLivesWhileTheProfileIsHeldAndInputComesAfterTheReply) {
  if (!quorlin::testing::HaveProgram("Xvfb") || !quorlin::testing::HaveProgram("xdotool")) {
    GTEST_SKIP() << "Xvfb or xdotool is not installed";
  }
  ASSERT_FALSE(PrivateDisplay().empty()) << "Xvfb did not start";
  quorlin::testing::LoopbackHttpServer server;
  server.SetReply("/home/get/panel",
                  quorlin::testing::ScriptedReply{200, {}, R"({"portrait":"p.held","tb_age":"2"})", std::chrono::seconds(5)});
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());

  const ProgramFolder folder;
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\nsave=3\r\n";
  SpawnedProcess program({(folder.Path() / "quorlin").string()},
                         {{"QUORLIN_DISPLAY", "desktop"},
                          {"QT_QPA_PLATFORM", "xcb"},
                          {"QUORLIN_PROFILE_HOST", host},
                          {"QUORLIN_PORTRAIT_HOST", host}});
  ASSERT_TRUE(program.Started());
  Geometry window;
  std::string windowId;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kTitle, window, windowId); }, 15000)) << "no main window";
  const QImage before = GrabScreen(window);

  Click(window.x + 150, window.y + 406);
  RunProgram({"xdotool", "type", "--delay", "40", "abc"}, nullptr, 10000);
  Click(window.x + 536, window.y + 406);
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return server.RequestCount() == 1; }, 5000)) << "no profile request";

  // Moved while the reply is held: the window follows and shows the card canvas there.
  Geometry moved = window;
  moved.x += 120;
  moved.y += 60;
  RunProgram({"xdotool", "windowmove", windowId, std::to_string(moved.x), std::to_string(moved.y)}, nullptr, 5000);
  ASSERT_TRUE(WaitFor([&] {
    Geometry now;
    std::string id;
    return FindWindow(kTitle, now, id) && now.x == moved.x && now.y == moved.y;
  }, 2000)) << "the window did not move";
  // Unmapped and mapped again, the window has no pixels until the program shows them anew.
  RunProgram({"xdotool", "windowunmap", "--sync", windowId}, nullptr, 5000);
  RunProgram({"xdotool", "windowmap", "--sync", windowId}, nullptr, 5000);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const QImage during = GrabScreen(moved);
  // Then a click into the ID box, two more letters and 生成, all before the reply.
  Click(moved.x + 150, moved.y + 406);
  RunProgram({"xdotool", "type", "--delay", "40", "xy"}, nullptr, 10000);
  Click(moved.x + 536, moved.y + 406);
  const auto madeInput = std::chrono::steady_clock::now();
  if (madeInput - clicked > std::chrono::milliseconds(4500)) GTEST_SKIP() << "the input came too late to be made during the wait";
  EXPECT_EQ(server.RequestCount(), 1u);  // nothing of it ran yet

  ASSERT_FALSE(during.isNull());
  ASSERT_EQ(during.size(), before.size());
  for (const QPoint p : {QPoint(5, 5), QPoint(100, 300), QPoint(520, 60), QPoint(560, 370)}) {
    EXPECT_TRUE(SameColour(during.pixel(p), before.pixel(p), 2)) << "canvas pixel " << p.x() << "," << p.y();
  }

  // After the reply the held click makes the second card, with the letters typed before it.
  ASSERT_TRUE(WaitFor([&] { return server.RequestCount() >= 3; }, 15000)) << server.RequestCount();
  const std::vector<quorlin::testing::RecordedRequest> requests = server.Requests();
  EXPECT_EQ(requests[0].query, "ie=utf-8&un=%61%62%63");
  EXPECT_EQ(requests[1].path, "/sys/portraitl/item/p.held");
  EXPECT_EQ(requests[2].query, "ie=utf-8&un=%61%62%63%78%79");
  program.Stop();
}

}  // namespace
