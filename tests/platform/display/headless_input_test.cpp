// Input injected into the headless display becomes mouse and keyboard messages.
#include <cstring>

#include "platform/display/headless_display.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_frame.h"
#include "tests/platform/user/geometry_test_support.h"

namespace quorlin::testing {
namespace {

using platform::HeadlessDisplay;
using platform::MouseButton;

class HeadlessInputTest : public RecordingTest {
 protected:
  HeadlessDisplay& Display() { return *platform::CurrentHeadlessDisplay(); }
  // The dispatched messages of the kinds asked, for one window.
  std::vector<Recorded> Delivered(HWND hwnd, std::vector<UINT> kinds) {
    Pump();
    std::vector<Recorded> out;
    for (const Recorded& r : Take()) {
      if (r.hwnd == hwnd && std::find(kinds.begin(), kinds.end(), r.message) != kinds.end()) out.push_back(r);
    }
    return out;
  }
};

TEST(ScreenSizeTest, ParsesOnlyWellFormedSizes) {
  const struct {
    const char* text;
    bool ok;
    SIZE size;
  } rows[] = {{"800x600", true, {800, 600}}, {"1X1", true, {1, 1}},   {"800", false, {}},
              {"800x", false, {}},          {"x600", false, {}},      {"0x600", false, {}},
              {"-5x600", false, {}},        {"800x600x", false, {}},  {"99999x600", false, {}},
              {"800 x600", false, {}},      {"99999999999x1", false, {}}};
  for (const auto& row : rows) {
    SIZE size{7, 7};
    EXPECT_EQ(platform::ParseScreenSize(row.text, size), row.ok) << row.text;
    if (row.ok) {
      EXPECT_EQ(size.cx, row.size.cx) << row.text;
      EXPECT_EQ(size.cy, row.size.cy) << row.text;
    } else {
      EXPECT_EQ(size.cx, 7) << row.text;
    }
  }
  EXPECT_FALSE(platform::ParseScreenSize(nullptr, *std::array{SIZE{}}.data()));
}

TEST_F(HeadlessInputTest, TheDefaultScreenIsReadable) {
  EXPECT_STREQ(Display().Name(), "headless");
  EXPECT_EQ(Display().ScreenSize().cx, GetSystemMetrics(SM_CXSCREEN));
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 20, 30, 40, 50);
  Paints(top, RGB(1, 2, 3));
  Pump();
  EXPECT_EQ(Display().PixelAt(25, 35), RGB(1, 2, 3));
  const std::vector<uint32_t> pixels = Display().ReadScreen();
  ASSERT_EQ(pixels.size(), static_cast<size_t>(Display().ScreenSize().cx * Display().ScreenSize().cy));
  EXPECT_EQ(pixels[static_cast<size_t>(35 * Display().ScreenSize().cx + 25)], 0x010203u);
  EXPECT_EQ(Display().PixelAt(-1, 0), COLORREF{0xFFFFFFFF});
}

TEST_F(HeadlessInputTest, ClicksGoToTheWindowUnderThePointerInClientCoordinates) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, 50, 50, 20, 20, top);
  Pump();
  Take();
  Display().Click(155, 157);
  auto got = Delivered(child, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(got[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(got[1].wParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(GET_X_LPARAM(got[1].lParam), 5);
  EXPECT_EQ(GET_Y_LPARAM(got[1].lParam), 7);
  EXPECT_EQ(got[2].message, WM_LBUTTONUP);
  EXPECT_EQ(got[2].wParam & MK_LBUTTON, 0u);
  EXPECT_EQ(GetActiveWindow(), top) << "a press activates its top-level window";

  Display().Click(155, 157);  // again at once: a double click for a CS_DBLCLKS class
  got = Delivered(child, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, WM_LBUTTONDBLCLK);
  Display().Click(155, 157, MouseButton::Right);
  got = Delivered(child, {WM_RBUTTONDOWN, WM_RBUTTONUP});
  EXPECT_EQ(got.size(), 2u);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 155);
}

TEST_F(HeadlessInputTest, TheCaptureGetsTheMouseWhereverItIs) {
  const HWND left = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  const HWND right = Make(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
  Pump();
  Take();
  EXPECT_EQ(SetCapture(left), HWND{0});
  Display().MoveMouse(250, 10);
  Display().PressButton();
  Display().ReleaseButton();
  auto got = Delivered(left, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 250) << "client coordinates of the capture, outside it";
  EXPECT_EQ(GetCapture(), left);
  EXPECT_EQ(SetCapture(right), left);
  Pump();
  const auto log = Take();
  const Recorded* changed = Last(log, left, WM_CAPTURECHANGED);
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(static_cast<HWND>(changed->lParam), right);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), HWND{0});
  Display().MoveMouse(50, 50);
  EXPECT_EQ(Delivered(left, {WM_MOUSEMOVE}).size(), 1u) << "after release, the window under the pointer";
}

TEST_F(HeadlessInputTest, KeysAndTextGoToTheFocusWindow) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  const HWND edit = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top);
  SetFocus(edit);
  Pump();
  Take();
  Display().TypeKey('A');
  auto got = Delivered(edit, {WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, WM_KEYDOWN);
  EXPECT_EQ(got[0].wParam, WPARAM{'A'});
  EXPECT_EQ(got[1].message, WM_CHAR);
  EXPECT_EQ(got[2].message, WM_KEYUP);
  EXPECT_NE(static_cast<uint64_t>(got[2].lParam) & (1u << 31), 0u);

  Display().PressKey(VK_SHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  Display().ReleaseKey(VK_SHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);

  // "中a": a double-byte character arrives as its two bytes, typed or committed.
  const char text[] = "\xD6\xD0" "a";
  for (bool committed : {false, true}) {
    SCOPED_TRACE(committed ? "committed" : "typed");
    Take();
    if (committed) {
      Display().CommitText(text);
    } else {
      Display().TypeText(text);
    }
    got = Delivered(edit, {WM_CHAR});
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].wParam, WPARAM{0xD6});
    EXPECT_EQ(got[1].wParam, WPARAM{0xD0});
    EXPECT_EQ(got[2].wParam, WPARAM{'a'});
  }

  SetFocus(0);
  Take();
  Display().TypeKey('B');
  EXPECT_EQ(Delivered(top, {WM_KEYDOWN}).size(), 1u) << "without a focus, the active window";
}

TEST_F(HeadlessInputTest, TheCloseButtonSendsClose) {
  const HWND top = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 200, 100);
  Pump();
  Take();
  RECT r;
  GetWindowRect(top, &r);
  Display().Click(r.right - 10, r.top + 10);
  Pump();
  EXPECT_FALSE(IsWindow(top)) << "WM_CLOSE's default handling destroyed it";
}

TEST_F(HeadlessInputTest, TheMinimizeBoxMinimizesAndAMissingMaximizeBoxDoesNothing) {
  const HWND top = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 0, 0, 200, 100);
  Pump();
  RECT r;
  GetWindowRect(top, &r);
  const auto find = [&](LRESULT part) {
    for (int x = r.right - 1; x > r.left; --x) {
      if (SendMessageA(top, WM_NCHITTEST, 0, MAKELPARAM(x, r.top + 10)) == part) return x;
    }
    return -1;
  };
  const int minimize = find(HTMINBUTTON), maximize = find(HTMAXBUTTON), close = find(HTCLOSE);
  ASSERT_GT(minimize, 0);
  ASSERT_GT(maximize, minimize) << "minimize, maximize and close from left to right";
  ASSERT_GT(close, maximize);
  Display().Click(maximize - 2, r.top + 10);
  Pump();
  EXPECT_FALSE(IsZoomed(top));
  Display().Click(minimize - 2, r.top + 10);
  Pump();
  EXPECT_TRUE(IsIconic(top));
  ShowWindow(top, SW_RESTORE);
  EXPECT_FALSE(IsIconic(top));
}

}  // namespace
}  // namespace quorlin::testing
