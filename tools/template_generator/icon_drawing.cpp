#include "tools/template_generator/icon_drawing.h"

#include <algorithm>
#include <cmath>

#include "runtime/forms/template/template_stream.h"

namespace quorlin::tools {

namespace {

constexpr int kSize = 128;
constexpr int kSubsamples = 4;

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;
};

bool InRoundedRect(double x, double y, double left, double top, double right, double bottom, double radius) {
  if (x < left || x > right || y < top || y > bottom) return false;
  double cx = std::clamp(x, left + radius, right - radius);
  double cy = std::clamp(y, top + radius, bottom - radius);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool InCircle(double x, double y, double cx, double cy, double r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The drawing, top-down: a blue identity card with a white-framed orange portrait and two text
// lines, on a transparent ground.
Rgba Sample(double x, double y) {
  if (!InRoundedRect(x, y, 6, 22, 122, 106, 14)) return {};
  if (InCircle(x, y, 40, 64, 24)) {
    if (!InCircle(x, y, 40, 64, 20)) return {255, 255, 255, 255};
    bool head = InCircle(x, y, 40, 58, 8);
    bool shoulders = InCircle(x, y, 40, 82, 14) && y < 84;
    return head || shoulders ? Rgba{255, 255, 255, 255} : Rgba{240, 140, 40, 255};
  }
  if (InRoundedRect(x, y, 72, 50, 112, 58, 4) || InRoundedRect(x, y, 72, 70, 102, 76, 3)) {
    return {230, 238, 255, 255};
  }
  return {40, 100, 200, 255};
}

}  // namespace

std::vector<uint8_t> DrawProgramIconPixels(int size) {
  // The drawing's coordinates are those of the 128-pixel icon.
  const double scale = double(kSize) / size;
  std::vector<uint8_t> pixels;
  pixels.reserve(size_t(size) * size * 4);
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      Rgba sum;
      for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
          Rgba s = Sample((column + (sx + 0.5) / kSubsamples) * scale, (row + (sy + 0.5) / kSubsamples) * scale);
          sum.r += s.r * s.a;
          sum.g += s.g * s.a;
          sum.b += s.b * s.a;
          sum.a += s.a;
        }
      }
      double alpha = sum.a / (kSubsamples * kSubsamples);
      auto channel = [&](double premultiplied) {
        return uint8_t(sum.a > 0 ? std::lround(premultiplied / sum.a) : 0);
      };
      pixels.insert(pixels.end(), {channel(sum.r), channel(sum.g), channel(sum.b), uint8_t(std::lround(alpha))});
    }
  }
  return pixels;
}

std::vector<uint8_t> DrawProgramIcon() {
  using forms::AppendHalf;
  using forms::AppendWord;
  constexpr uint32_t kPixelBytes = kSize * kSize * 4;
  constexpr uint32_t kMaskBytes = kSize * (kSize / 8);
  constexpr uint32_t kImageBytes = 40 + kPixelBytes + kMaskBytes;

  std::vector<uint8_t> ico;
  AppendHalf(ico, 0);  // reserved
  AppendHalf(ico, 1);  // icon
  AppendHalf(ico, 1);  // one image
  ico.insert(ico.end(), {uint8_t(kSize), uint8_t(kSize), 0, 0});
  AppendHalf(ico, 1);   // planes
  AppendHalf(ico, 32);  // bits per pixel
  AppendWord(ico, kImageBytes);
  AppendWord(ico, 22);  // image offset: header and one directory entry

  AppendWord(ico, 40);
  AppendWord(ico, kSize);
  AppendWord(ico, kSize * 2);  // XOR and AND images together
  AppendHalf(ico, 1);
  AppendHalf(ico, 32);
  AppendWord(ico, 0);  // no compression
  AppendWord(ico, kPixelBytes + kMaskBytes);
  for (int i = 0; i < 4; ++i) AppendWord(ico, 0);

  const std::vector<uint8_t> rgba = DrawProgramIconPixels(kSize);
  std::vector<uint8_t> mask(kMaskBytes, 0);
  for (int row = kSize - 1; row >= 0; --row) {  // bottom-up
    for (int column = 0; column < kSize; ++column) {
      const uint8_t* p = &rgba[(size_t(row) * kSize + column) * 4];
      ico.insert(ico.end(), {p[2], p[1], p[0], p[3]});
      if (p[3] == 0) {
        int maskRow = kSize - 1 - row;
        mask[maskRow * (kSize / 8) + column / 8] |= uint8_t(0x80 >> (column % 8));
      }
    }
  }
  ico.insert(ico.end(), mask.begin(), mask.end());
  return ico;
}

}  // namespace quorlin::tools
