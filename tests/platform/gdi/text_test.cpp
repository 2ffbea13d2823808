// Text output: position, extent, background modes, GBK decoding, metrics and escapement.
#include <cstring>

#include "canvas.h"

namespace quorlin::platform::gdi::testing {
namespace {

// 中文 in GBK
const char kChinese[] = "\xD6\xD0\xCE\xC4";

HFONT MakeFont(LONG height, const char* face, LONG escapement = 0) {
  LOGFONTA f{};
  f.lfHeight = height;
  f.lfEscapement = escapement;
  f.lfWeight = FW_NORMAL;
  std::strncpy(f.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectA(&f);
}

TEST(Text, InkStaysInsideTheExtentAtTheReferencePoint) {
  Canvas c(120, 60, false, 0xFFFFFF);
  HFONT font = MakeFont(-21, "\xBA\xDA\xCC\xE5");  // 黑体
  SelectObject(c.dc(), font);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), 0);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(c.dc(), kChinese, 4, &size));
  EXPECT_GT(size.cx, 30);
  ASSERT_TRUE(TextOutA(c.dc(), 10, 12, kChinese, 4));
  const RECT ink = c.Changed(0xFFFFFF);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 12);
  EXPECT_LE(ink.right, 10 + size.cx);
  EXPECT_LE(ink.bottom, 12 + size.cy);
  EXPECT_GT(ink.right - ink.left, size.cx / 2);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(Text, OpaqueBackgroundFillsExactlyTheTextCell) {
  Canvas c(100, 50);
  HFONT font = MakeFont(-16, "SimSun");
  SelectObject(c.dc(), font);
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), 0x0000FF00);
  SetTextColor(c.dc(), 0x000000FF);
  SIZE size{};
  GetTextExtentPoint32A(c.dc(), "Ab", 2, &size);
  TextOutA(c.dc(), 5, 7, "Ab", 2);
  c.Expect([&](int x, int y) {
    const COLORREF p = c.At(x, y);
    if (!Inside(x, y, 5, 7, 5 + size.cx, 7 + size.cy)) return kSentinel;
    return p == kSentinel ? COLORREF{0xBAD} : p;  // anything but the sentinel inside
  }, "opaque cell");
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(Text, ExtentsAddUpAndIgnoreALoneLeadByte) {
  Canvas c(1, 1);
  HFONT font = MakeFont(-20, "\xCB\xCE\xCC\xE5");  // 宋体
  SelectObject(c.dc(), font);
  SIZE a{}, b{}, ab{}, cut{}, w{};
  GetTextExtentPoint32A(c.dc(), "a", 1, &a);
  GetTextExtentPoint32A(c.dc(), kChinese, 2, &b);
  std::string both = std::string("a") + std::string(kChinese, 2);
  GetTextExtentPoint32A(c.dc(), both.data(), 3, &ab);
  EXPECT_EQ(ab.cx, a.cx + b.cx);
  EXPECT_EQ(ab.cy, a.cy);
  GetTextExtentPoint32A(c.dc(), kChinese, 3, &cut);  // the second character's trail byte is missing
  EXPECT_EQ(cut.cx, b.cx);
  const std::u16string wide = u"a\u4E2D";
  GetTextExtentPoint32W(c.dc(), reinterpret_cast<LPCWSTR>(wide.data()), 2, &w);
  EXPECT_EQ(w.cx, ab.cx);
  SIZE empty{};
  EXPECT_TRUE(GetTextExtentPoint32A(c.dc(), "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

TEST(Text, NegativeHeightIsTheCharacterHeightPositiveTheCell) {
  Canvas c(1, 1);
  HFONT character = MakeFont(-21, "\xBA\xDA\xCC\xE5");
  SelectObject(c.dc(), character);
  TEXTMETRICA m{};
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &m));
  EXPECT_EQ(m.tmHeight - m.tmInternalLeading, 21);
  EXPECT_EQ(m.tmAscent + m.tmDescent, m.tmHeight);
  HFONT cell = MakeFont(30, "\xBA\xDA\xCC\xE5");
  SelectObject(c.dc(), cell);
  ASSERT_TRUE(GetTextMetricsA(c.dc(), &m));
  EXPECT_NEAR(m.tmHeight, 30, 1);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(character);
  DeleteObject(cell);
}

TEST(Text, ChineseFaceNamesAndUnknownFacesFindCjkFaces) {
  struct Row { const char* face; const char* family; };
  const Row rows[] = {{"\xBA\xDA\xCC\xE5", "Noto Sans CJK SC"}, {"SimHei", "Noto Sans CJK SC"},
                      {"\xCB\xCE\xCC\xE5", "Noto Serif CJK SC"}, {"SimSun", "Noto Serif CJK SC"},
                      {"No Such Face Anywhere", "Noto Sans CJK SC"}};
  for (const Row& row : rows) {
    Canvas c(1, 1);
    HFONT font = MakeFont(-16, row.face);
    SelectObject(c.dc(), font);
    char face[64] = {};
    GetTextFaceA(c.dc(), sizeof face, face);
    EXPECT_STREQ(face, row.family) << row.face;
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
  }
}

TEST(Text, EscapementTurnsTheLine) {
  Canvas c(80, 160, false, 0xFFFFFF);
  HFONT font = MakeFont(-20, "SimHei", 900);  // 90 degrees: written upward
  SelectObject(c.dc(), font);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), 0);
  TextOutA(c.dc(), 10, 150, "HHHHHH", 6);
  const RECT ink = c.Changed(0xFFFFFF);
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
  EXPECT_LE(ink.bottom, 151);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

// The ink of `text` drawn in black at (100, 100) on a white canvas.
RECT InkOf(HFONT font, const char* text) {
  Canvas c(200, 200, false, 0xFFFFFF);
  SelectObject(c.dc(), font);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), 0);
  TextOutA(c.dc(), 100, 100, text, static_cast<int>(std::strlen(text)));
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  return c.Changed(0xFFFFFF);
}

int HeightOf(const RECT& r) { return r.bottom - r.top; }
int WidthOf(const RECT& r) { return r.right - r.left; }

// Fonts on one face file share it; each must still draw at its own size and angle, whichever
// of them drew last.
TEST(Text, FontsOfOneFaceKeepTheirOwnSizeAndAngleWhenUsedInTurn) {
  const HFONT small = MakeFont(-12, "SimHei");
  const HFONT large = MakeFont(-48, "SimHei");
  const HFONT turned = MakeFont(-12, "SimHei", 900);
  const RECT smallFirst = InkOf(small, "l");
  const RECT largeInk = InkOf(large, "l");
  const RECT turnedInk = InkOf(turned, "l");
  const RECT smallAfter = InkOf(small, "I");  // not drawn at this size before
  ASSERT_GT(HeightOf(smallFirst), 0);
  EXPECT_GE(HeightOf(largeInk), 3 * HeightOf(smallFirst));
  EXPECT_GT(WidthOf(turnedInk), 2 * HeightOf(turnedInk)) << "a quarter turn lays the l on its side";
  EXPECT_GT(HeightOf(smallAfter), 2 * WidthOf(smallAfter)) << "upright again";
  EXPECT_LE(HeightOf(smallAfter), HeightOf(smallFirst) + 2) << "and small again";
  DeleteObject(small);
  DeleteObject(large);
  DeleteObject(turned);
}

// A face without Chinese (DejaVu Sans) draws Chinese characters from the face that has them.
TEST(Text, ALatinFaceDrawsChineseFromTheFallbackFace) {
  const HFONT latin = MakeFont(-20, "DejaVu Sans");
  const RECT ascii = InkOf(latin, "H");
  const RECT chinese = InkOf(latin, kChinese);
  EXPECT_GT(HeightOf(ascii), 5);
  EXPECT_GT(WidthOf(chinese), 2 * WidthOf(ascii)) << "two full-width characters";
  EXPECT_GT(HeightOf(chinese), 10);
  DeleteObject(latin);
}

TEST(Text, AntiAliasedEdgesBlendTowardTheTextColour) {
  Canvas c(60, 30, false, 0xFFFFFF);
  HFONT font = MakeFont(-20, "SimHei");
  SelectObject(c.dc(), font);
  SetBkMode(c.dc(), TRANSPARENT);
  SetTextColor(c.dc(), 0x000000FF);  // red
  TextOutA(c.dc(), 2, 2, "O", 1);
  bool partial = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const COLORREF p = c.At(x, y);
      EXPECT_EQ(GetRValue(p), 255) << "red stays full at " << x << "," << y;
      EXPECT_EQ(GetGValue(p), GetBValue(p));
      if (GetGValue(p) > 0 && GetGValue(p) < 255) partial = true;
    }
  EXPECT_TRUE(partial);
  SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
