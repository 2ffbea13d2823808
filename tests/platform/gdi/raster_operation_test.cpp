// Raster operations checked against their truth tables: the result bit for (P, S, D) is bit
// (P << 2 | S << 1 | D) of the code's truth-table byte.
#include "canvas.h"

namespace quorlin::platform::gdi::testing {
namespace {

constexpr COLORREF kWhite = 0xFFFFFF, kBlack = 0;

TEST(RasterOperation, EveryTernaryCodeFollowsItsTruthTable) {
  // Eight pixels hold the eight (S, D) combinations twice over; the brush supplies P.
  Canvas source(8, 1);
  for (int x = 0; x < 8; ++x) SetPixel(source.dc(), x, 0, (x >> 1) & 1 ? kWhite : kBlack);
  for (int p = 0; p < 2; ++p) {
    HBRUSH brush = CreateSolidBrush(p ? kWhite : kBlack);
    for (int code = 0; code < 256; ++code) {
      Canvas dest(8, 1);
      for (int x = 0; x < 8; ++x) SetPixel(dest.dc(), x, 0, x & 1 ? kWhite : kBlack);
      HGDIOBJ old = SelectObject(dest.dc(), brush);
      ASSERT_TRUE(BitBlt(dest.dc(), 0, 0, 8, 1, source.dc(), 0, 0, static_cast<DWORD>(code) << 16));
      SelectObject(dest.dc(), old);
      for (int x = 0; x < 8; ++x) {
        const int s = (x >> 1) & 1, d = x & 1;
        const bool bit = (code >> (p << 2 | s << 1 | d)) & 1;
        ASSERT_EQ(dest.At(x, 0), bit ? kWhite : kBlack) << "code " << code << " p " << p << " s " << s << " d " << d;
      }
    }
    DeleteObject(brush);
  }
}

TEST(RasterOperation, NamedCodesActOnEachColourBit) {
  struct Row {
    const char* name;
    DWORD rop;
    COLORREF (*expected)(COLORREF p, COLORREF s, COLORREF d);
  };
  const Row rows[] = {
      {"SRCCOPY", SRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return s; }},
      {"SRCPAINT", SRCPAINT, [](COLORREF, COLORREF s, COLORREF d) { return s | d; }},
      {"SRCAND", SRCAND, [](COLORREF, COLORREF s, COLORREF d) { return s & d; }},
      {"SRCINVERT", SRCINVERT, [](COLORREF, COLORREF s, COLORREF d) { return s ^ d; }},
      {"SRCERASE", SRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return s & (~d & 0xFFFFFF); }},
      {"NOTSRCCOPY", NOTSRCCOPY, [](COLORREF, COLORREF s, COLORREF) { return ~s & 0xFFFFFF; }},
      {"NOTSRCERASE", NOTSRCERASE, [](COLORREF, COLORREF s, COLORREF d) { return ~(s | d) & 0xFFFFFF; }},
      {"MERGECOPY", MERGECOPY, [](COLORREF p, COLORREF s, COLORREF) { return p & s; }},
      {"MERGEPAINT", MERGEPAINT, [](COLORREF, COLORREF s, COLORREF d) { return (~s & 0xFFFFFF) | d; }},
      {"PATCOPY", PATCOPY, [](COLORREF p, COLORREF, COLORREF) { return p; }},
      {"PATPAINT", PATPAINT, [](COLORREF p, COLORREF s, COLORREF d) { return p | (~s & 0xFFFFFF) | d; }},
      {"PATINVERT", PATINVERT, [](COLORREF p, COLORREF, COLORREF d) { return p ^ d; }},
      {"DSTINVERT", DSTINVERT, [](COLORREF, COLORREF, COLORREF d) { return ~d & 0xFFFFFF; }},
      {"BLACKNESS", BLACKNESS, [](COLORREF, COLORREF, COLORREF) { return COLORREF{0}; }},
      {"WHITENESS", WHITENESS, [](COLORREF, COLORREF, COLORREF) { return COLORREF{0xFFFFFF}; }},
  };
  const COLORREF p = 0x00F0A05A, s = 0x003C5AC3, d = 0x0099CC11;
  Canvas source(2, 2, false, s);
  HBRUSH brush = CreateSolidBrush(p);
  for (const Row& row : rows) {
    Canvas dest(4, 4, false, d);
    SelectObject(dest.dc(), brush);
    BitBlt(dest.dc(), 1, 1, 2, 2, source.dc(), 0, 0, row.rop);
    dest.Expect([&](int x, int y) { return Inside(x, y, 1, 1, 3, 3) ? row.expected(p, s, d) : d; }, row.name);
    SelectObject(dest.dc(), GetStockObject(WHITE_BRUSH));
  }
  DeleteObject(brush);
}

TEST(RasterOperation, MixModesOfAPenFollowTheirTruthTables) {
  // The mix mode's value minus one is a truth table indexed by (pen << 1 | destination).
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    for (int pen = 0; pen < 2; ++pen) {
      Canvas c(4, 2);
      for (int x = 0; x < 4; ++x) {
        SetPixel(c.dc(), x, 0, 0);
        SetPixel(c.dc(), x, 1, kWhite);
      }
      HPEN hpen = CreatePen(PS_SOLID, 1, pen ? kWhite : kBlack);
      SelectObject(c.dc(), hpen);
      SetROP2(c.dc(), mode);
      for (int y = 0; y < 2; ++y) {
        MoveToEx(c.dc(), 0, y, nullptr);
        LineTo(c.dc(), 3, y);  // x 3 is the end point and stays untouched
      }
      SelectObject(c.dc(), GetStockObject(BLACK_PEN));
      DeleteObject(hpen);
      for (int y = 0; y < 2; ++y) {
        const int d = y;
        const bool bit = ((mode - 1) >> (pen << 1 | d)) & 1;
        EXPECT_EQ(c.At(0, y), bit ? kWhite : kBlack) << "mode " << mode << " pen " << pen << " dest " << d;
        EXPECT_EQ(c.At(3, y), d ? kWhite : kBlack) << "end point of mode " << mode;
      }
    }
  }
}

TEST(RasterOperation, MonochromeSourceTakesTheTargetsTextAndBackgroundColours) {
  Canvas mask(2, 1, true);
  SetPixel(mask.dc(), 0, 0, 0);
  SetPixel(mask.dc(), 1, 0, kWhite);
  Canvas dest(2, 1);
  SetTextColor(dest.dc(), 0x000000FF);
  SetBkColor(dest.dc(), 0x0000FF00);
  BitBlt(dest.dc(), 0, 0, 2, 1, mask.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(dest.At(0, 0), 0x000000FFu);
  EXPECT_EQ(dest.At(1, 0), 0x0000FF00u);
  // Colour to monochrome: the source's background colour becomes white, the rest black.
  Canvas colour(2, 1);
  SetPixel(colour.dc(), 0, 0, 0x00ABCDEF);
  SetPixel(colour.dc(), 1, 0, 0x00010203);
  SetBkColor(colour.dc(), 0x00ABCDEF);
  BitBlt(mask.dc(), 0, 0, 2, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(mask.At(0, 0), kWhite);
  EXPECT_EQ(mask.At(1, 0), kBlack);
}

TEST(RasterOperation, TransparentDrawingWithAMaskLeavesMaskedPixelsUnchanged) {
  // XOR, AND with the mask, XOR: pixels where the mask is white keep the destination.
  const COLORREF transparent = 0x00FF00FF, back = 0x00336699;
  Canvas picture(3, 1);
  SetPixel(picture.dc(), 0, 0, 0x00112233);
  SetPixel(picture.dc(), 1, 0, transparent);
  SetPixel(picture.dc(), 2, 0, 0x00445566);
  Canvas mask(3, 1, true);
  SetBkColor(picture.dc(), transparent);
  BitBlt(mask.dc(), 0, 0, 3, 1, picture.dc(), 0, 0, SRCCOPY);
  Canvas dest(3, 1, false, back);
  SetTextColor(dest.dc(), 0);
  SetBkColor(dest.dc(), 0xFFFFFF);
  BitBlt(dest.dc(), 0, 0, 3, 1, picture.dc(), 0, 0, SRCINVERT);
  BitBlt(dest.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, SRCAND);
  BitBlt(dest.dc(), 0, 0, 3, 1, picture.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(dest.At(0, 0), 0x00112233u);
  EXPECT_EQ(dest.At(1, 0), back);
  EXPECT_EQ(dest.At(2, 0), 0x00445566u);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
