// Icons from resource bits: masks, depths, alpha, PNG and malformed data.
#include <vector>

#include "canvas.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/sys_colors.h"

namespace quorlin::platform::gdi::testing {
namespace {

void Put32(std::vector<BYTE>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<BYTE>(x >> (8 * i)));
}

// A 2 × 2 icon image: header, colour rows (bottom-up) and AND rows of 4 bytes each.
std::vector<BYTE> IconBits(int bits, const std::vector<BYTE>& table, const std::vector<BYTE>& xorRows,
                           const std::vector<BYTE>& andRows) {
  std::vector<BYTE> v;
  Put32(v, 40);
  Put32(v, 2);
  Put32(v, 4);  // XOR and AND images
  v.push_back(1); v.push_back(0);
  v.push_back(static_cast<BYTE>(bits)); v.push_back(0);
  for (int i = 0; i < 6; ++i) Put32(v, 0);
  v.insert(v.end(), table.begin(), table.end());
  v.insert(v.end(), xorRows.begin(), xorRows.end());
  v.insert(v.end(), andRows.begin(), andRows.end());
  return v;
}

// AND mask: top-left pixel transparent (rows bottom-up: the second row is the top one).
const std::vector<BYTE> kAnd = {0x00, 0, 0, 0, 0x80, 0, 0, 0};

TEST(Icon, DibIconsDrawThroughTheirMask) {
  struct Row { const char* name; std::vector<BYTE> bits; };
  const std::vector<BYTE> table = {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0};  // red, blue
  const Row rows[] = {
      {"1 bit", IconBits(1, table, {0x40, 0, 0, 0, 0x40, 0, 0, 0}, kAnd)},
      {"4 bits", IconBits(4, std::vector<BYTE>(table.begin(), table.end()), {0x01, 0, 0, 0, 0x01, 0, 0, 0}, kAnd)},
      {"24 bits", IconBits(24, {}, {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}, kAnd)},
  };
  for (const Row& row : rows) {
    std::vector<BYTE> bits = row.bits;
    if (row.name[0] == '4') {
      // 16-entry table: pad it.
      bits = IconBits(4, [&] { auto t = table; t.resize(64, 0); return t; }(), {0x01, 0, 0, 0, 0x01, 0, 0, 0}, kAnd);
    }
    HICON icon = CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x30000, 0, 0, 0);
    ASSERT_NE(icon, 0u) << row.name;
    Canvas c(4, 4);
    ASSERT_TRUE(DrawIconEx(c.dc(), 1, 1, icon, 0, 0, 0, 0, DI_NORMAL));
    c.Expect([](int x, int y) {
      // Where the AND mask keeps the background the colour image is XORed onto it.
      if (x == 1 && y == 1) return kSentinel ^ 0x0000FF;
      if (!Inside(x, y, 1, 1, 3, 3)) return kSentinel;
      return x == 1 ? COLORREF{0x0000FF} : COLORREF{0xFF0000};
    }, row.name);
    // At twice the size each pixel covers 2 × 2.
    Canvas big(4, 4);
    DrawIconEx(big.dc(), 0, 0, icon, 4, 4, 0, 0, DI_NORMAL);
    big.Expect([](int x, int y) {
      if (x < 2 && y < 2) return kSentinel ^ 0x0000FF;
      return x < 2 ? COLORREF{0x0000FF} : COLORREF{0xFF0000};
    }, std::string(row.name) + " doubled");
    EXPECT_TRUE(DestroyIcon(icon));
  }
}

TEST(Icon, ThirtyTwoBitAlphaBlends) {
  std::vector<BYTE> xorRows;
  Put32(xorRows, 0x80FF0000);  // half red (BGRA little-endian: 0xAARRGGBB)
  Put32(xorRows, 0xFF0000FF);  // opaque blue
  Put32(xorRows, 0x00000000);
  Put32(xorRows, 0xFF00FF00);
  auto bits = IconBits(32, {}, xorRows, std::vector<BYTE>(8, 0));
  HICON icon = CreateIconFromResource(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x30000);
  ASSERT_NE(icon, 0u);
  Canvas c(2, 2, false, 0xFFFFFF);
  DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, 0, DI_NORMAL);
  EXPECT_EQ(c.At(0, 1), RGB(255, 127, 127));  // bottom-left: half red over white
  EXPECT_EQ(c.At(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255));  // fully transparent
  EXPECT_EQ(c.At(1, 0), RGB(0, 255, 0));
  DestroyIcon(icon);
}

TEST(Icon, MalformedDataGivesNoIcon) {
  const std::vector<BYTE> table(8, 0);
  const auto good = IconBits(1, table, std::vector<BYTE>(8, 0), kAnd);
  ASSERT_NE(CreateIconFromResource(good.data(), static_cast<DWORD>(good.size()), TRUE, 0x30000), 0u);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(CreateIconFromResource(good.data(), static_cast<DWORD>(cut), TRUE, 0x30000), 0u) << "cut at " << cut;
  }
  auto bad = good;
  bad[14] = 7;  // no such depth
  EXPECT_EQ(CreateIconFromResource(bad.data(), static_cast<DWORD>(bad.size()), TRUE, 0x30000), 0u);
  bad = good;
  bad[4] = 0xFF; bad[5] = 0xFF; bad[6] = 0xFF; bad[7] = 0x7F;  // absurd width
  EXPECT_EQ(CreateIconFromResource(bad.data(), static_cast<DWORD>(bad.size()), TRUE, 0x30000), 0u);
  const BYTE png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  EXPECT_EQ(CreateIconFromResource(png, sizeof png, TRUE, 0x30000), 0u);
}

TEST(SystemColors, ButtonFaceAndFriends) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xF0F0F0u);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xFFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0xA0A0A0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), 0xFFFFFFu);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  EXPECT_EQ(face, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_TRUE(DeleteObject(face));  // stock: survives
  Canvas c(2, 1);
  RECT r{0, 0, 2, 1};
  FillRect(c.dc(), &r, static_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(c.At(1, 0), 0xF0F0F0u);
  FillRect(c.dc(), &r, face);
  EXPECT_EQ(c.At(0, 0), 0xF0F0F0u);
}

TEST(Objects, StockObjectsSelectionAndGetObject) {
  HDC dc = CreateCompatibleDC(0);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  HBITMAP a = CreateCompatibleBitmap(0, 5, 3);
  BITMAP bm{};
  EXPECT_EQ(GetObjectA(a, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmWidthBytes, 20);
  HGDIOBJ old = SelectObject(dc, a);
  EXPECT_EQ(GetObjectType(old), OBJ_BITMAP);
  HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, a), 0u);  // already selected elsewhere
  EXPECT_FALSE(DeleteObject(a));
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_EQ(GetObjectType(a), 0u);
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), 60);
  EXPECT_LT(lf.lfHeight, 0);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
  HPALETTE pal = GetStockObject(DEFAULT_PALETTE);
  EXPECT_EQ(SelectPalette(dc, pal, FALSE), pal);
  EXPECT_EQ(RealizePalette(dc), 0u);
  PALETTEENTRY e[4];
  EXPECT_EQ(GetSystemPaletteEntries(dc, 0, 4, e), 0u);
  EXPECT_EQ(SaveDC(dc), 1);
  SetTextColor(dc, 0x123);
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetTextColor(dc), 0u);
  DeleteDC(other);
  DeleteDC(dc);
  EXPECT_EQ(GetObjectType(dc), 0u);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
