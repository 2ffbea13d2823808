// Making a decoded 800 × 600 JPEG drawable and drawing it, as a picture box or a panel
// background does on every paint (the decoding itself is measured in pictures_bench).
#include <benchmark/benchmark.h>

#include "graphics/pictures/drawable_picture.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

const DecodedPicture& Photo() {
  static const auto picture = [] {
    const testing::Bytes file = testing::WriteJpeg(testing::TestImage(800, 600), 85);
    return DecodePicture(file.data(), file.size());
  }();
  return *picture;
}

const DecodedPicture& TransparentPhoto() {
  static const auto picture = [] {
    const testing::RgbImage image = testing::TestImage(800, 600);
    std::vector<uint8_t> rgba;
    rgba.reserve(800 * 600 * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      const testing::Rgb& p = image.pixels[i];
      rgba.insert(rgba.end(), {p.r, p.g, p.b, static_cast<uint8_t>(i % 256)});
    }
    const testing::Bytes file = testing::WritePng(800, 600, rgba);
    return DecodePicture(file.data(), file.size());
  }();
  return *picture;
}

struct Target {
  Target(int width, int height) {
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(0, width, height);
    old = SelectObject(dc, bitmap);
  }
  ~Target() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

void BM_MakeDrawable_Jpeg800x600(benchmark::State& state) {
  Target target(800, 600);
  for (auto _ : state) benchmark::DoNotOptimize(MakeDrawablePicture(Photo(), target.dc, 0xFFFFFF));
}

void BM_MakeDrawable_PngBlend800x600(benchmark::State& state) {
  Target target(800, 600);
  for (auto _ : state) benchmark::DoNotOptimize(MakeDrawablePicture(TransparentPhoto(), target.dc, 0xFFFFFF));
}

// Made and drawn, as one paint does: natural size, then stretched (halftone) to the card's
// 580 × 385 canvas and to the 134 × 134 portrait box.
void BM_MakeAndDraw_Jpeg800x600(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  Target target(width, height);
  for (auto _ : state) {
    auto drawable = MakeDrawablePicture(Photo(), target.dc, 0xFFFFFF);
    DrawDecodedPicture(*drawable, 0, 0, width, height, SRCCOPY);
  }
}

void BM_MakeAndDraw_TransparentColour(benchmark::State& state) {
  Target target(800, 600);
  for (auto _ : state) {
    auto drawable = MakeDrawablePicture(Photo(), target.dc, 0xFFFFFF);
    DrawDecodedPicture(*drawable, 0, 0, -1, -1, -int64_t{0x00FFFFFF});
  }
}

BENCHMARK(BM_MakeDrawable_Jpeg800x600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeDrawable_PngBlend800x600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeAndDraw_Jpeg800x600)->Args({800, 600})->Args({580, 385})->Args({134, 134})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeAndDraw_TransparentColour)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorlin::pictures
