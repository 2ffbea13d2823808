#include "tests/desktop/desktop_driving.h"

#include <algorithm>
#include <cstdlib>

#include "tests/desktop/x_connection.h"
#include "tests/platform/desktop/xvfb_session.h"
#include "tests/support/spawned_process.h"

namespace quorlin::testing {

std::string UsePrivateXServer(int width, int height) {
  // A server of its own for each test: the keyboard focus and the windows a test leaves behind
  // must not steer the next one's clicks and keys.
  const std::string display = StartXvfb(width, height);
  if (display.empty()) return "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  return {};
}

namespace {

// The geometry xdotool reports for the X window of that id (in decimal).
bool GeometryOf(const std::string& id, WindowGeometry& geometry) {
  std::string shell;
  if (RunProgram({"xdotool", "getwindowgeometry", "--shell", id}, &shell, 5000) != 0) return false;
  auto value = [&](const std::string& key) {
    const size_t at = shell.find(key + "=");
    return at == std::string::npos ? -1 : std::stoi(shell.substr(at + key.size() + 1));
  };
  geometry = {value("X"), value("Y"), value("WIDTH"), value("HEIGHT"), std::stoul(id)};
  return geometry.width > 0;
}

// The geometry of the first shown window `xdotool search` finds with these arguments.
bool FindWindowBy(const std::vector<std::string>& search, WindowGeometry& geometry) {
  // Only a mapped window takes clicks.
  std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible"};
  argv.insert(argv.end(), search.begin(), search.end());
  std::string found;
  if (RunProgram(argv, &found, 5000) != 0) return false;
  const std::string id = found.substr(0, found.find('\n'));
  return !id.empty() && GeometryOf(id, geometry);
}

}  // namespace

bool FindWindow(const std::string& title, WindowGeometry& geometry, int pid) {
  std::vector<std::string> search = {"--name", "^" + title + "$"};
  if (pid > 0) search.insert(search.begin(), {"--all", "--pid", std::to_string(pid)});
  return FindWindowBy(search, geometry);
}

bool FindWindowOfClass(const std::string& windowClass, WindowGeometry& geometry) {
  return FindWindowBy({"--classname", windowClass}, geometry);
}

bool RequestClose(const WindowGeometry& window) {
  const XConnection x11;
  if (!x11.Open()) return false;
  const auto id = static_cast<xcb_window_t>(window.id);
  return x11.SendMessage(id, "WM_PROTOCOLS", {x11.Atom("WM_DELETE_WINDOW"), XCB_CURRENT_TIME, 0, 0, 0});
}

std::vector<WindowGeometry> ShownWindows(int pid) {
  std::string found;
  if (RunProgram({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}, &found, 5000) != 0) return {};
  std::vector<WindowGeometry> windows;
  size_t at = 0;
  while (at < found.size()) {
    const size_t end = std::min(found.find('\n', at), found.size());
    WindowGeometry geometry;
    if (end > at && GeometryOf(found.substr(at, end - at), geometry)) windows.push_back(geometry);
    at = end + 1;
  }
  return windows;
}

bool WaitForNewWindow(int pid, const std::vector<WindowGeometry>& known, WindowGeometry& geometry, int timeoutMs) {
  auto isKnown = [&](const WindowGeometry& window) {
    return std::any_of(known.begin(), known.end(), [&](const WindowGeometry& k) { return k.id == window.id; });
  };
  const bool appeared = WaitFor(
      [&] {
        for (const WindowGeometry& window : ShownWindows(pid)) {
          if (!isKnown(window)) {
            geometry = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  if (!appeared) return false;
  // A window may be placed or sized once more right after it is mapped.
  WindowGeometry settled = geometry;
  for (int look = 0; look < 10; ++look) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!GeometryOf(std::to_string(geometry.id), settled)) return false;
    if (settled.x == geometry.x && settled.y == geometry.y && settled.width == geometry.width &&
        settled.height == geometry.height) {
      return true;
    }
    geometry = settled;
  }
  return true;
}

bool WaitUntilGone(int pid, const WindowGeometry& window, int timeoutMs) {
  return WaitFor(
      [&] {
        const std::vector<WindowGeometry> shown = ShownWindows(pid);
        return std::none_of(shown.begin(), shown.end(), [&](const WindowGeometry& w) { return w.id == window.id; });
      },
      timeoutMs);
}

QImage ScreenArea(const WindowGeometry& area) {
  const XConnection x11;
  if (!x11.Open() || area.width <= 0 || area.height <= 0) return {};
  xcb_get_image_reply_t* reply = xcb_get_image_reply(
      x11.Get(),
      xcb_get_image(x11.Get(), XCB_IMAGE_FORMAT_Z_PIXMAP, x11.Root(), static_cast<int16_t>(area.x),
                    static_cast<int16_t>(area.y), static_cast<uint16_t>(area.width),
                    static_cast<uint16_t>(area.height), ~0u),
      nullptr);
  QImage image;
  // A 24-bit screen keeps each pixel in 32 bits, red in the third byte, as Format_RGB32 does.
  if (reply && reply->depth == 24 &&
      xcb_get_image_data_length(reply) == static_cast<int>(4 * area.width * area.height)) {
    image = QImage(xcb_get_image_data(reply), area.width, area.height, 4 * area.width, QImage::Format_RGB32).copy();
  }
  std::free(reply);
  return image;
}

void Click(int x, int y) {
  RunProgram({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}, nullptr, 5000);
}

void TypeText(const std::string& text) { RunProgram({"xdotool", "type", "--delay", "40", text}, nullptr, 10000); }

void AskForCard(const WindowGeometry& window, const std::string& id, int scale) {
  // The ID box at (88, 394) and 生成 at (496, 394) in the client area, both 24 high.
  Click(window.x + 150 * scale, window.y + 406 * scale);
  TypeText(id);
  Click(window.x + 536 * scale, window.y + 406 * scale);
}

QImage ClipboardImage() {
  std::string targets;
  if (RunProgram({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"}, &targets, 3000) != 0) return {};
  if (targets.find("image/png") == std::string::npos) return {};
  std::string png;
  if (RunProgram({"xclip", "-selection", "clipboard", "-t", "image/png", "-o"}, &png, 5000) != 0) return {};
  return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
}

bool SameColour(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

void DesktopTest::Prepare(std::initializer_list<const char*> tools) {
  std::vector<const char*> needed = {"Xvfb", "xdotool"};
  needed.insert(needed.end(), tools.begin(), tools.end());
  for (const char* tool : needed) {
    if (!MissingProgram({tool}).empty()) GTEST_SKIP() << tool << " is not installed";
  }
  const std::string noServer = UsePrivateXServer();
  ASSERT_TRUE(noServer.empty()) << noServer;
  std::string error;
  service_ = BackgroundProgram::Start(QUORLIN_PROFILE_SERVICE, {"--port", "0"}, "listening on ", &error);
  ASSERT_TRUE(service_) << error;
  host_ = "127.0.0.1:" + std::to_string(service_->ReadyPort());
}

std::vector<std::pair<std::string, std::string>> DesktopTest::ProgramEnvironment() const {
  return {{"QUORLIN_DISPLAY", "desktop"},
          {"QT_QPA_PLATFORM", "xcb"},
          {"QUORLIN_PROFILE_HOST", host_},
          {"QUORLIN_PORTRAIT_HOST", host_}};
}

}  // namespace quorlin::testing
