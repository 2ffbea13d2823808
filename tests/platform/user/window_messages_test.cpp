// Messages the window core sends around size and frame changes, capture per thread, cursors,
// and tab expansion in DrawTextA.
#include <thread>

#include "platform/gdi/gdi.h"
#include "platform/user/cursors.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/input.h"
#include "platform/user/input_injection.h"
#include "platform/user/window_geometry.h"
#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

class WindowMessages : public WindowTest {};

RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

TEST_F(WindowMessages, MinMaxInfoClampsSizeChanges) {
  int asked = 0;
  Logged().hook = [&](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_GETMINMAXINFO) return false;
    ++asked;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = POINT{200, 150};
    info->ptMaxTrackSize = POINT{400, 300};
    result = 0;
    return true;
  };
  const HWND hwnd = Keep(MakeWindow("main"));
  struct Row {
    int width, height, expectWidth, expectHeight;
  };
  for (const Row& row : {Row{50, 50, 200, 150}, Row{1000, 1000, 400, 300}, Row{250, 200, 250, 200}}) {
    SetWindowPos(hwnd, 0, 10, 10, row.width, row.height, SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT r = WindowRectOf(hwnd);
    EXPECT_EQ(r.right - r.left, row.expectWidth);
    EXPECT_EQ(r.bottom - r.top, row.expectHeight);
  }
  EXPECT_EQ(asked, 3);
  SetWindowPos(hwnd, 0, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(asked, 3);  // a move alone does not ask

  // A pop-up without a sizing frame is not asked and may take any size.
  const HWND popup = Keep(MakeWindow("popup", WS_POPUP));
  MoveWindow(popup, 0, 0, 5, 5, FALSE);
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(WindowRectOf(popup).right, 5);
}

TEST_F(WindowMessages, NcCalcSizeOnCreationAndWhenTheFrameChanges) {
  std::vector<std::string> order;
  RECT created{};
  RECT proposed{};
  RECT answered{};
  Logged().hook = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NCCREATE) order.push_back("NCCREATE");
    if (message == WM_CREATE) order.push_back("CREATE");
    if (message != WM_NCCALCSIZE) return false;
    order.push_back(wParam ? "NCCALCSIZE TRUE" : "NCCALCSIZE FALSE");
    if (!wParam) {
      created = *reinterpret_cast<RECT*>(lParam);
    } else {
      auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
      proposed = params->rgrc[0];
      result = DefWindowProcA(hwnd, message, wParam, lParam);
      answered = params->rgrc[0];
      return true;
    }
    return false;
  };
  const HWND hwnd = Keep(MakeWindow("framed"));
  EXPECT_EQ(order, (std::vector<std::string>{"NCCREATE", "NCCALCSIZE FALSE", "CREATE"}));
  EXPECT_EQ(created.right - created.left, 100);
  EXPECT_EQ(created.bottom - created.top, 50);

  order.clear();
  SetWindowPos(hwnd, 0, 30, 40, 300, 200, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(order, (std::vector<std::string>{"NCCALCSIZE TRUE"}));
  EXPECT_EQ(proposed.left, 30);
  EXPECT_EQ(proposed.bottom, 240);
  // The default answer is the client area the window layer gives the window.
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(answered.right - answered.left, client.right);
  EXPECT_EQ(answered.bottom - answered.top, client.bottom);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  EXPECT_EQ(answered.left, origin.x);
  EXPECT_EQ(answered.top, origin.y);
}

TEST_F(WindowMessages, CaptureBelongsToEachThreadAndGetsTheMouse) {
  const HWND captured = Keep(MakeWindow("captured", WS_POPUP | WS_VISIBLE));
  MoveWindow(captured, 0, 0, 50, 50, FALSE);
  EXPECT_EQ(SetCapture(captured), 0u);
  EXPECT_EQ(GetCapture(), captured);

  HWND seenOnOtherThread = 1;
  HWND otherAfterItsOwn = 0;
  std::thread([&] {
    seenOnOtherThread = GetCapture();
    const HWND own = MakeWindow("other", WS_POPUP);
    SetCapture(own);
    otherAfterItsOwn = GetCapture() == own ? own : 0;
    ReleaseCapture();
    DestroyWindow(own);
  }).join();
  EXPECT_EQ(seenOnOtherThread, 0u);
  EXPECT_NE(otherAfterItsOwn, 0u);
  EXPECT_EQ(GetCapture(), captured);  // untouched by the other thread

  // Far outside the window, the move still goes to the capture.
  platform::InjectMouseMove(POINT{700, 700});
  MSG msg;
  bool got = false;
  while (PeekMessageA(&msg, 0, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    if (msg.hwnd == captured) got = true;
  }
  EXPECT_TRUE(got);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(WindowMessages, MouseMovesLetTheWindowChooseTheCursor) {
  const HCURSOR ibeam = LoadCursorA(0, IDC_IBEAM);
  ASSERT_NE(ibeam, 0u);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DefWindowProcA;
  wc.hCursor = ibeam;
  wc.lpszClassName = "CursorTestWindow";
  RegisterClassA(&wc);
  const HWND parent = Keep(CreateWindowExA(0, "CursorTestWindow", "", WS_POPUP | WS_VISIBLE, 600, 600, 100, 100, 0,
                                           0, 0, nullptr));
  // A child of a class without a cursor: the parent's answer counts.
  const HWND child = CreateWindowExA(0, LoggingClass, "c", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent, 0, 0,
                                     const_cast<char*>("c"));
  ASSERT_NE(child, 0u);
  SetCursor(LoadCursorA(0, IDC_ARROW));
  platform::InjectMouseMove(POINT{650, 650});
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::IBeam);
  SetCursor(LoadCursorA(0, IDC_ARROW));
  platform::InjectMouseMove(POINT{615, 615});
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::IBeam);
  Drain();
}

TEST_F(WindowMessages, StandardCursorsAndTheShowCount) {
  EXPECT_EQ(LoadCursorA(0, IDC_HAND), LoadCursorA(0, IDC_HAND));
  EXPECT_EQ(LoadCursorW(0, reinterpret_cast<LPCWSTR>(IDC_WAIT)), LoadCursorA(0, IDC_WAIT));
  EXPECT_NE(LoadCursorA(0, IDC_HAND), LoadCursorA(0, IDC_NO));
  EXPECT_EQ(LoadCursorA(0, MAKEINTRESOURCEA(1)), 0u);
  EXPECT_EQ(LoadCursorA(7, IDC_ARROW), 0u);  // no cursor resources in modules
  EXPECT_EQ(LoadCursorA(0, "named"), 0u);
  EXPECT_TRUE(DestroyCursor(LoadCursorA(0, IDC_HAND)));
  EXPECT_EQ(platform::ShapeOfCursor(LoadCursorA(0, IDC_HAND)), platform::CursorShape::Hand);

  const HCURSOR cross = LoadCursorA(0, IDC_CROSS);
  const HCURSOR before = SetCursor(cross);
  EXPECT_EQ(GetCursor(), cross);
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::Cross);
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::Hidden);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  SetCursor(0);
  EXPECT_EQ(platform::CurrentCursorShape(), platform::CursorShape::Hidden);
  SetCursor(before);
}

TEST_F(WindowMessages, DrawTextExpandsTabsToEveryEighthColumn) {
  const HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  auto width = [&](const char* text, UINT format) {
    RECT r{0, 0, 1000, 100};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | format);
    return r.right;
  };
  EXPECT_EQ(width("ab\tc", DT_EXPANDTABS), width("ab      c", 0));
  EXPECT_EQ(width("abcdefgh\tc", DT_EXPANDTABS), width("abcdefgh        c", 0));
  EXPECT_EQ(width("\xD6\xD0\tc", DT_EXPANDTABS), width("\xD6\xD0      c", 0));  // 中 takes two columns
  DeleteDC(dc);
}

}  // namespace
}  // namespace quorlin::testing
