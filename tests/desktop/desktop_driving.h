// Driving real programs on a private X server for the desktop tests: finding a window by its
// title, clicking and typing with xdotool, reading the clipboard's image with xclip, and
// waiting for a condition within a bound.
#pragma once

#include <QImage>
#include <QRgb>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/background_program.h"
#include "tests/support/temporary_folder.h"

namespace quorlin::testing {

inline constexpr const char* kMainWindowTitle = "Quorlin    - by Tamsk";

// Starts Xvfb and makes its display this process's DISPLAY (WAYLAND_DISPLAY is removed, so
// children use X); empty, or the reason, when it did not start.
std::string UsePrivateXServer();

// quorlin-profile-service on a loopback port; *host is "127.0.0.1:PORT". Null, with the
// reason in *error, when it did not start.
std::unique_ptr<BackgroundProgram> StartProfileService(std::string* host, std::string* error);

struct WindowGeometry {
  int x = 0, y = 0, width = 0, height = 0;
  unsigned long id = 0;  // the X window
};

// The geometry xdotool reports for the first window with exactly this title.
bool FindWindow(const std::string& title, WindowGeometry& geometry);
// The same for the first window whose class name (WM_CLASS) this regular expression matches.
bool FindWindowOfClass(const std::string& windowClass, WindowGeometry& geometry);

// Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW).
bool RequestClose(const WindowGeometry& window);

void Click(int x, int y);
void Key(const std::string& keys);  // xdotool key names, such as "Down Return"
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

}  // namespace quorlin::testing
