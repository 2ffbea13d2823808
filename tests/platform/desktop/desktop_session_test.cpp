// The desktop display under a private X server: our window on the X screen, input from
// xdotool, and the clipboard shared with xclip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display/desktop/desktop_display.h"
#include "platform/display/display_backend.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/global_memory.h"
#include "platform/user/control_classes.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "tests/platform/desktop/xvfb_session.h"

namespace quorlin::platform {
namespace {

using testing::PumpUntil;
using testing::RunWhilePumping;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr char kTitle[] = "Quorlin desktop test";

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> g_seen;

LRESULT TestProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC hdc = BeginPaint(hwnd, &paint);
      RECT client;
      GetClientRect(hwnd, &client);
      const HBRUSH red = CreateSolidBrush(kRed);
      FillRect(hdc, &client, red);
      DeleteObject(red);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CHAR:
    case WM_MOVE: g_seen.push_back(Seen{message, wParam, lParam}); break;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool SawCount(UINT message, size_t count) {
  size_t n = 0;
  for (const Seen& seen : g_seen) n += seen.message == message;
  return n >= count;
}

class DesktopSession : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string display = testing::StartXvfb();
    if (display.empty()) return;
    setenv("DISPLAY", display.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("QUORLIN_DISPLAY", "desktop", 1);
    RegisterDesktopDisplay();
    RegisterControlClasses();
    if (std::strcmp(CurrentDisplay().Name(), "desktop") != 0) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &TestProcedure;
    windowClass.lpszClassName = "QuorlinDesktopTest";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "QuorlinDesktopTest", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              200, 150, 320, 240, 0, 0, 0, nullptr);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
  }

  void SetUp() override {
    if (!window_) GTEST_SKIP() << "no Xvfb, or the desktop display did not come up";
    g_seen.clear();
  }

  static POINT ClientOnScreen(int x, int y) {
    POINT p{x, y};
    ClientToScreen(window_, &p);
    return p;
  }

  static bool ClientIsRedOnScreen() {
    const POINT corner = ClientOnScreen(0, 0);
    RECT client;
    GetClientRect(window_, &client);
    std::vector<uint32_t> pixels;
    if (!ReadDesktopPixels(RECT{corner.x, corner.y, corner.x + client.right, corner.y + client.bottom}, pixels)) {
      return false;
    }
    for (uint32_t p : pixels) {
      if (p != 0xFF0000) return false;
    }
    return true;
  }

  static inline HWND window_ = 0;
};

TEST_F(DesktopSession, TheWindowsPixelsAppearOnTheXScreen) {
  EXPECT_TRUE(PumpUntil(ClientIsRedOnScreen, 10000));
  // Just outside the client area is the (absent) window manager's root, not our red.
  const POINT outside = ClientOnScreen(-1, -1);
  std::vector<uint32_t> pixel;
  ASSERT_TRUE(ReadDesktopPixels(RECT{outside.x, outside.y, outside.x + 1, outside.y + 1}, pixel));
  EXPECT_NE(pixel[0], 0xFF0000u);
  // A second window with built-in controls, for whoever looks at the screenshot.
  const HWND controls = CreateWindowExA(0, "QuorlinDesktopTest", "controls", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                        600, 150, 300, 120, 0, 0, 0, nullptr);
  CreateWindowExA(0, "STATIC", "ID:", WS_CHILD | WS_VISIBLE, 10, 10, 60, 24, controls, 0, 0, nullptr);
  CreateWindowExA(0, "BUTTON", "\xC9\xFA\xB3\xC9", WS_CHILD | WS_VISIBLE, 80, 10, 80, 24, controls, 0, 0, nullptr);  // 生成
  PumpUntil([] { return false; }, 500);
  // QUORLIN_DESKTOP_SCREENSHOT names a file to keep; otherwise it goes to a fresh directory.
  const char* keep = std::getenv("QUORLIN_DESKTOP_SCREENSHOT");
  std::string scratch = (std::filesystem::temp_directory_path() / "quorlin_desktop_XXXXXX").string();
  ASSERT_TRUE(keep || mkdtemp(scratch.data()));
  const std::string path = keep ? keep : scratch + "/screen.png";
  EXPECT_TRUE(SaveDesktopScreenshot(path));
  if (!keep) std::filesystem::remove_all(scratch);
  DestroyWindow(controls);
}

TEST_F(DesktopSession, ClicksAndTypedTextArriveAsMessages) {
  if (!testing::HaveProgram("xdotool")) GTEST_SKIP() << "xdotool is missing";
  ASSERT_TRUE(PumpUntil(ClientIsRedOnScreen, 10000));
  const POINT at = ClientOnScreen(40, 30);
  ASSERT_EQ(RunWhilePumping({"xdotool", "mousemove", "--sync", std::to_string(at.x), std::to_string(at.y), "click", "1"},
                            nullptr, 10000),
            0);
  ASSERT_TRUE(PumpUntil([] { return SawCount(WM_LBUTTONUP, 1); }, 5000));
  ASSERT_TRUE(SawCount(WM_LBUTTONDOWN, 1));
  for (const Seen& seen : g_seen) {
    if (seen.message != WM_LBUTTONDOWN) continue;
    EXPECT_EQ(GET_X_LPARAM(seen.lParam), 40);
    EXPECT_EQ(GET_Y_LPARAM(seen.lParam), 30);
  }

  g_seen.clear();
  ASSERT_EQ(RunWhilePumping({"xdotool", "type", "--delay", "30", "aB1 ;"}, nullptr, 10000), 0);
  ASSERT_TRUE(PumpUntil([] { return SawCount(WM_CHAR, 5); }, 5000));
  std::string typed;
  for (const Seen& seen : g_seen) {
    if (seen.message == WM_CHAR) typed += static_cast<char>(seen.wParam);
  }
  EXPECT_EQ(typed, "aB1 ;");  // each character once, capitals as typed
}

TEST_F(DesktopSession, AWindowManagerMoveBecomesOurMove) {
  if (!testing::HaveProgram("xdotool")) GTEST_SKIP() << "xdotool is missing";
  ASSERT_TRUE(PumpUntil(ClientIsRedOnScreen, 10000));
  ASSERT_EQ(RunWhilePumping({"xdotool", "search", "--name", kTitle, "windowmove", "400", "300"}, nullptr, 10000), 0);
  EXPECT_TRUE(PumpUntil([] { return ClientOnScreen(0, 0).x == 400 && ClientOnScreen(0, 0).y == 300; }, 5000));
  EXPECT_TRUE(SawCount(WM_MOVE, 1));
}

TEST_F(DesktopSession, OurBitmapOnTheClipboardPastesAsPng) {
  if (!testing::HaveProgram("xclip")) GTEST_SKIP() << "xclip is missing";
  const HDC screen = GetDC(0);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 8);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  const RECT all{0, 0, 16, 8};
  FillRect(memory, &all, blue);
  SelectObject(memory, old);
  DeleteObject(blue);
  DeleteDC(memory);
  ReleaseDC(0, screen);
  ASSERT_TRUE(OpenClipboard(window_));
  EmptyClipboard();
  ASSERT_TRUE(SetClipboardData(CF_BITMAP, bitmap));  // the clipboard owns it from here
  ASSERT_TRUE(CloseClipboard());

  std::string targets;
  ASSERT_EQ(RunWhilePumping({"xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"}, &targets, 10000), 0);
  EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
  EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;
  std::string png;
  ASSERT_EQ(RunWhilePumping({"xclip", "-selection", "clipboard", "-t", "image/png", "-o"}, &png, 10000), 0);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  // The width and height in the IHDR chunk.
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(static_cast<unsigned char>(png[19]), 16);
  EXPECT_EQ(static_cast<unsigned char>(png[23]), 8);
}

TEST_F(DesktopSession, TextCopiedByAnotherProgramReachesCfText) {
  if (!testing::HaveProgram("xclip")) GTEST_SKIP() << "xclip is missing";
  ASSERT_EQ(RunWhilePumping({"sh", "-c", "printf 'hello \\344\\270\\255' | xclip -selection clipboard -i 2>/dev/null"}, nullptr, 10000), 0);
  // Our side learns that it lost the clipboard.
  PumpUntil([] { return false; }, 300);
  ASSERT_TRUE(OpenClipboard(window_));
  const HANDLE data = GetClipboardData(CF_TEXT);
  std::string text;
  if (data) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  EXPECT_EQ(text, "hello \xD6\xD0");  // 中 in GBK
}

}  // namespace
}  // namespace quorlin::platform
