// The real program on the desktop backend under a private X server: a click into the ID box,
// typed text and a click on 生成 make a card for a member of the loopback profile service; the
// card reaches the desktop's clipboard as an image other programs read (xclip), and the screen
// shows the same card in the program's window. And the README's run command, scripts/run.sh,
// with no service configured: the card shows the bundled service's portrait, and the service
// the script started ends with the tool (also on Ctrl+C). While the profile request waits, the
// window is moved and still shows the card canvas; what the user does meanwhile comes after
// the reply.
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
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/card/bundled_service.h"
#include "tests/desktop/desktop_driving.h"
#include "tests/support/loopback_http_server.h"
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
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, window, program.Pid()); }, kWindowWaitMs))
      << "no main window";
  EXPECT_EQ(window.width, 580);
  EXPECT_EQ(window.height, 428);
  AskForCard(window, "abc");

  QImage card;
  ASSERT_TRUE(WaitFor([&] { return !(card = ClipboardImage()).isNull(); }, kResultWaitMs))
      << "no image on the clipboard";
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

// Whether the process has mapped a file whose path holds `name`.
bool Maps(pid_t pid, const std::string& name) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find(name) != std::string::npos) return true;
  }
  return false;
}

TEST_F(CardOnDesktop, TheHttpTransportLoadsOnceTheWindowIsShownBeforeAnyRequest) {
  Prepare({});
  if (IsSkipped() || HasFatalFailure()) return;
  const TemporaryFolder folder("quorlin-desktop-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  SpawnedProcess program({(folder.Path() / "quorlin").string()}, ProgramEnvironment());
  ASSERT_TRUE(program.Started());
  WindowGeometry window;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, window, program.Pid()); }, kWindowWaitMs))
      << "no main window";
  EXPECT_TRUE(WaitFor([&] { return Maps(program.Pid(), "quorlin-http.so") && Maps(program.Pid(), "libcurl"); },
                      kResultWaitMs))
      << "the first click would wait for the HTTP transport to load";
  program.Stop();
}

TEST_F(CardOnDesktop, TheWindowLivesWhileTheProfileIsHeldAndInputComesAfterTheReply) {
  Prepare({});
  if (IsSkipped() || HasFatalFailure()) return;
  LoopbackHttpServer server;
  server.SetReply("/home/get/panel", ScriptedReply{200, {}, R"({"portrait":"p.held","tb_age":"2"})", std::chrono::seconds(5)});
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());

  const TemporaryFolder folder("quorlin-desktop-");
  fs::copy_file(QUORLIN_EXECUTABLE, folder.Path() / "quorlin");
  std::ofstream(folder.Path() / "quorlin.ini") << "[sz]\r\nsave=3\r\n";
  SpawnedProcess program({(folder.Path() / "quorlin").string()},
                         {{"QUORLIN_DISPLAY", "desktop"},
                          {"QT_QPA_PLATFORM", "xcb"},
                          {"QUORLIN_PROFILE_HOST", host},
                          {"QUORLIN_PORTRAIT_HOST", host}});
  ASSERT_TRUE(program.Started());
  WindowGeometry window;
  ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, window, program.Pid()); }, kWindowWaitMs))
      << "no main window";
  int argc = 1;
  char name[] = "card_on_desktop_test";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  auto grab = [&](const WindowGeometry& area) {
    return screen->grabWindow(0, area.x, area.y, area.width, area.height).toImage();
  };
  const QImage before = grab(window);

  AskForCard(window, "abc");
  const auto clicked = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitFor([&] { return server.RequestCount() == 1; }, 5000)) << "no profile request";

  // Moved while the reply is held: the window follows and shows the card canvas there.
  WindowGeometry moved = window;
  moved.x += 120;
  moved.y += 60;
  const std::string windowId = std::to_string(window.id);
  RunProgram({"xdotool", "windowmove", windowId, std::to_string(moved.x), std::to_string(moved.y)}, nullptr, 5000);
  ASSERT_TRUE(WaitFor([&] {
    WindowGeometry now;
    return FindWindow(kMainWindowTitle, now, program.Pid()) && now.x == moved.x && now.y == moved.y;
  }, 2000)) << "the window did not move";
  // Unmapped and mapped again, the window has no pixels until the program shows them anew.
  RunProgram({"xdotool", "windowunmap", "--sync", windowId}, nullptr, 5000);
  RunProgram({"xdotool", "windowmap", "--sync", windowId}, nullptr, 5000);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const QImage during = grab(moved);
  // Then a click into the ID box, two more letters and 生成, all before the reply.
  Click(moved.x + 150, moved.y + 406);
  TypeText("xy");
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
  ASSERT_TRUE(WaitFor([&] { return server.RequestCount() >= 3; }, kResultWaitMs)) << server.RequestCount();
  const std::vector<RecordedRequest> requests = server.Requests();
  EXPECT_EQ(requests[0].query, "ie=utf-8&un=%61%62%63");
  EXPECT_EQ(requests[1].path, "/sys/portraitl/item/p.held");
  EXPECT_EQ(requests[2].query, "ie=utf-8&un=%61%62%63%78%79");
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
    const std::string missing = MissingProgram({"Xvfb", "xdotool", "xclip", "setsid"});
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    const std::string noServer = UsePrivateXServer();
    ASSERT_TRUE(noServer.empty()) << noServer;
    for (const char* variable : {"QUORLIN_PROFILE_HOST", "QUORLIN_PORTRAIT_HOST"}) unsetenv(variable);
    ASSERT_TRUE(WaitFor([] { return !Listening(quorlin::app::kBundledServicePort); }, 30000))
        << "another program listens on port " << quorlin::app::kBundledServicePort;

    for (const char* program : {QUORLIN_EXECUTABLE, QUORLIN_PROFILE_SERVICE}) {
      fs::copy_file(program, folder_.Path() / fs::path(program).filename());
    }
    script_ = std::make_unique<SpawnedProcess>(
        std::vector<std::string>{"setsid", "bash", QUORLIN_SOURCE_DIR "/scripts/run.sh"},
        std::vector<std::pair<std::string, std::string>>{
            {"QUORLIN_BUILD", folder_.Path().string()}, {"QUORLIN_DISPLAY", "desktop"}, {"QT_QPA_PLATFORM", "xcb"}});
    ASSERT_TRUE(script_->Started());
    const std::string started =
        "started the bundled profile service on 127.0.0.1:" + std::to_string(quorlin::app::kBundledServicePort) +
        " (process ";
    std::string chunk;
    while (output_.find(started) == std::string::npos && script_->ReadSome(chunk, 20000)) output_ += chunk;
    const size_t at = output_.find(started);
    ASSERT_NE(at, std::string::npos) << output_;
    servicePid_ = std::stoi(output_.substr(at + started.size()));
    ASSERT_TRUE(ProcessExists(servicePid_));
    ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, window_); }, kWindowWaitMs)) << "no main window";
  }

  // The whole session, the tool too, ends with the test.
  void TearDown() override {
    if (script_ && !script_->Ended()) kill(-script_->Pid(), SIGTERM);
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

  TemporaryFolder folder_{"quorlin-run-"};
  std::unique_ptr<SpawnedProcess> script_;
  std::string output_;
  pid_t servicePid_ = -1;
  WindowGeometry window_;
};

TEST_F(RunCommand, TheCardShowsTheBundledPortraitAndTheServiceEndsWithTheTool) {
  AskForCard(window_, "abc");
  QImage card;
  ASSERT_TRUE(WaitFor([&] { return !(card = ClipboardImage()).isNull(); }, kResultWaitMs))
      << "no card on the clipboard";
  ASSERT_EQ(card.size(), QSize(580, 385));
  EXPECT_TRUE(SameColour(card.pixel(230, 100), qRgb(255, 255, 255))) << "not this run's card: its frame is white";
  // Inside the white frame the portrait box is white unless a picture was decoded into it.
  int coloured = 0;
  for (int y = 106; y < 234; ++y) {
    for (int x = 236; x < 364; ++x) coloured += !SameColour(card.pixel(x, y), qRgb(255, 255, 255), 8);
  }
  EXPECT_GT(coloured, 128 * 128 / 2) << "no portrait in the card";

  std::string toolPid;
  ASSERT_EQ(RunProgram({"xdotool", "getwindowpid", std::to_string(window_.id)}, &toolPid, 5000), 0);
  ASSERT_EQ(kill(std::stoi(toolPid), SIGTERM), 0);
  EXPECT_EQ(ScriptEnd(), 128 + SIGTERM) << output_;
  ExpectServiceGone();
}

TEST_F(RunCommand, ACtrlCEndsTheToolAndTheService) {
  ASSERT_EQ(kill(-script_->Pid(), SIGINT), 0);
  EXPECT_EQ(ScriptEnd(), 130) << output_;
  ExpectServiceGone();
}

}  // namespace
}  // namespace quorlin::testing
