// Driving real programs on a private X server for the desktop tests: finding a window by its
// title, clicking and typing with xdotool, reading the clipboard's image with xclip, and
// waiting for a condition within a bound.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QRgb>
#include <chrono>
#include <filesystem>
#include <memory>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/background_program.h"
#include "tests/support/temporary_folder.h"

namespace quorlin::testing {

inline constexpr const char* kMainWindowTitle = "Quorlin    - by Tamsk";

// Starts Xvfb with a screen of width × height and makes its display this process's DISPLAY
// (WAYLAND_DISPLAY is removed, so children use X); empty, or the reason, when it did not start.
std::string UsePrivateXServer(int width = 1280, int height = 1024);

struct WindowGeometry {
  int x = 0, y = 0, width = 0, height = 0;
  unsigned long id = 0;  // the X window
};

// The geometry xdotool reports for the first shown (mapped) window with exactly this title, of
// the process `pid` when it is given (the X server is shared by the tests of a process, and a
// window another test left behind may bear the same title).
bool FindWindow(const std::string& title, WindowGeometry& geometry, int pid = 0);
// The same for the first window whose class name (WM_CLASS) this regular expression matches.
bool FindWindowOfClass(const std::string& windowClass, WindowGeometry& geometry);

// The shown windows of the process `pid`, pop-ups included.
std::vector<WindowGeometry> ShownWindows(int pid);
// Waits for a shown window of `pid` that is none of `known`, and then for its place and size to
// settle; whether one came within timeoutMs.
bool WaitForNewWindow(int pid, const std::vector<WindowGeometry>& known, WindowGeometry& geometry, int timeoutMs);
// Whether the window was no longer shown within timeoutMs.
bool WaitUntilGone(int pid, const WindowGeometry& window, int timeoutMs);

// The screen's pixels in that area, read from the X server; a null image on failure.
QImage ScreenArea(const WindowGeometry& area);

// Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW).
bool RequestClose(const WindowGeometry& window);

void Click(int x, int y);
void TypeText(const std::string& text);

// In the main window at `window`, shown at `scale` times its size: a click into the ID box,
// the ID typed, and a click on 生成.
void AskForCard(const WindowGeometry& window, const std::string& id, int scale = 1);

// The clipboard's image/png, decoded; a null image when there is none.
QImage ClipboardImage();

// Calls condition() every 100 ms until it is true or timeoutMs passed; its last answer.
template <class Condition>
bool WaitFor(Condition condition, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return condition();
}

bool SameColour(QRgb a, QRgb b, int tolerance = 0);

// A test of the real program on the desktop: a private X server and the loopback profile
// service. Waits are generous: the machine may be busy with other work.
class DesktopTest : public ::testing::Test {
 protected:
  // Skips the test when one of the tools is missing (Xvfb and xdotool are always needed); then
  // starts the X server and the service, failing the test when either does not start. The
  // caller returns when IsSkipped() or HasFatalFailure() afterwards.
  void Prepare(std::initializer_list<const char*> tools);

  // The program's environment for the desktop display on X, its services on the loopback one.
  std::vector<std::pair<std::string, std::string>> ProgramEnvironment() const;

  std::string host_;
  std::unique_ptr<BackgroundProgram> service_;
};

inline constexpr int kWindowWaitMs = 60000;  // a program's window to show
inline constexpr int kResultWaitMs = 60000;  // a card or a file after the click that makes it

}  // namespace quorlin::testing
