// Figure operations: both targets, the drawing state they start from, pattern brushes, the
// widening of empty fill rectangles and the gradient.
#include "graphics/draw_panel/draw_panel_patterns.h"
#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

using FiguresTest = PanelTest;

PanelProperties Kept() {
  PanelProperties p;
  p.autoRedraw = true;
  p.backColor = kBlue;
  return p;
}

TEST_F(FiguresTest, RectangleIsOutlinedWithThePenAndFilledWithTheBrushOnBothTargets) {
  PanelProperties p = Kept();
  p.penColor = kRed;
  p.brushColor = kGreen;
  DrawPanel& panel = MakePanel(p, 20, 20);
  panel.DrawRectangle(12, 14, 2, 3);  // normalised to (2, 3) - (12, 14)
  ExpectArea(panel, RECT{0, 0, 20, 20}, [](int x, int y) {
    if (x < 2 || x >= 12 || y < 3 || y >= 14) return kBlue;
    return x == 2 || x == 11 || y == 3 || y == 13 ? kRed : kGreen;
  }, "rectangle");
}

TEST_F(FiguresTest, FillRectangleWidensAnEmptyRectangleToOnePixel) {
  PanelProperties p = Kept();
  p.brushColor = kRed;
  DrawPanel& panel = MakePanel(p, 10, 10);
  panel.FillRectangle(3, 2, 3, 8);
  ExpectArea(panel, RECT{0, 0, 10, 10}, [](int x, int y) { return x == 3 && y >= 2 && y < 8 ? kRed : kBlue; },
             "one pixel wide");
}

TEST_F(FiguresTest, PatternBrushDrawsClearBitsInTheBrushColourAndSetBitsInTheBackground) {
  PanelProperties p = Kept();
  p.brushColor = kRed;
  p.brushType = 8 + 22;  // rows 99 99 …: 1 0 0 1 1 0 0 1
  DrawPanel& panel = MakePanel(p, 16, 16);
  panel.FillRectangle(0, 0, 16, 16);
  const auto& rows = DrawPanelPatterns[22];
  ExpectArea(panel, RECT{0, 0, 16, 16}, [&](int x, int y) {
    const bool set = (rows[y % 8] >> (7 - x % 8)) & 1;
    return set ? kBlue : kRed;
  }, "pattern 22");
  panel.WriteInteger(PanelProperty::TextBackColor, static_cast<int32_t>(kWhite));
  panel.FillRectangle(0, 0, 16, 16);
  EXPECT_EQ(InImage(panel, 0, 0), kWhite) << "a set bit takes an opaque text background";
  EXPECT_EQ(InImage(panel, 1, 0), kRed);
}

TEST_F(FiguresTest, PolygonNeedsTwoPointsAndTheCountLimitsThem) {
  PanelProperties p = Kept();
  p.penColor = kRed;
  p.brushColor = kRed;
  DrawPanel& panel = MakePanel(p, 10, 10);
  const int32_t points[] = {1, 1, 8, 1, 8, 8, 1, 8};
  panel.DrawPolygon(std::span(points, 2));
  panel.DrawPolygon(points, 1);
  ExpectArea(panel, RECT{0, 0, 10, 10}, [](int, int) { return kBlue; }, "one point: nothing");
  panel.DrawPolygon(points);
  EXPECT_EQ(InImage(panel, 4, 4), kRed);
}

TEST_F(FiguresTest, GradientRunsFromTheFirstColourToTheLastAlongItsDirection) {
  DrawPanel& panel = MakePanel(Kept(), 120, 60);
  const COLORREF colours[] = {kRed, kGreen, kBlue};
  panel.FillGradient(0, 0, 101, 60, 1, colours);
  EXPECT_EQ(InImage(panel, 0, 30), kRed);
  EXPECT_EQ(InImage(panel, 50, 30), kGreen);
  EXPECT_EQ(InImage(panel, 100, 30), kBlue);
  EXPECT_EQ(InImage(panel, 25, 0), RGB(128, 128, 0)) << "halfway from red to green";
  EXPECT_EQ(Shown(panel, 25, 59), RGB(128, 128, 0));

  panel.Clear();
  const COLORREF two[] = {kBlack, kWhite};
  panel.FillGradient(0, 0, 120, 61, std::nullopt, two);  // default: top to bottom
  EXPECT_EQ(InImage(panel, 70, 0), kBlack);
  EXPECT_EQ(InImage(panel, 70, 30), RGB(128, 128, 128));
  panel.Clear();
  panel.FillGradient(0, 0, 120, 60, 2, std::span(two, 1));
  panel.FillGradient(200, 0, 10, 10, 2, two);
  ExpectArea(panel, RECT{0, 0, 120, 60}, [](int, int) { return kBlue; }, "one colour, or outside: nothing");
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
