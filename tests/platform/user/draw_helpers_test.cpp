// DrawEdge, DrawFocusRect, DrawTextA and DrawFrameControl on a memory bitmap filled with a
// sentinel colour.
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/draw_helpers.h"

namespace quorlin::testing {
namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    dc_ = CreateCompatibleDC(0);
    bitmap_ = CreateBitmap(w, h, 1, 32, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    Clear();
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void Clear() {
    const RECT all{0, 0, w_, h_};
    const HBRUSH b = CreateSolidBrush(kSentinel);
    FillRect(dc_, &all, b);
    DeleteObject(b);
  }
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
  int CountNot(COLORREF c, const RECT& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += at(x, y) != c;
    return n;
  }
  int CountNotOutside(COLORREF c, const RECT& inner) const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        if (x >= inner.left && x < inner.right && y >= inner.top && y < inner.bottom) continue;
        n += at(x, y) != c;
      }
    return n;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

COLORREF Sys(int index) { return GetSysColor(index); }

TEST(DrawEdgeTest, RingColoursPerEdgeKind) {
  struct Row {
    const char* name;
    UINT edge;
    int outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
  };
  const Row rows[] = {
      {"raised", EDGE_RAISED, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {"sunken", EDGE_SUNKEN, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {"etched", EDGE_ETCHED, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {"bump", EDGE_BUMP, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Canvas canvas(30, 20);
    RECT r{5, 5, 25, 15};
    ASSERT_TRUE(DrawEdge(canvas.dc(), &r, row.edge, BF_RECT | BF_ADJUST));
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right, 23);
    EXPECT_EQ(r.bottom, 13);
    EXPECT_EQ(canvas.at(10, 5), Sys(row.outerTopLeft));
    EXPECT_EQ(canvas.at(5, 10), Sys(row.outerTopLeft));
    EXPECT_EQ(canvas.at(10, 14), Sys(row.outerBottomRight));
    EXPECT_EQ(canvas.at(24, 10), Sys(row.outerBottomRight));
    EXPECT_EQ(canvas.at(24, 5), Sys(row.outerBottomRight)) << "right line owns the top-right corner";
    EXPECT_EQ(canvas.at(10, 6), Sys(row.innerTopLeft));
    EXPECT_EQ(canvas.at(10, 13), Sys(row.innerBottomRight));
    EXPECT_EQ(canvas.CountNot(kSentinel, RECT{7, 7, 23, 13}), 0) << "no BF_MIDDLE: inside untouched";
    EXPECT_EQ(canvas.CountNotOutside(kSentinel, RECT{5, 5, 25, 15}), 0);
  }
}

TEST(DrawEdgeTest, SidesMiddleAndFlat) {
  Canvas canvas(20, 20);
  RECT r{2, 2, 18, 18};
  DrawEdge(canvas.dc(), &r, EDGE_SUNKEN, BF_TOP | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(r.top, 4);
  EXPECT_EQ(r.left, 2) << "only the drawn side adjusts";
  EXPECT_EQ(canvas.at(2, 10), Sys(COLOR_BTNFACE)) << "no left line: the middle reaches the edge";
  EXPECT_EQ(canvas.CountNot(Sys(COLOR_BTNFACE), RECT{2, 4, 18, 18}), 0);

  canvas.Clear();
  RECT flat{2, 2, 18, 18};
  DrawEdge(canvas.dc(), &flat, EDGE_RAISED, BF_RECT | BF_FLAT | BF_ADJUST);
  EXPECT_EQ(flat.left, 3);
  EXPECT_EQ(canvas.at(2, 2), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.at(17, 17), Sys(COLOR_BTNSHADOW));
}

TEST(DrawFocusRectTest, DottedOutlineThatUndoesItself) {
  Canvas canvas(20, 20);
  const RECT r{4, 4, 14, 10};
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_NE(canvas.at(4, 4), kSentinel);
  EXPECT_EQ(canvas.at(5, 4), kSentinel) << "every other pixel";
  EXPECT_NE(canvas.at(6, 4), kSentinel);
  EXPECT_EQ(canvas.CountNot(kSentinel, RECT{5, 5, 13, 9}), 0) << "inside untouched";
  EXPECT_EQ(canvas.CountNotOutside(kSentinel, r), 0);
  DrawFocusRect(canvas.dc(), &r);
  EXPECT_EQ(canvas.CountNot(kSentinel, RECT{0, 0, 20, 20}), 0) << "XOR twice restores";

  const RECT thin{2, 15, 12, 16};  // one pixel high: every dot inverted once only
  DrawFocusRect(canvas.dc(), &thin);
  EXPECT_NE(canvas.at(2, 15), kSentinel);
}

class DrawTextTest : public ::testing::Test {
 protected:
  Canvas canvas{200, 80};
  int LineHeight() {
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc(), &tm);
    return tm.tmHeight;
  }
  int WidthOf(const char* s) {
    SIZE size{};
    GetTextExtentPoint32A(canvas.dc(), s, static_cast<int>(strlen(s)), &size);
    return size.cx;
  }
  // The columns that hold any ink (non-white) in rows [top, bottom).
  std::pair<int, int> InkColumns(int top, int bottom) {
    int lo = 1000, hi = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < 200; ++x)
        if (canvas.at(x, y) != RGB(255, 255, 255)) lo = std::min(lo, x), hi = std::max(hi, x);
    return {lo, hi};
  }
  void White() {
    const RECT all{0, 0, 200, 80};
    FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextColor(canvas.dc(), RGB(0, 0, 0));
  }
};

TEST_F(DrawTextTest, CalcRectMeasuresLinesAndWraps) {
  RECT r{10, 10, 200, 10};
  EXPECT_EQ(DrawTextA(canvas.dc(), "ab\r\ncdef", -1, &r, DT_CALCRECT), 2 * LineHeight());
  EXPECT_EQ(r.right, 10 + WidthOf("cdef"));
  EXPECT_EQ(r.bottom, 10 + 2 * LineHeight());
  EXPECT_EQ(canvas.CountNot(kSentinel, RECT{0, 0, 200, 80}), 0) << "DT_CALCRECT draws nothing";

  RECT single{0, 0, 200, 0};
  EXPECT_EQ(DrawTextA(canvas.dc(), "ab\ncd", -1, &single, DT_CALCRECT | DT_SINGLELINE), LineHeight());

  RECT prefixed{0, 0, 200, 0};
  DrawTextA(canvas.dc(), "&Open && go", -1, &prefixed, DT_CALCRECT);
  EXPECT_EQ(prefixed.right, WidthOf("Open & go"));
  RECT raw{0, 0, 200, 0};
  DrawTextA(canvas.dc(), "&Open", -1, &raw, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(raw.right, WidthOf("&Open"));

  const int narrow = WidthOf("one two") + 1;
  RECT wrapped{0, 0, narrow, 0};
  DrawTextA(canvas.dc(), "one two three", -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(wrapped.bottom, 2 * LineHeight()) << "breaks at the space before 'three'";
}

TEST_F(DrawTextTest, WordBreakNeverSplitsADoubleByteCharacter) {
  // Four double-byte characters ("中文测试" in GBK) in a box about two and a half wide.
  const char text[] = "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4";
  const int one = WidthOf("\xD6\xD0");
  ASSERT_GT(one, 0);
  RECT r{0, 0, one * 2 + one / 2, 0};
  DrawTextA(canvas.dc(), text, -1, &r, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(r.bottom, 2 * LineHeight());
  EXPECT_EQ(r.right, WidthOf("\xD6\xD0\xCE\xC4")) << "two whole characters a line";

  RECT tiny{0, 0, 1, 0};  // narrower than one character: one character a line, none split
  DrawTextA(canvas.dc(), text, -1, &tiny, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(tiny.bottom, 4 * LineHeight());
}

TEST_F(DrawTextTest, AlignmentAndClipping) {
  struct Row {
    const char* name;
    UINT format;
  };
  const int w = WidthOf("Hi");
  for (const Row& row : {Row{"left", DT_LEFT}, Row{"center", DT_CENTER}, Row{"right", DT_RIGHT}}) {
    SCOPED_TRACE(row.name);
    White();
    RECT r{20, 0, 180, 40};
    DrawTextA(canvas.dc(), "Hi", -1, &r, row.format | DT_SINGLELINE | DT_VCENTER);
    const auto [lo, hi] = InkColumns(0, 80);
    ASSERT_GE(hi, lo);
    const int expectLeft = row.format == DT_CENTER ? 20 + (160 - w) / 2 : row.format == DT_RIGHT ? 180 - w : 20;
    EXPECT_GE(lo, expectLeft);
    EXPECT_LE(hi, expectLeft + w);
  }
  White();
  RECT box{10, 10, 30, 30};
  DrawTextA(canvas.dc(), "WWWWWWWWWW", -1, &box, DT_LEFT);
  const auto [lo, hi] = InkColumns(0, 80);
  EXPECT_GE(lo, 10);
  EXPECT_LT(hi, 30) << "clipped to the rectangle";
}

TEST_F(DrawTextTest, PrefixUnderlinesTheMarkedCharacter) {
  White();
  RECT r{0, 0, 200, 40};
  DrawTextA(canvas.dc(), "a&bc", -1, &r, DT_LEFT);
  TEXTMETRICA tm{};
  GetTextMetricsA(canvas.dc(), &tm);
  const int y = tm.tmAscent + 1;
  const int bx = WidthOf("a");
  EXPECT_EQ(canvas.at(bx + WidthOf("b") / 2, y), RGB(0, 0, 0)) << "under 'b'";
  White();
  DrawTextA(canvas.dc(), "a&bc", -1, &r, DT_LEFT | DT_NOPREFIX);
  int underline = 0;
  for (int x = 0; x < WidthOf("a&bc"); ++x) underline += canvas.at(x, y) == RGB(0, 0, 0);
  EXPECT_LT(underline, WidthOf("b")) << "no underline row with DT_NOPREFIX";
}

TEST(DrawFrameControlTest, ScrollArrowsPointTheirWay) {
  Canvas canvas(17, 17);
  const COLORREF ink = Sys(COLOR_BTNTEXT);
  auto inkRows = [&](bool vertical) {  // ink count per row (or column), tip first in the list
    std::vector<int> counts;
    for (int a = 2; a < 15; ++a) {
      int n = 0;
      for (int b = 2; b < 15; ++b) n += canvas.at(vertical ? b : a, vertical ? a : b) == ink;
      if (n) counts.push_back(n);
    }
    return counts;
  };
  RECT r{0, 0, 17, 17};
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_EQ(canvas.at(0, 0), Sys(COLOR_3DLIGHT));
  auto up = inkRows(true);
  ASSERT_GE(up.size(), 2u);
  EXPECT_LT(up.front(), up.back()) << "narrow at the top";
  canvas.Clear();
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLDOWN);
  auto down = inkRows(true);
  ASSERT_GE(down.size(), 2u);
  EXPECT_GT(down.front(), down.back());
  canvas.Clear();
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLLEFT);
  auto left = inkRows(false);
  ASSERT_GE(left.size(), 2u);
  EXPECT_LT(left.front(), left.back());
  canvas.Clear();
  DrawFrameControl(canvas.dc(), &r, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED);
  EXPECT_EQ(canvas.at(0, 0), Sys(COLOR_BTNSHADOW)) << "pushed: flat frame";
}

TEST(DrawFrameControlTest, CheckBoxShowsTheMarkOnlyWhenChecked) {
  Canvas canvas(13, 13);
  RECT r{0, 0, 13, 13};
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(canvas.at(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(canvas.CountNot(Sys(COLOR_WINDOW), RECT{2, 2, 11, 11}), 0);
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_GT(canvas.CountNot(Sys(COLOR_WINDOW), RECT{2, 2, 11, 11}), 10);
  DrawFrameControl(canvas.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE);
  EXPECT_EQ(canvas.CountNot(Sys(COLOR_BTNFACE), RECT{2, 2, 11, 11}), 0) << "disabled: face-coloured";
}

}  // namespace
}  // namespace quorlin::testing
