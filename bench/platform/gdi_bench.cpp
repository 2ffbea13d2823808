// Drawing speed targets: a card-sized copy, the halftone shrink of a background picture, and a
// line of Chinese text once its glyphs are cached.
#include <benchmark/benchmark.h>

#include "platform/gdi/gdi.h"

namespace {

struct MemoryCanvas {
  MemoryCanvas(int w, int h) {
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(0, w, h);
    old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
  ~MemoryCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void BM_BitBltCardCopy(benchmark::State& state) {
  MemoryCanvas src(580, 385), dest(580, 385);
  for (auto _ : state) {
    BitBlt(dest.dc, 0, 0, 580, 385, src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BitBltCardCopy)->Unit(benchmark::kMicrosecond);

void BM_HalftoneStretch800x600To580x385(benchmark::State& state) {
  MemoryCanvas src(800, 600), dest(580, 385);
  for (int y = 0; y < 600; y += 7)
    for (int x = 0; x < 800; x += 5) SetPixel(src.dc, x, y, RGB(x & 255, y & 255, (x + y) & 255));
  SetStretchBltMode(dest.dc, HALFTONE);
  for (auto _ : state) {
    StretchBlt(dest.dc, 0, 0, 580, 385, src.dc, 0, 0, 800, 600, SRCCOPY);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_HalftoneStretch800x600To580x385)->Unit(benchmark::kMicrosecond);

void BM_TextOutTenCjkCharacters(benchmark::State& state) {
  MemoryCanvas canvas(580, 385);
  LOGFONTA f{};
  f.lfHeight = -21;
  f.lfWeight = FW_BOLD;
  const char face[] = "\xBA\xDA\xCC\xE5";  // 黑体
  for (size_t i = 0; i < sizeof face; ++i) f.lfFaceName[i] = face[i];
  HFONT font = CreateFontIndirectA(&f);
  SelectObject(canvas.dc, font);
  SetBkMode(canvas.dc, TRANSPARENT);
  // 吧龄: 十二年的会员资 in GBK, ten characters
  const char text[] = "\xB0\xC9\xC1\xE4\xCA\xAE\xB6\xFE\xC4\xEA\xB5\xC4\xBB\xE1\xD4\xB1\xD7\xCA\xB8\xF1";
  TextOutA(canvas.dc, 10, 10, text, 20);  // caches the glyphs
  for (auto _ : state) {
    TextOutA(canvas.dc, 10, 10, text, 20);
    benchmark::ClobberMemory();
  }
  SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
}
BENCHMARK(BM_TextOutTenCjkCharacters)->Unit(benchmark::kMicrosecond);

}  // namespace
