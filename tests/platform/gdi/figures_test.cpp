// Figures, fills and clipping: every pixel inside and outside is checked against the edges the
// platform defines (right and bottom exclusive, line end points not drawn).
#include "canvas.h"

namespace quorlin::platform::gdi::testing {
namespace {

constexpr COLORREF kInk = 0x000000FF, kPaper = 0x0000FF00;

struct Tools {
  explicit Tools(HDC dc, int penStyle = PS_SOLID, int penWidth = 1) : dc(dc) {
    pen = CreatePen(penStyle, penWidth, kInk);
    brush = CreateSolidBrush(kPaper);
    oldPen = SelectObject(dc, pen);
    oldBrush = SelectObject(dc, brush);
  }
  ~Tools() {
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
  HDC dc;
  HPEN pen;
  HBRUSH brush;
  HGDIOBJ oldPen, oldBrush;
};

TEST(Figures, RectangleFramesWithThePenAndFillsInside) {
  Canvas c(10, 10);
  Tools tools(c.dc());
  Rectangle(c.dc(), 2, 3, 7, 8);
  c.Expect([](int x, int y) {
    if (!Inside(x, y, 2, 3, 7, 8)) return kSentinel;
    return Inside(x, y, 3, 4, 6, 7) ? kPaper : kInk;
  }, "Rectangle");
}

TEST(Figures, EdgesAreExclusiveForEveryFill) {
  struct Row {
    const char* name;
    void (*draw)(HDC);
    RECT expected;
  };
  const Row rows[] = {
      {"FillRect", [](HDC dc) { RECT r{1, 2, 5, 4}; FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }, {1, 2, 5, 4}},
      {"PatBlt", [](HDC dc) { SelectObject(dc, GetStockObject(WHITE_BRUSH)); PatBlt(dc, 2, 1, 3, 5, PATCOPY); }, {2, 1, 5, 6}},
      {"Rectangle with the null pen", [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         SelectObject(dc, GetStockObject(WHITE_BRUSH));
         Rectangle(dc, 1, 1, 6, 5);
       }, {1, 1, 5, 4}},
      {"Ellipse", [](HDC dc) {
         SelectObject(dc, GetStockObject(WHITE_PEN));
         SelectObject(dc, GetStockObject(WHITE_BRUSH));
         Ellipse(dc, 1, 2, 8, 7);
       }, {1, 2, 8, 7}},
      {"Polygon square (its outline includes the last column)", [](HDC dc) {
         SelectObject(dc, GetStockObject(WHITE_PEN));
         const POINT pts[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
         Polygon(dc, pts, 4);
       }, {1, 1, 5, 5}},
      {"LineTo", [](HDC dc) {
         SelectObject(dc, GetStockObject(WHITE_PEN));
         MoveToEx(dc, 2, 3, nullptr);
         LineTo(dc, 7, 3);
       }, {2, 3, 7, 4}},
      {"InvertRect", [](HDC dc) { RECT r{3, 3, 4, 6}; InvertRect(dc, &r); }, {3, 3, 4, 6}},
  };
  for (const Row& row : rows) {
    Canvas c(10, 10);
    row.draw(c.dc());
    const RECT got = c.Changed();
    EXPECT_EQ(got.left, row.expected.left) << row.name;
    EXPECT_EQ(got.top, row.expected.top) << row.name;
    EXPECT_EQ(got.right, row.expected.right) << row.name;
    EXPECT_EQ(got.bottom, row.expected.bottom) << row.name;
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  }
}

TEST(Figures, EllipseIsSymmetricAndPaintsEachPixelOnce) {
  Canvas c(21, 15, false, 0);
  Tools tools(c.dc());
  SetROP2(c.dc(), R2_XORPEN);
  Ellipse(c.dc(), 2, 1, 19, 14);
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 21; ++x) {
      const COLORREF p = c.At(x, y);
      // Painted once with XOR over black: exactly the pen or the brush colour.
      EXPECT_TRUE(p == 0 || p == kInk || p == kPaper) << x << "," << y;
      EXPECT_EQ(p, c.At(20 - x, y)) << "mirror of " << x << "," << y;
      EXPECT_EQ(p, c.At(x, 14 - y)) << "flip of " << x << "," << y;
    }
  }
  EXPECT_EQ(c.At(10, 7), kPaper);
  EXPECT_EQ(c.At(2, 7), kInk);
  EXPECT_EQ(c.At(18, 7), kInk);
  EXPECT_EQ(c.At(1, 7), 0u);
}

TEST(Figures, InsideFramePenStaysInsideTheRectangle) {
  Canvas c(12, 12);
  Tools tools(c.dc(), PS_INSIDEFRAME, 3);
  Rectangle(c.dc(), 2, 2, 10, 10);
  c.Expect([](int x, int y) {
    if (!Inside(x, y, 2, 2, 10, 10)) return kSentinel;
    return Inside(x, y, 5, 5, 7, 7) ? kPaper : kInk;
  }, "inside frame");
}

TEST(Figures, DottedPenLeavesGapsUnlessTheBackgroundIsOpaque) {
  for (int mode : {TRANSPARENT, OPAQUE}) {
    Canvas c(12, 1);
    Tools tools(c.dc(), PS_DOT);
    SetBkMode(c.dc(), mode);
    SetBkColor(c.dc(), 0x00FFFFFF);
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 12, 0);
    for (int x = 0; x < 12; ++x) {
      const bool dash = (x % 6) < 3;
      EXPECT_EQ(c.At(x, 0), dash ? kInk : (mode == OPAQUE ? 0x00FFFFFFu : kSentinel)) << "x " << x << " mode " << mode;
    }
  }
}

TEST(Figures, PatternBrushBitsTakeTextAndBackgroundColours) {
  // Rows alternate 0xAA and 0x0F; rows are word-aligned in a monochrome bitmap.
  const BYTE bits[16] = {0xAA, 0, 0x0F, 0, 0xAA, 0, 0x0F, 0, 0xAA, 0, 0x0F, 0, 0xAA, 0, 0x0F, 0};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH brush = CreatePatternBrush(pattern);
  DeleteObject(pattern);  // the brush keeps its own copy
  Canvas c(16, 16);
  SetTextColor(c.dc(), 0x00AA0000);
  SetBkColor(c.dc(), 0x000000BB);
  RECT all{0, 0, 16, 16};
  FillRect(c.dc(), &all, brush);
  c.Expect([](int x, int y) {
    const BYTE row = (y % 2 == 0) ? 0xAA : 0x0F;
    const bool one = (row >> (7 - x % 8)) & 1;
    return one ? COLORREF{0x000000BB} : COLORREF{0x00AA0000};
  }, "pattern brush");
  DeleteObject(brush);
}

TEST(Figures, HatchBrushGapsShowThroughWhenTransparent) {
  HBRUSH brush = CreateHatchBrush(HS_CROSS, kInk);
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Canvas c(16, 16);
    SetBkMode(c.dc(), mode);
    SetBkColor(c.dc(), kPaper);
    SelectObject(c.dc(), brush);
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    Rectangle(c.dc(), 0, 0, 17, 17);
    int lines = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const COLORREF p = c.At(x, y);
        if (p == kInk) ++lines;
        else EXPECT_EQ(p, mode == OPAQUE ? kPaper : kSentinel);
      }
    EXPECT_EQ(lines, 2 * 2 * 16 - 4);  // two horizontal and two vertical lines, crossings once
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  }
  DeleteObject(brush);
}

TEST(Figures, PieFillsOnlyItsQuarter) {
  Canvas c(21, 21, false, 0);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  // From the right-hand radial counter-clockwise to the top one: the upper right quarter.
  Pie(c.dc(), 0, 0, 21, 21, 21, 10, 10, 0);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      if (c.At(x, y) != 0) {
        EXPECT_GE(x, 10) << x << "," << y;
        EXPECT_LE(y, 10) << x << "," << y;
      }
  EXPECT_EQ(c.At(15, 5), 0xFFFFFFu);
  EXPECT_EQ(c.At(5, 15), 0u);
}

TEST(Clipping, OperationsStayInsideTheClip) {
  struct Row {
    const char* name;
    void (*clip)(HDC);
    bool (*inside)(int x, int y);
    int type;
  };
  const Row rows[] = {
      {"IntersectClipRect", [](HDC dc) { IntersectClipRect(dc, 2, 3, 6, 5); },
       [](int x, int y) { return Inside(x, y, 2, 3, 6, 5); }, SIMPLEREGION},
      {"ExcludeClipRect", [](HDC dc) { ExcludeClipRect(dc, 2, 3, 6, 5); },
       [](int x, int y) { return !Inside(x, y, 2, 3, 6, 5); }, COMPLEXREGION},
      {"SelectClipRgn of two rectangles", [](HDC dc) {
         HRGN a = CreateRectRgn(0, 0, 3, 3), b = CreateRectRgn(5, 5, 8, 9);
         CombineRgn(a, a, b, RGN_OR);
         SelectClipRgn(dc, a);  // the context keeps a copy
         DeleteObject(a);
         DeleteObject(b);
       }, [](int x, int y) { return Inside(x, y, 0, 0, 3, 3) || Inside(x, y, 5, 5, 8, 9); }, COMPLEXREGION},
      {"ExtSelectClipRgn with RGN_AND", [](HDC dc) {
         IntersectClipRect(dc, 1, 1, 8, 8);
         HRGN r = CreateRectRgn(4, 0, 10, 10);
         ExtSelectClipRgn(dc, r, RGN_AND);
         DeleteObject(r);
       }, [](int x, int y) { return Inside(x, y, 4, 1, 8, 8); }, SIMPLEREGION},
      {"clip removed again", [](HDC dc) { IntersectClipRect(dc, 2, 2, 3, 3); SelectClipRgn(dc, 0); },
       [](int, int) { return true; }, SIMPLEREGION},
  };
  for (const Row& row : rows) {
    Canvas c(10, 10);
    row.clip(c.dc());
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc(), &box), row.type) << row.name;
    RECT all{-5, -5, 20, 20};
    FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(c.dc(), GetStockObject(WHITE_PEN));
    MoveToEx(c.dc(), -3, 4, nullptr);
    LineTo(c.dc(), 30, 4);
    SelectClipRgn(c.dc(), 0);
    c.Expect([&](int x, int y) { return row.inside(x, y) ? COLORREF{0xFFFFFF} : kSentinel; }, row.name);
  }
}

TEST(Clipping, PixelsOutsideTheClipReadAsInvalid) {
  Canvas c(4, 4);
  IntersectClipRect(c.dc(), 0, 0, 2, 2);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), kSentinel);
  EXPECT_EQ(GetPixel(c.dc(), 2, 2), CLR_INVALID);
  EXPECT_EQ(SetPixel(c.dc(), 3, 3, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 4, 0), CLR_INVALID);
}

TEST(Regions, CombineModesGiveTheirPixelSets) {
  struct Row {
    int mode;
    bool (*in)(bool a, bool b);
  };
  const Row rows[] = {{RGN_AND, [](bool a, bool b) { return a && b; }},
                      {RGN_OR, [](bool a, bool b) { return a || b; }},
                      {RGN_XOR, [](bool a, bool b) { return a != b; }},
                      {RGN_DIFF, [](bool a, bool b) { return a && !b; }},
                      {RGN_COPY, [](bool a, bool) { return a; }}};
  for (const Row& row : rows) {
    HRGN a = CreateRectRgn(1, 1, 6, 5), b = CreateRectRgn(3, 2, 9, 8), d = CreateRectRgn(0, 0, 0, 0);
    OffsetRgn(b, 0, 1);  // b covers (3, 3)-(9, 9)
    CombineRgn(d, a, b, row.mode);
    int count = 0;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 11; ++x) {
        const bool expected = row.in(Inside(x, y, 1, 1, 6, 5), Inside(x, y, 3, 3, 9, 9));
        EXPECT_EQ(PtInRegion(d, x, y) != 0, expected) << "mode " << row.mode << " at " << x << "," << y;
        count += expected;
      }
    RECT box;
    EXPECT_NE(GetRgnBox(d, &box), ERROR);
    EXPECT_GT(count, 0);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(d);
  }
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
