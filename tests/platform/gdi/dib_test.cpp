// Device-independent bitmaps: row order, row padding, colour tables and scan-line bands.
#include <cstring>
#include <vector>

#include "canvas.h"

namespace quorlin::platform::gdi::testing {
namespace {

struct Dib {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Dib MakeDib(int width, int height, int bits) {
  Dib d;
  d.header.biSize = sizeof(BITMAPINFOHEADER);
  d.header.biWidth = width;
  d.header.biHeight = height;
  d.header.biPlanes = 1;
  d.header.biBitCount = static_cast<WORD>(bits);
  return d;
}

// A 3 × 2 picture: top row red, green, blue; bottom row white, black, grey.
const COLORREF kPicture[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x808080}};

TEST(Dib, TwentyFourBitRowsArePaddedAndStoredBottomUpOrTopDown) {
  for (bool topDown : {false, true}) {
    Dib dib = MakeDib(3, topDown ? -2 : 2, 24);
    // 9 pixel bytes and 3 bytes of padding per row.
    std::vector<BYTE> bits(24, 0xEE);
    for (int row = 0; row < 2; ++row) {
      const int y = topDown ? row : 1 - row;
      for (int x = 0; x < 3; ++x) {
        const COLORREF c = kPicture[y][x];
        bits[row * 12 + x * 3 + 0] = GetBValue(c);
        bits[row * 12 + x * 3 + 1] = GetGValue(c);
        bits[row * 12 + x * 3 + 2] = GetRValue(c);
      }
    }
    Canvas c(3, 2);
    EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 0, 2, bits.data(), dib.info(), DIB_RGB_COLORS), 2);
    c.Expect([](int x, int y) { return kPicture[y][x]; }, topDown ? "top-down" : "bottom-up");

    Dib out = MakeDib(3, topDown ? -2 : 2, 24);
    std::vector<BYTE> read(24, 0xAB);
    EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, read.data(), out.info(), DIB_RGB_COLORS), 2);
    for (size_t i = 0; i < bits.size(); ++i) {
      const bool padding = i % 12 >= 9;
      EXPECT_EQ(read[i], padding ? 0 : bits[i]) << "byte " << i;
    }
  }
}

TEST(Dib, HeaderOnlyCallCompletesTheImageSize) {
  Canvas c(3, 5);
  Dib dib = MakeDib(3, 5, 24);
  EXPECT_NE(GetDIBits(c.dc(), c.bitmap(), 0, 5, nullptr, dib.info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(dib.header.biSizeImage, 12u * 5);
  Dib own{};
  own.header.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(c.dc(), c.bitmap(), 0, 0, nullptr, own.info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(own.header.biWidth, 3);
  EXPECT_EQ(own.header.biHeight, 5);
  EXPECT_EQ(own.header.biBitCount, 32);
  EXPECT_EQ(own.header.biSizeImage, 3u * 4 * 5);
}

TEST(Dib, PaletteDepthsLookUpTheirColourTable) {
  struct Row {
    int bits;
    std::vector<BYTE> row;  // one row of 4 pixels, indices 0, 1, 1, 0 (padded to 4 bytes)
  };
  const Row rows[] = {{1, {0x60, 0, 0, 0}}, {4, {0x01, 0x10, 0, 0}}, {8, {0, 1, 1, 0}}};
  for (const Row& row : rows) {
    Dib dib = MakeDib(4, 1, row.bits);
    dib.header.biClrUsed = 2;
    dib.colors[0] = RGBQUAD{0x10, 0x20, 0x30, 0};
    dib.colors[1] = RGBQUAD{0xC0, 0xB0, 0xA0, 0};
    Canvas c(4, 1);
    SetDIBits(c.dc(), c.bitmap(), 0, 1, row.row.data(), dib.info(), DIB_RGB_COLORS);
    c.Expect([](int x, int) { return (x == 1 || x == 2) ? RGB(0xA0, 0xB0, 0xC0) : RGB(0x30, 0x20, 0x10); },
             "bits " + std::to_string(row.bits));
  }
}

TEST(Dib, MonochromeOutputHasABlackAndWhiteTable) {
  Canvas c(10, 1);
  for (int x = 0; x < 10; ++x) SetPixel(c.dc(), x, 0, x % 3 == 0 ? 0xFFFFFF : 0);
  Dib dib = MakeDib(10, 1, 1);
  BYTE bits[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 1, bits, dib.info(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(dib.colors[0].rgbRed, 0);
  EXPECT_EQ(dib.colors[1].rgbRed, 255);
  EXPECT_EQ(bits[0], 0x92);  // pixels 0, 3, 6
  EXPECT_EQ(bits[1], 0x40);  // pixel 9; the rest of the row is padding
  EXPECT_EQ(bits[2], 0);
}

TEST(Dib, SetDIBitsToDeviceDrawsOnlyTheBandGiven) {
  // A bottom-up 2 × 4 DIB whose scan lines are 0x10 × scan; only scans 1 and 2 are passed.
  Dib dib = MakeDib(2, 4, 32);
  std::vector<uint32_t> band = {0x101010, 0x101010, 0x202020, 0x202020};
  Canvas c(4, 6);
  EXPECT_EQ(SetDIBitsToDevice(c.dc(), 1, 1, 2, 4, 0, 0, 1, 2, band.data(), dib.info(), DIB_RGB_COLORS), 2);
  // Scan s lies at row 3 - s of the picture, drawn from y 1.
  c.Expect([](int x, int y) {
    if (x >= 1 && x < 3 && y == 2) return COLORREF{0x202020};
    if (x >= 1 && x < 3 && y == 3) return COLORREF{0x101010};
    return kSentinel;
  }, "band");
}

TEST(Dib, StretchDIBitsScalesAndCreateDIBitmapInitialises) {
  Dib dib = MakeDib(2, 1, 32);
  const uint32_t px[2] = {0x0000FF, 0x00FF00};  // blue, green (BGRX bytes)
  Canvas c(6, 2);
  EXPECT_NE(StretchDIBits(c.dc(), 0, 0, 4, 2, 0, 0, 2, 1, px, dib.info(), DIB_RGB_COLORS, SRCCOPY), 0);
  c.Expect([](int x, int) { return x < 2 ? RGB(0, 0, 255) : (x < 4 ? RGB(0, 255, 0) : kSentinel); }, "stretched");

  HBITMAP made = CreateDIBitmap(c.dc(), &dib.header, CBM_INIT, px, dib.info(), DIB_RGB_COLORS);
  ASSERT_NE(made, 0u);
  BITMAP bm;
  ASSERT_EQ(GetObjectA(made, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 2);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, made);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  DeleteDC(dc);
  DeleteObject(made);
}

TEST(Dib, MalformedHeadersAreRefused) {
  Canvas c(2, 2);
  uint32_t px[4] = {};
  Dib bad = MakeDib(2, 2, 24);
  bad.header.biCompression = 1;  // run-length coded
  EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 0, 2, px, bad.info(), DIB_RGB_COLORS), 0);
  bad = MakeDib(2, 2, 7);
  EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 0, 2, px, bad.info(), DIB_RGB_COLORS), 0);
  bad = MakeDib(0x7FFFFFFF, 2, 24);
  EXPECT_EQ(SetDIBits(c.dc(), c.bitmap(), 0, 2, px, bad.info(), DIB_RGB_COLORS), 0);
  bad.header.biSize = 12;
  EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 2, 2, 0, 0, 2, 2, px, bad.info(), DIB_RGB_COLORS, SRCCOPY), 0);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
