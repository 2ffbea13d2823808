// The STATIC class: alignment, repaint on WM_SETTEXT, fonts and the parent's colours.
#include "platform/gdi/sys_colors.h"
#include "tests/platform/user/control_test_support.h"

namespace quorlin::testing {
namespace {

using StaticControlTest = ControlTest;

// The leftmost and rightmost columns holding the given ink colour.
std::pair<int, int> InkSpan(HWND hwnd, const RECT& r, COLORREF ink) {
  const HDC hdc = GetDC(hwnd);
  int lo = 10000, hi = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(hdc, x, y) == ink) lo = std::min(lo, x), hi = std::max(hi, x);
  ReleaseDC(hwnd, hdc);
  return {lo, hi};
}

TEST_F(StaticControlTest, AlignsItsTextByStyle) {
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  const RECT all{0, 0, 200, 30};
  const HWND left = Control("STATIC", "Hi", SS_LEFT, 0, 0, 200, 30);
  const HWND center = Control("STATIC", "Hi", SS_CENTER, 0, 40, 200, 30);
  const HWND right = Control("STATIC", "Hi", SS_RIGHT, 0, 80, 200, 30);
  const auto l = InkSpan(left, all, ink), c = InkSpan(center, all, ink), r = InkSpan(right, all, ink);
  ASSERT_GE(l.second, l.first) << "text drawn";
  EXPECT_LT(l.first, 5);
  EXPECT_LT(l.second, 60);
  EXPECT_GT(r.first, 140);
  EXPECT_GT(c.first, l.second) << "centred text lies between the others";
  EXPECT_LT(c.second, r.first);
  EXPECT_NEAR(c.first - l.first, r.first - c.first, 1) << "same glyphs: equal steps";
  EXPECT_EQ(PixelOf(left, 150, 15), GetSysColor(COLOR_BTNFACE)) << "default background";

  const HWND middle = Control("STATIC", "Hi", SS_LEFT | SS_CENTERIMAGE, 0, 120, 200, 60);
  int top = 1000, bottom = -1;
  const HDC hdc = GetDC(middle);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 40; ++x)
      if (GetPixel(hdc, x, y) == ink) top = std::min(top, y), bottom = std::max(bottom, y);
  ReleaseDC(middle, hdc);
  EXPECT_GT(top, 10) << "SS_CENTERIMAGE centres vertically";
  EXPECT_LT(bottom, 50);
}

TEST_F(StaticControlTest, SetTextRepaintsAndFontRoundTrips) {
  const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
  const RECT all{0, 0, 200, 30};
  const HWND label = Control("STATIC", "", SS_LEFT, 10, 10, 200, 30);
  EXPECT_EQ(CountOf(label, all, ink), 0);
  SetWindowTextA(label, "Text");
  Pump();
  EXPECT_GT(CountOf(label, all, ink), 0) << "WM_SETTEXT repainted";

  EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), 0);
  const HFONT big = CreateFontA(-30, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "");
  const int before = CountOf(label, all, ink);
  SendMessageA(label, WM_SETFONT, static_cast<WPARAM>(big), TRUE);
  EXPECT_EQ(static_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), big);
  Pump();
  EXPECT_GT(CountOf(label, all, ink), before) << "repainted in the bigger font";
  DestroyWindow(label);
  DeleteObject(big);
}

TEST_F(StaticControlTest, ParentChoosesColoursThroughCtlColorStatic) {
  const HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  Parent().staticBrush = yellow;
  Parent().staticText = RGB(0, 0, 255);
  const HWND label = Control("STATIC", "Blue", SS_LEFT, 10, 10, 120, 30);
  EXPECT_EQ(PixelOf(label, 110, 25), RGB(255, 255, 0));
  EXPECT_GT(CountOf(label, RECT{0, 0, 120, 30}, RGB(0, 0, 255)), 0);
  DestroyWindow(label);
  DeleteObject(yellow);
}

}  // namespace
}  // namespace quorlin::testing
