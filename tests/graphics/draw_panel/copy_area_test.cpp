// CopyArea: raster modes, defaults, nothing-to-do cases and copies between panels.
#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

using CopyAreaTest = PanelTest;

PanelProperties Kept(COLORREF back) {
  PanelProperties p;
  p.autoRedraw = true;
  p.backColor = back;
  return p;
}

TEST_F(CopyAreaTest, RasterModesCombineSourceAndDestination) {
  constexpr COLORREF kSource = 0x00F0A05A;
  constexpr COLORREF kDest = 0x003C66CC;
  struct Row {
    int mode;
    COLORREF expected;
  };
  for (const Row& row : {Row{1, kSource}, Row{2, ~kSource & 0xFFFFFF}, Row{3, kSource ^ kDest},
                         Row{4, kSource | kDest}, Row{5, kSource & kDest}, Row{0x00550009, ~kDest & 0xFFFFFF}}) {
    DrawPanel& source = MakePanel(Kept(kSource), 20, 20);
    DrawPanel& target = MakePanel(Kept(kDest), 20, 20);
    source.CopyArea(2, 3, 5, 4, &target, 10, 11, row.mode);
    ExpectArea(target, RECT{0, 0, 20, 20},
               [&](int x, int y) { return x >= 10 && x < 15 && y >= 11 && y < 15 ? row.expected : kDest; },
               "mode " + std::to_string(row.mode));
  }
}

TEST_F(CopyAreaTest, WithinOnePanelXorTwiceRestores) {
  DrawPanel& panel = MakePanel(Kept(kBlue), 30, 30);
  panel.WriteInteger(PanelProperty::BrushColor, static_cast<int32_t>(kRed));
  panel.FillRectangle(0, 0, 10, 10);
  panel.CopyArea(0, 0, 10, 10, nullptr, 5, 5, 3);
  EXPECT_EQ(InImage(panel, 7, 7), kBlack) << "red over red";
  EXPECT_EQ(InImage(panel, 12, 12), kRed ^ kBlue) << "read before the copy changed it";
  panel.Clear();
  panel.FillRectangle(0, 0, 10, 10);
  panel.CopyArea(0, 0, 10, 10, nullptr, 15, 15, 3);
  panel.CopyArea(0, 0, 10, 10, nullptr, 15, 15, 3);
  ExpectArea(panel, RECT{0, 0, 30, 30}, [](int x, int y) { return x < 10 && y < 10 ? kRed : kBlue; },
             "restored by the second XOR");
}

TEST_F(CopyAreaTest, OmittedSizeIsTheWholeClientAndEmptyOrOutsideCopiesNothing) {
  DrawPanel& source = MakePanel(Kept(kRed), 20, 10);
  DrawPanel& target = MakePanel(Kept(kBlue), 30, 30);
  source.CopyArea(0, 0, 0, 5, &target);
  source.CopyArea(0, 0, 5, -1, &target);
  source.CopyArea(25, 0, 5, 5, &target);
  ExpectArea(target, RECT{0, 0, 30, 30}, [](int, int) { return kBlue; }, "nothing copied");

  source.CopyArea(std::nullopt, std::nullopt, std::nullopt, std::nullopt, &target, 3);
  ExpectArea(target, RECT{0, 0, 30, 30}, [](int x, int y) { return x >= 3 && x < 23 && y < 10 ? kRed : kBlue; },
             "the source's whole client area at (3, 0)");
}

TEST_F(CopyAreaTest, SourceWithoutImageIsReadFromItsWindow) {
  PanelProperties p;
  p.backColor = kGreen;
  DrawPanel& source = MakePanel(p, 10, 10);
  DrawPanel& target = MakePanel(Kept(kBlue), 10, 10);
  source.CopyArea(0, 0, 4, 4, &target, 0, 0, 1);
  EXPECT_EQ(InImage(target, 3, 3), kGreen);
  EXPECT_EQ(Shown(target, 3, 3), kGreen);
  EXPECT_EQ(InImage(target, 4, 4), kBlue);
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
