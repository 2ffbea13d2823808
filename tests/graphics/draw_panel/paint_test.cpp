// Repainting: from the off-screen image with AutoRedraw, else the background and the paint
// event with the invalid rectangle.
#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

using PaintTest = PanelTest;

void Scribble(HWND hwnd) {
  const HDC dc = GetDC(hwnd);
  const RECT all{0, 0, 1000, 1000};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(hwnd, dc);
}

TEST_F(PaintTest, AutoRedrawRepaintsFromTheImage) {
  PanelProperties p;
  p.autoRedraw = true;
  p.backColor = kBlue;
  p.brushColor = kRed;
  DrawPanel& panel = MakePanel(p, 30, 20);
  int events = 0;
  panel.SetEventSink([&](DrawPanel&, int, std::span<const int32_t>) { ++events; });
  panel.FillRectangle(5, 5, 10, 10);
  Scribble(panel.Window());
  InvalidateRect(panel.Window(), nullptr, TRUE);
  Pump();
  ExpectArea(panel, RECT{0, 0, 30, 20}, [](int x, int y) { return x >= 5 && x < 10 && y >= 5 && y < 10 ? kRed : kBlue; },
             "copied back");
  EXPECT_EQ(events, 0) << "no paint event with an image";

  panel.WriteInteger(PanelProperty::AutoRedraw, 0);
  EXPECT_FALSE(panel.HasOffscreenImage());
  InvalidateRect(panel.Window(), nullptr, TRUE);
  Pump();
  EXPECT_EQ(Shown(panel, 6, 6), kBlue) << "drawing without an image is lost at the repaint";
  EXPECT_EQ(events, 1);
}

TEST_F(PaintTest, PaintEventGetsTheInvalidRectangleAndDrawsIntoThePaint) {
  PanelProperties p;
  p.backColor = kBlue;
  p.brushColor = kGreen;
  DrawPanel& panel = MakePanel(p, 40, 30);
  panel.SetWritePosition(11, 12);
  std::vector<std::vector<int32_t>> seen;
  POINT positionInside{-1, -1};
  panel.SetEventSink([&](DrawPanel& self, int event, std::span<const int32_t> arguments) {
    EXPECT_EQ(event, kPaintEvent);
    seen.emplace_back(arguments.begin(), arguments.end());
    positionInside = self.WritePosition();
    self.FillRectangle(0, 0, 40, 30);  // only the invalid part is painted
  });
  Scribble(panel.Window());
  const RECT invalid{4, 6, 60, 20};  // cut to the client area
  InvalidateRect(panel.Window(), &invalid, TRUE);
  Pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (std::vector<int32_t>{4, 6, 40, 20}));
  EXPECT_EQ(positionInside.x, 0);
  EXPECT_EQ(positionInside.y, 0);
  EXPECT_EQ(panel.WritePosition().x, 11) << "restored after the event";
  EXPECT_EQ(panel.WritePosition().y, 12);
  ExpectArea(panel, RECT{0, 0, 40, 30},
             [](int x, int y) { return x >= 4 && y >= 6 && y < 20 ? kGreen : kBlack; }, "drawn inside the paint");

  seen.clear();
  panel.WriteInteger(PanelProperty::DrawingUnit, 3);
  const RECT part{0, 0, 24, 12};
  InvalidateRect(panel.Window(), &part, TRUE);
  Pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], (std::vector<int32_t>{0, 0, 25, 13})) << "in 0.01 inch";
}

TEST_F(PaintTest, APaintHandlerMayDestroyThePanel) {
  DrawPanel& panel = MakePanel({}, 20, 20);
  const HWND hwnd = panel.Window();
  panel.SetEventSink([&](DrawPanel& self, int, std::span<const int32_t>) {
    DestroyWindow(self.Window());
  });
  InvalidateRect(hwnd, nullptr, TRUE);
  Pump();
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
