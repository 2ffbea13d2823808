// The background: colour fill, the three picture modes, Clear rectangles, undecodable pictures
// and the off-screen image's rebuilds.
#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

using BackgroundTest = PanelTest;

PanelProperties WithPicture(const Bytes& picture, int mode, bool autoRedraw = true) {
  PanelProperties p;
  p.backPicture = picture;
  p.backPictureMode = mode;
  p.autoRedraw = autoRedraw;
  p.backColor = kBlue;
  return p;
}

TEST_F(BackgroundTest, DefaultColourIsTheButtonFaceAndAnyOtherColourIsUsedAsIs) {
  DrawPanel& panel = MakePanel({}, 40, 30);
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int, int) { return ButtonFace(); }, "default background");
  panel.WriteInteger(PanelProperty::BackColor, static_cast<int32_t>(kGreen));
  Pump();
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int, int) { return kGreen; }, "green background");
}

TEST_F(BackgroundTest, TilesRepeatFromTheTopLeftAndALargePictureShowsItsCorner) {
  const RgbImage small = MakeImage(7, 5, Distinct);
  DrawPanel& panel = MakePanel(WithPicture(Bmp(small), 1), 40, 30);
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int x, int y) { return Distinct(x % 7, y % 5); }, "tiled 7 x 5");

  const RgbImage large = MakeImage(60, 50, Distinct);
  panel.WriteBytes(PanelProperty::BackPicture, Bmp(large));
  Pump();
  ExpectArea(panel, RECT{0, 0, 40, 30}, Distinct, "first tile covers the panel");
}

TEST_F(BackgroundTest, PlacedPictureKeepsItsSizeAndTheRestIsTheColour) {
  DrawPanel& panel = MakePanel(WithPicture(Bmp(MakeImage(7, 5, Distinct)), 0), 40, 30);
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int x, int y) { return x < 7 && y < 5 ? Distinct(x, y) : kBlue; },
             "mode 0");
}

TEST_F(BackgroundTest, ThePictureStaysThroughChangesOfTheColour) {
  // Only the drawable copy of the picture is kept; a new colour makes it again from the bytes.
  DrawPanel& panel = MakePanel(WithPicture(Bmp(MakeImage(7, 5, Distinct)), 0), 40, 30);
  for (const COLORREF colour : {kGreen, kRed, kBlue}) {
    panel.WriteInteger(PanelProperty::BackColor, static_cast<int32_t>(colour));
    Pump();
    ExpectArea(panel, RECT{0, 0, 40, 30}, [&](int x, int y) { return x < 7 && y < 5 ? Distinct(x, y) : colour; },
               "the picture on the new colour");
  }
  EXPECT_EQ(panel.ReadBytes(PanelProperty::BackPicture), Bmp(MakeImage(7, 5, Distinct)));
}

TEST_F(BackgroundTest, FittedPictureIsCentredAndOnlyEverShrunk) {
  // A small picture keeps its size, centred: offset ((40 - 10) / 2, (30 - 7) / 2) = (15, 11).
  DrawPanel& panel = MakePanel(WithPicture(Bmp(MakeImage(10, 7, [](int, int) { return kRed; })), 2), 40, 30);
  ExpectArea(panel, RECT{0, 0, 40, 30},
             [](int x, int y) { return x >= 15 && x < 25 && y >= 11 && y < 18 ? kRed : kBlue; }, "small, centred");

  // 800 x 600 on 580 x 385: s = 385 / 600, drawn 513 x 385 at (33, 0).
  DrawPanel& card = MakePanel(WithPicture(Bmp(MakeImage(800, 600, [](int, int) { return kRed; })), 2));
  for (const auto& [x, y, want] : std::vector<std::tuple<int, int, COLORREF>>{
           {32, 100, kBlue}, {33, 0, kRed}, {33, 384, kRed}, {545, 200, kRed}, {546, 200, kBlue}, {579, 0, kBlue}}) {
    EXPECT_EQ(InImage(card, x, y), want) << x << ", " << y;
    EXPECT_EQ(Shown(card, x, y), want) << x << ", " << y;
  }
}

TEST_F(BackgroundTest, ClearFillsItsRectangleInPixelsAndMovesTheWritePosition) {
  PanelProperties p;
  p.autoRedraw = true;
  p.backColor = kBlue;
  p.drawingUnit = 3;  // Clear ignores the unit
  DrawPanel& panel = MakePanel(p, 40, 30);
  panel.WriteInteger(PanelProperty::BrushColor, static_cast<int32_t>(kGreen));
  panel.WriteInteger(PanelProperty::DrawingUnit, 0);
  panel.FillRectangle(0, 0, 40, 30);
  panel.WriteInteger(PanelProperty::DrawingUnit, 3);

  panel.Clear(10);
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int x, int) { return x >= 10 ? kBlue : kGreen; }, "left 10 to the edge");
  EXPECT_EQ(panel.WritePosition().x, 10);
  EXPECT_EQ(panel.WritePosition().y, 0);

  panel.FillRectangle(0, 0, 1000, 1000);
  // Width and height negative: the rectangle is normalised to (5, 4) - (15, 12).
  panel.Clear(15, 12, -10, -8);
  ExpectArea(panel, RECT{0, 0, 40, 30},
             [](int x, int y) { return x >= 5 && x < 15 && y >= 4 && y < 12 ? kBlue : kGreen; }, "normalised");
  EXPECT_EQ(panel.WritePosition().x, 5);
  EXPECT_EQ(panel.WritePosition().y, 4);

  panel.Clear();
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int, int) { return kBlue; }, "whole panel");
  EXPECT_EQ(panel.WritePosition().x, 0);
  EXPECT_EQ(panel.WritePosition().y, 0);
}

TEST_F(BackgroundTest, UndecodableBytesAreDroppedAtTheFirstPaint) {
  DrawPanel& panel = MakePanel(WithPicture(Bytes{0xFF, 0xD8, 1, 2, 3, 4, 5, 6, 7, 8}, 1), 20, 10);
  ExpectArea(panel, RECT{0, 0, 20, 10}, [](int, int) { return kBlue; }, "colour only");
  EXPECT_TRUE(panel.ReadBytes(PanelProperty::BackPicture).empty());
}

TEST_F(BackgroundTest, NewBackgroundErasesDrawingButAResizeKeepsItUnlessFitted) {
  PanelProperties p;
  p.autoRedraw = true;
  p.backColor = kBlue;
  p.brushColor = kRed;
  DrawPanel& panel = MakePanel(p, 40, 30);
  panel.FillRectangle(0, 0, 10, 10);
  SetWindowPos(panel.Window(), 0, 0, 0, 50, 20, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  ExpectArea(panel, RECT{0, 0, 50, 20}, [](int x, int y) { return x < 10 && y < 10 ? kRed : kBlue; },
             "kept after the resize");

  panel.WriteInteger(PanelProperty::BackColor, static_cast<int32_t>(kGreen));
  Pump();
  ExpectArea(panel, RECT{0, 0, 50, 20}, [](int, int) { return kGreen; }, "BackColor rebuilds");

  panel.FillRectangle(0, 0, 10, 10);
  panel.WriteInteger(PanelProperty::BackPictureMode, 2);
  panel.WriteBytes(PanelProperty::BackPicture, Bmp(MakeImage(4, 4, [](int, int) { return kWhite; })));
  Pump();
  EXPECT_EQ(InImage(panel, 0, 0), kGreen) << "BackPicture rebuilds (fitted picture centred)";
  panel.FillRectangle(0, 0, 10, 10);
  SetWindowPos(panel.Window(), 0, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(InImage(panel, 0, 0), kGreen) << "a fitted picture is not carried over a resize";
  EXPECT_EQ(InImage(panel, 18, 13), kWhite) << "the picture centred in the new size";
}

TEST_F(BackgroundTest, APictureLargerThanThePanelShowsMoreOfItselfAsThePanelGrowsOrFits) {
  // Only the part of a large picture the panel can show is made drawable; a larger panel, the
  // other modes and a new colour must still show the right part of it.
  const RgbImage large = MakeImage(90, 70, Distinct);
  for (const int mode : {0, 1}) {
    DrawPanel& panel = MakePanel(WithPicture(Bmp(large), mode), 40, 30);
    ExpectArea(panel, RECT{0, 0, 40, 30}, Distinct, "the corner");
    SetWindowPos(panel.Window(), 0, 0, 0, 55, 45, SWP_NOMOVE | SWP_NOZORDER);  // within its frame
    Pump();
    ExpectArea(panel, RECT{0, 0, 55, 45}, Distinct, "more of the picture after growing");
    panel.WriteInteger(PanelProperty::BackColor, static_cast<int32_t>(kGreen));
    Pump();
    ExpectArea(panel, RECT{0, 0, 55, 45}, Distinct, "the same part on a new colour");
  }
  // Fitted after placed: all of the picture, shrunk into 80 x 60 (s = 60 / 70: 77 x 60 at (1, 0)).
  DrawPanel& panel = MakePanel(WithPicture(Bmp(MakeImage(90, 70, [](int x, int) { return x < 85 ? kRed : kWhite; })), 0),
                               80, 60);
  EXPECT_EQ(InImage(panel, 79, 30), kRed);
  panel.WriteInteger(PanelProperty::BackPictureMode, 2);
  panel.WriteBytes(PanelProperty::BackPicture, Bmp(MakeImage(90, 70, [](int x, int) { return x < 85 ? kRed : kWhite; })));
  Pump();
  EXPECT_EQ(InImage(panel, 0, 30), kBlue) << "left of the fitted picture";
  EXPECT_EQ(InImage(panel, 77, 30), kWhite) << "the picture's right edge, cut off while placed";
}

TEST_F(BackgroundTest, ANewPictureOfTheSameSizedPanelReplacesEverythingDrawnBefore) {
  // Rebuilt at its own size the image is refilled in place: nothing of the old one may remain.
  PanelProperties p = WithPicture(Bmp(MakeImage(7, 5, Distinct)), 0);
  p.brushColor = kRed;
  DrawPanel& panel = MakePanel(p, 40, 30);
  panel.FillRectangle(20, 20, 30, 28);
  panel.WriteBytes(PanelProperty::BackPicture, Bmp(MakeImage(3, 3, [](int, int) { return kWhite; })));
  Pump();
  ExpectArea(panel, RECT{0, 0, 40, 30}, [](int x, int y) { return x < 3 && y < 3 ? kWhite : kBlue; }, "only the new picture");
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
