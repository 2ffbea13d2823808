#include "tests/desktop/desktop_driving.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "tests/support/spawned_process.h"
#include "tests/platform/desktop/xvfb_session.h"

namespace quorlin::testing {

std::string UsePrivateXServer() {
  // A server of its own for each test: the keyboard focus and the windows a test leaves behind
  // must not steer the next one's clicks and keys.
  const std::string display = StartXvfb();
  if (display.empty()) return "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  return {};
}

namespace {

// The geometry of the first shown window `xdotool search` finds with these arguments.
bool FindWindowBy(const std::vector<std::string>& search, WindowGeometry& geometry) {
  // Only a mapped window takes clicks.
  std::vector<std::string> argv = {"xdotool", "search", "--onlyvisible"};
  argv.insert(argv.end(), search.begin(), search.end());
  std::string found;
  if (RunProgram(argv, &found, 5000) != 0) return false;
  const std::string id = found.substr(0, found.find('\n'));
  if (id.empty()) return false;
  std::string shell;
  if (RunProgram({"xdotool", "getwindowgeometry", "--shell", id}, &shell, 5000) != 0) return false;
  auto value = [&](const std::string& key) {
    const size_t at = shell.find(key + "=");
    return at == std::string::npos ? -1 : std::stoi(shell.substr(at + key.size() + 1));
  };
  geometry = {value("X"), value("Y"), value("WIDTH"), value("HEIGHT"), std::stoul(id)};
  return geometry.width > 0;
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

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

}  // namespace

bool RequestClose(const WindowGeometry& window) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return false;
  }
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = static_cast<xcb_window_t>(window.id);
  message.type = Atom(connection, "WM_PROTOCOLS");
  message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  const bool sent = xcb_flush(connection) > 0;
  xcb_disconnect(connection);
  return sent;
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
