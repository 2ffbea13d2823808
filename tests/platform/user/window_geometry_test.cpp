// Frames, rectangles, coordinates, z-order and the messages geometry changes send.
#include <array>

#include "tests/platform/user/geometry_test_support.h"

namespace quorlin::testing {
namespace {

constexpr DWORD kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

using GeometryTest = RecordingTest;

TEST_F(GeometryTest, ClientAreaFollowsTheFixedFrameOfTheStyles) {
  struct Row {
    const char* name;
    DWORD style, exStyle;
    RECT client;  // GetClientRect
    POINT clientCorner;  // client (0, 0) relative to the window's corner
  };
  const Row rows[] = {
      {"main window (units down to y 418 fit)", kMainWindowStyle, 0, {0, 0, 580, 428}, {3, 22}},
      {"thick frame", WS_OVERLAPPEDWINDOW, 0, {0, 0, 578, 426}, {4, 23}},
      {"tool window", kMainWindowStyle, WS_EX_TOOLWINDOW, {0, 0, 580, 431}, {3, 19}},
      {"popup border", WS_POPUP | WS_BORDER, 0, {0, 0, 584, 451}, {1, 1}},
      {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, {0, 0, 582, 449}, {2, 2}},
      {"modal frame", WS_POPUP, WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE, {0, 0, 578, 445}, {4, 4}},
      {"bare popup", WS_POPUP, 0, {0, 0, 586, 453}, {0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const HWND hwnd = Make(row.style, 100, 50, 586, 453, 0, row.exStyle);
    RECT client, window;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    ASSERT_TRUE(GetWindowRect(hwnd, &window));
    EXPECT_TRUE(EqualRect(&client, &row.client));
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.bottom, 503);
    POINT corner{0, 0};
    ClientToScreen(hwnd, &corner);
    EXPECT_EQ(corner.x - 100, row.clientCorner.x);
    EXPECT_EQ(corner.y - 50, row.clientCorner.y);
    RECT adjusted = client;
    AdjustWindowRectEx(&adjusted, row.style, FALSE, row.exStyle);
    EXPECT_EQ(adjusted.right - adjusted.left, 586);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 453);
  }
}

TEST_F(GeometryTest, ChildPositionsAreInParentClientCoordinates) {
  const HWND top = Make(kMainWindowStyle | WS_VISIBLE, 200, 100, 586, 453);
  const HWND panel = Make(WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 300, 200, top);
  const HWND inner = Make(WS_CHILD | WS_VISIBLE, 5, 6, 50, 40, panel);
  RECT r;
  GetWindowRect(inner, &r);
  // top client (203, 122) + panel (10, 20) + border 1 + (5, 6)
  EXPECT_EQ(r.left, 219);
  EXPECT_EQ(r.top, 149);
  EXPECT_EQ(r.right - r.left, 50);
  POINT p{219, 149};
  ScreenToClient(inner, &p);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  POINT q{0, 0};
  MapWindowPoints(inner, top, &q, 1);
  EXPECT_EQ(q.x, 16);
  EXPECT_EQ(q.y, 27);
  EXPECT_EQ(WindowFromPoint(POINT{220, 150}), inner);
  EXPECT_EQ(WindowFromPoint(POINT{213, 142}), panel) << "the panel's border";
  EXPECT_EQ(WindowFromPoint(POINT{201, 101}), top) << "the frame";
  EXPECT_EQ(WindowFromPoint(POINT{199, 101}), HWND{0});
  EnableWindow(inner, FALSE);
  EXPECT_EQ(WindowFromPoint(POINT{220, 150}), panel) << "a disabled child lets the mouse through";
  ShowWindow(panel, SW_HIDE);
  EXPECT_EQ(WindowFromPoint(POINT{220, 150}), top);
}

TEST_F(GeometryTest, SetWindowPosSendsOnlyWhatChanged) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 400, 300);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 100, 50, top);
  Pump();
  const std::vector<UINT> kinds{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};
  struct Row {
    const char* name;
    int x, y, w, h;
    UINT flags;
    std::vector<UINT> expected;
  };
  const Row rows[] = {
      {"move and size", 20, 30, 120, 60, SWP_NOZORDER,
       {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}},
      {"no size", 40, 50, 999, 999, SWP_NOZORDER | SWP_NOSIZE, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}},
      {"no move", 999, 999, 80, 20, SWP_NOZORDER | SWP_NOMOVE, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}},
      {"same place", 40, 50, 80, 20, SWP_NOZORDER, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Take();
    ASSERT_TRUE(SetWindowPos(child, 0, row.x, row.y, row.w, row.h, row.flags));
    const auto log = Take();
    EXPECT_EQ(MessagesOf(log, child, kinds), row.expected);
  }
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.right - r.left, 80);
  Take();
  MoveWindow(child, 1, 2, 30, 40, TRUE);
  const auto log = Take();
  const Recorded* move = Last(log, child, WM_MOVE);
  const Recorded* size = Last(log, child, WM_SIZE);
  ASSERT_TRUE(move && size);
  EXPECT_EQ(GET_X_LPARAM(move->lParam), 1);
  EXPECT_EQ(GET_Y_LPARAM(move->lParam), 2);
  EXPECT_EQ(LOWORD(static_cast<uintptr_t>(size->lParam)), 30);
  EXPECT_EQ(HIWORD(static_cast<uintptr_t>(size->lParam)), 40);
}

TEST_F(GeometryTest, ChangingPositionMayBeAlteredOnTheWay) {
  const HWND top = Make(WS_POPUP, 0, 0, 100, 100);
  Take();
  // A procedure that keeps the window at least 50 wide.
  struct Clamp {
    static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_WINDOWPOSCHANGING) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos->cx < 50) pos->cx = 50;
      }
      return RecordingProc(hwnd, message, wParam, lParam);
    }
  };
  SetWindowLongPtrA(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Clamp::Proc));
  SetWindowPos(top, 0, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOMOVE);
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r.right - r.left, 50);
  EXPECT_EQ(r.bottom - r.top, 10);
}

TEST_F(GeometryTest, ShowWindowMinimisesMaximisesAndRestores) {
  const HWND top = Make(WS_OVERLAPPEDWINDOW, 100, 100, 300, 200);
  Take();
  ShowWindow(top, SW_SHOWNORMAL);
  auto log = Take();
  EXPECT_EQ(MessagesOf(log, top, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
            (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
  EXPECT_TRUE(IsWindowVisible(top));

  ShowWindow(top, SW_MINIMIZE);
  log = Take();
  ASSERT_NE(Last(log, top, WM_SIZE), nullptr);
  EXPECT_EQ(Last(log, top, WM_SIZE)->wParam, SIZE_MINIMIZED);
  EXPECT_TRUE(IsIconic(top));

  ShowWindow(top, SW_SHOWMAXIMIZED);
  log = Take();
  ASSERT_NE(Last(log, top, WM_SIZE), nullptr);
  EXPECT_EQ(Last(log, top, WM_SIZE)->wParam, SIZE_MAXIMIZED);
  RECT client;
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
  POINT corner{0, 0};
  ClientToScreen(top, &corner);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, GetSystemMetrics(SM_CYCAPTION));

  ShowWindow(top, SW_RESTORE);
  log = Take();
  ASSERT_NE(Last(log, top, WM_SIZE), nullptr);
  EXPECT_EQ(Last(log, top, WM_SIZE)->wParam, SIZE_RESTORED);
  RECT r;
  GetWindowRect(top, &r);
  EXPECT_TRUE(EqualRect(&r, std::array{RECT{100, 100, 400, 300}}.data()));
  EXPECT_FALSE(IsZoomed(top));

  ShowWindow(top, SW_HIDE);
  log = Take();
  EXPECT_EQ(MessagesOf(log, top, {WM_SHOWWINDOW}), std::vector<UINT>{WM_SHOWWINDOW});
  EXPECT_EQ(Last(log, top, WM_SHOWWINDOW)->wParam, WPARAM{FALSE});
  EXPECT_FALSE(IsWindowVisible(top));
}

TEST_F(GeometryTest, ZOrderOfSiblingsAndTopMostWindows) {
  const HWND parent = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
  const HWND a = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent);
  const HWND b = Make(WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), a) << "a new child goes to the bottom";
  EXPECT_EQ(ChildWindowFromPoint(parent, POINT{5, 5}), a);
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), b);
  SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);

  const HWND topmost = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, 0, WS_EX_TOPMOST);
  const HWND later = Make(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), topmost) << "a topmost window stays above";
  BringWindowToTop(later);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), topmost);
  SetWindowPos(topmost, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  BringWindowToTop(later);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), later);
}

TEST_F(GeometryTest, SystemMetricsAreTheDocumentedOnes) {
  const std::pair<int, int> rows[] = {{SM_CXSCREEN, 1280}, {SM_CYSCREEN, 1024}, {SM_CXBORDER, 1},
                                      {SM_CXEDGE, 2},      {SM_CXFIXEDFRAME, 3}, {SM_CXSIZEFRAME, 4},
                                      {SM_CYCAPTION, 19},  {SM_CXVSCROLL, 17},   {SM_CXHTHUMB, 17}};
  for (auto [index, value] : rows) EXPECT_EQ(GetSystemMetrics(index), value) << index;
}

}  // namespace
}  // namespace quorlin::testing
