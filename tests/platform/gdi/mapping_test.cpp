// Mapping modes, MulDiv, device capabilities and stretching.
#include "canvas.h"
#include "platform/gdi/surface.h"

namespace quorlin::platform::gdi::testing {
namespace {

TEST(Mapping, MulDivRoundsHalfAwayFromZero) {
  struct Row { int a, b, c, expected; };
  const Row rows[] = {{385, 50, 100, 193}, {580, 50, 100, 290}, {5, 1, 2, 3}, {-5, 1, 2, -3},
                      {16, 96, 72, 21},    {14, 96, 72, 19},    {7, 1, 0, -1}, {0x7FFFFFFF, 2, 1, -1},
                      {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}, {-7, 3, -2, 11}};
  for (const Row& r : rows) EXPECT_EQ(MulDiv(r.a, r.b, r.c), r.expected) << r.a << "*" << r.b << "/" << r.c;
}

TEST(Mapping, FixedModesConvertAt96PixelsPerInchWithYUp) {
  struct Row { int mode; POINT logical; POINT device; };
  const Row rows[] = {{MM_TEXT, {10, 20}, {10, 20}},        {MM_LOMETRIC, {254, -254}, {96, 96}},
                      {MM_HIMETRIC, {2540, 0}, {96, 0}},    {MM_LOENGLISH, {100, -50}, {96, 48}},
                      {MM_HIENGLISH, {-1000, 0}, {-96, 0}}, {MM_TWIPS, {1440, -720}, {96, 48}},
                      {MM_LOMETRIC, {100, 0}, {38, 0}}};
  for (const Row& r : rows) {
    Canvas c(1, 1);
    SetMapMode(c.dc(), r.mode);
    POINT p = r.logical;
    LPtoDP(c.dc(), &p, 1);
    EXPECT_EQ(p.x, r.device.x) << "mode " << r.mode;
    EXPECT_EQ(p.y, r.device.y) << "mode " << r.mode;
  }
}

TEST(Mapping, AnisotropicUsesExtentsAndOrigins) {
  Canvas c(40, 40);
  // The draw panel's set-up: a fixed mode, then anisotropic with the y extent negated.
  SetMapMode(c.dc(), MM_LOMETRIC);
  SetMapMode(c.dc(), MM_ANISOTROPIC);
  SIZE ext;
  GetWindowExtEx(c.dc(), &ext);
  SetWindowExtEx(c.dc(), ext.cx, -ext.cy, nullptr);
  POINT p{254, 254};
  LPtoDP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 96);
  EXPECT_EQ(p.y, 96);  // y now grows downward

  SetMapMode(c.dc(), MM_ANISOTROPIC);
  SetWindowExtEx(c.dc(), 10, 10, nullptr);
  SetViewportExtEx(c.dc(), 20, 40, nullptr);
  SetWindowOrgEx(c.dc(), 5, 5, nullptr);
  SetViewportOrgEx(c.dc(), 1, 2, nullptr);
  p = POINT{7, 6};
  LPtoDP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 1 + 2 * 2);
  EXPECT_EQ(p.y, 2 + 1 * 4);
  DPtoLP(c.dc(), &p, 1);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 6);
  // Figures follow the mapping: logical (5, 5)-(7, 6) is device (1, 2)-(5, 6).
  RECT r{5, 5, 7, 6};
  FillRect(c.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT box;
  GetClipBox(c.dc(), &box);
  EXPECT_EQ(box.left, 5 + MulDiv(-1, 10, 20));
  SetMapMode(c.dc(), MM_TEXT);
  SetWindowOrgEx(c.dc(), 0, 0, nullptr);
  SetViewportOrgEx(c.dc(), 0, 0, nullptr);
  c.Expect([](int x, int y) { return Inside(x, y, 1, 2, 5, 6) ? COLORREF{0xFFFFFF} : kSentinel; }, "mapped fill");
}

TEST(Mapping, DeviceCapsDescribeATrueColourScreen) {
  Canvas c(1, 1);
  quorlin::platform::SetScreenSize(1280, 1024);
  EXPECT_EQ(GetDeviceCaps(c.dc(), LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(c.dc(), LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(c.dc(), BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(c.dc(), PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(c.dc(), RASTERCAPS) & RC_PALETTE, 0);
  EXPECT_EQ(GetDeviceCaps(c.dc(), HORZRES), 1280);
  EXPECT_EQ(GetDeviceCaps(c.dc(), VERTRES), 1024);
  EXPECT_EQ(GetDeviceCaps(c.dc(), HORZSIZE), 339);
  EXPECT_EQ(GetDeviceCaps(c.dc(), VERTSIZE), 271);
  quorlin::platform::SetScreenSize(800, 600);
  EXPECT_EQ(GetDeviceCaps(c.dc(), HORZRES), 800);
  quorlin::platform::SetScreenSize(1280, 1024);
}

TEST(Stretch, HalftoneAveragesAreasAndColorOnColorPicksPixels) {
  Canvas src(4, 2);
  for (int x = 0; x < 4; ++x) {
    SetPixel(src.dc(), x, 0, x % 2 ? 0x00FFFFFF : 0);
    SetPixel(src.dc(), x, 1, x % 2 ? 0x00FFFFFF : 0);
  }
  Canvas half(2, 1);
  SetStretchBltMode(half.dc(), HALFTONE);
  StretchBlt(half.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 2, SRCCOPY);
  EXPECT_EQ(half.At(0, 0), 0x00808080u);
  EXPECT_EQ(half.At(1, 0), 0x00808080u);
  Canvas nearest(2, 1);
  SetStretchBltMode(nearest.dc(), COLORONCOLOR);
  StretchBlt(nearest.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 2, SRCCOPY);
  EXPECT_EQ(nearest.At(0, 0), 0x00FFFFFFu);  // the centre of destination pixel 0 falls on source pixel 1
}

TEST(Stretch, NegativeWidthMirrors) {
  Canvas src(3, 1);
  for (int x = 0; x < 3; ++x) SetPixel(src.dc(), x, 0, RGB(x * 100, 0, 0));
  Canvas dest(5, 1);
  StretchBlt(dest.dc(), 4, 0, -3, 1, src.dc(), 0, 0, 3, 1, SRCCOPY);
  dest.Expect([](int x, int) { return x == 0 ? kSentinel : (x == 4 ? kSentinel : RGB((3 - x) * 100, 0, 0)); },
              "mirrored");
}

TEST(Blit, OverlappingCopyWithinOneBitmapReadsTheOriginal) {
  Canvas c(6, 1);
  for (int x = 0; x < 6; ++x) SetPixel(c.dc(), x, 0, RGB(x, 0, 0));
  BitBlt(c.dc(), 1, 0, 5, 1, c.dc(), 0, 0, SRCCOPY);
  c.Expect([](int x, int) { return RGB(x == 0 ? 0 : x - 1, 0, 0); }, "shifted right");
}

TEST(Blit, SurfaceContextDrawsOnlyInItsVisiblePart) {
  auto surface = std::make_shared<quorlin::platform::Surface>(10, 10);
  quorlin::platform::VisibleRects visible;
  visible.rects = {RECT{0, 0, 3, 3}, RECT{5, 0, 8, 2}};
  HDC dc = quorlin::platform::CreateSurfaceDC(surface, POINT{2, 1}, visible);
  ASSERT_NE(dc, 0u);
  RECT all{-10, -10, 100, 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const int dx = x - 2, dy = y - 1;
      const bool in = Inside(dx, dy, 0, 0, 3, 3) || Inside(dx, dy, 5, 0, 8, 2);
      EXPECT_EQ(surface->Row(y)[x], in ? 0x00FFFFFFu : 0u) << x << "," << y;
    }
  EXPECT_EQ(GetPixel(dc, 0, 0), 0x00FFFFFFu);
  DeleteDC(dc);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
