// The write position and the WriteText family's line rules, checked against text drawn
// independently with the same font at the expected places.
#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

constexpr int kW = 120;
constexpr int kH = 80;

class TextTest : public PanelTest {
 protected:
  DrawPanel& Panel(uint32_t textBack = kDefaultColor) {
    PanelProperties p;
    p.autoRedraw = true;
    p.backColor = kBlue;
    p.textColor = kWhite;
    p.textBackColor = textBack;
    return MakePanel(p, kW, kH);
  }

  // The panel's image must equal a blue picture with these texts drawn at these places.
  void ExpectTexts(const DrawPanel& panel, const std::vector<std::pair<POINT, std::string>>& texts,
                   const std::string& what) {
    const LOGFONTA record = PanelFontRecord(panel.Properties().font, 0, 96);
    const HFONT font = CreateFontIndirectA(&record);
    const HDC dc = CreateCompatibleDC(0);
    const HBITMAP bitmap = CreateCompatibleBitmap(0, kW, kH);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const RECT all{0, 0, kW, kH};
    const HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    SetTextColor(dc, kWhite);
    SetBkMode(dc, TRANSPARENT);
    for (const auto& [at, text] : texts) TextOutA(dc, at.x, at.y, text.data(), static_cast<int>(text.size()));
    ExpectArea(panel, all, [&](int x, int y) { return GetPixel(dc, x, y); }, what);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteObject(font);
  }
};

TEST_F(TextTest, ALineAdvancesXAndABreakStartsTheNextLineTwoPixelsLower) {
  DrawPanel& panel = Panel();
  const SIZE ab = ExtentOf(panel, "ab");
  const SIZE cd = ExtentOf(panel, "cd");
  panel.SetWritePosition(10, 20);
  panel.WriteText(Texts({"ab"}));
  EXPECT_EQ(panel.WritePosition().x, 10 + ab.cx);
  EXPECT_EQ(panel.WritePosition().y, 20);

  panel.Clear();
  panel.SetWritePosition(10, 20);
  panel.WriteText(Texts({"ab\r\ncd"}));
  const int secondLine = 20 + ab.cy + 2;
  EXPECT_EQ(panel.WritePosition().x, 10 + cd.cx);
  EXPECT_EQ(panel.WritePosition().y, secondLine);
  ExpectTexts(panel, {{{10, 20}, "ab"}, {{10, secondLine}, "cd"}}, "two lines");
}

TEST_F(TextTest, ValuesContinueWhereThePreviousEndedAndSkippedValuesChangeNothing) {
  DrawPanel& panel = Panel();
  const SIZE ab = ExtentOf(panel, "ab");
  panel.SetWritePosition(5, 6);
  const std::vector<PanelText> values{PanelText("ab"), std::nullopt, PanelText(""), PanelText("cd")};
  panel.WriteText(values);
  ExpectTexts(panel, {{{5, 6}, "ab"}, {{5 + ab.cx, 6}, "cd"}}, "continued");

  const POINT before = panel.WritePosition();
  const std::vector<PanelText> nothing{std::nullopt, PanelText("")};
  panel.WriteText(nothing);
  EXPECT_EQ(panel.WritePosition().x, before.x);
  EXPECT_EQ(panel.WritePosition().y, before.y);
}

TEST_F(TextTest, BreakKindsAndEndingWithABreak) {
  DrawPanel& panel = Panel();
  const int lineHeight = ExtentOf(panel, "a").cy;
  const int emptyLine = ExtentOf(panel, "W").cy;
  struct Row {
    const char* text;
    int lines;       // breaks the text holds
    int emptyLines;  // of them, after an empty line
  };
  for (const Row& row : {Row{"a\r\nb", 1, 0}, Row{"a\rb", 1, 0}, Row{"a\nb", 1, 0}, Row{"a\n\rb", 2, 1},
                         Row{"a\r\r\nb", 2, 1}}) {
    panel.SetWritePosition(3, 4);
    panel.WriteText(Texts({row.text}));
    const int expectedY = 4 + (lineHeight + 2) + row.emptyLines * (emptyLine + 2);
    EXPECT_EQ(panel.WritePosition().y, expectedY) << row.text;
    EXPECT_EQ(panel.WritePosition().x, 3 + ExtentOf(panel, "b").cx) << row.text;
  }
  panel.SetWritePosition(3, 4);
  panel.WriteText(Texts({"ab\r\n"}));
  EXPECT_EQ(panel.WritePosition().x, 3) << "a trailing break leaves x at the value's start";
  EXPECT_EQ(panel.WritePosition().y, 4 + lineHeight + 2);
}

TEST_F(TextTest, WriteTextAtKeepsThePositionAndLinesMoveDownAfterEveryValue) {
  DrawPanel& panel = Panel();
  const int emptyLine = ExtentOf(panel, "W").cy;
  const int lineHeight = ExtentOf(panel, "ab").cy;
  panel.SetWritePosition(7, 9);
  panel.WriteTextAt(30, std::nullopt, Texts({"ab"}));
  EXPECT_EQ(panel.WritePosition().x, 7);
  EXPECT_EQ(panel.WritePosition().y, 9);
  ExpectTexts(panel, {{{30, 9}, "ab"}}, "at x 30, the write position's y");

  panel.WriteTextLine(Texts({""}));
  EXPECT_EQ(panel.WritePosition().y, 9 + emptyLine + 2) << "an empty value is one empty line";
  EXPECT_EQ(panel.WritePosition().x, 7);
  panel.WriteTextLine(Texts({"ab", "cd"}));
  EXPECT_EQ(panel.WritePosition().y, 9 + emptyLine + 2 + 2 * (lineHeight + 2));
  EXPECT_EQ(panel.WritePosition().x, 7);
}

TEST_F(TextTest, OpaqueTextBackgroundPaintsTheCell) {
  DrawPanel& transparent = Panel();
  transparent.SetWritePosition(0, 0);
  transparent.WriteText(Texts({"."}));
  DrawPanel& opaque = Panel(kGreen);
  opaque.SetWritePosition(0, 0);
  opaque.WriteText(Texts({"."}));
  // The top-left corner of the cell of "." has no ink.
  EXPECT_EQ(InImage(transparent, 0, 0), kBlue);
  EXPECT_EQ(InImage(opaque, 0, 0), kGreen);
  EXPECT_EQ(Shown(opaque, 0, 0), kGreen);
  const SIZE cell = ExtentOf(opaque, ".");
  EXPECT_EQ(InImage(opaque, cell.cx, 0), kBlue) << "nothing past the cell";
}

TEST_F(TextTest, ScrollingLineEndsTwoPixelsAboveTheBottom) {
  DrawPanel& panel = Panel();
  const int lineHeight = ExtentOf(panel, "x").cy;
  panel.DrawPoint(kW - 1, 40, kRed);
  panel.SetWritePosition(0, kH - 5);
  panel.ScrollWriteTextLine(Texts({"x"}));
  const int shift = (kH - 5 + lineHeight) - (kH - 2);
  EXPECT_EQ(panel.WritePosition().y, kH) << "moved down from the scrolled line";
  EXPECT_EQ(InImage(panel, kW - 1, 40 - shift), kRed) << "content moved up";
  EXPECT_EQ(Shown(panel, kW - 1, 40 - shift), kRed);
  EXPECT_EQ(InImage(panel, kW - 1, 40), kBlue);
  panel.DrawPoint(kW - 1, 40 - shift, kBlue);
  ExpectTexts(panel, {{{0, kH - 2 - lineHeight}, "x"}}, "the line above the bottom");
}

TEST_F(TextTest, WritePositionIsConvertedFromTheDrawingUnit) {
  PanelProperties p;
  p.drawingUnit = 3;  // 0.01 inch: 96 pixels per 100 units
  DrawPanel& panel = MakePanel(p, kW, kH);
  panel.SetWritePosition(100, 50);
  EXPECT_EQ(panel.WritePosition().x, 96);
  EXPECT_EQ(panel.WritePosition().y, 48);
  panel.SetWritePosition(std::nullopt, 25);
  EXPECT_EQ(panel.WritePosition().x, 96) << "an omitted coordinate keeps its value";
  EXPECT_EQ(panel.WritePosition().y, 24);
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
