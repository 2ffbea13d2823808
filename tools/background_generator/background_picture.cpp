#include "tools/background_generator/background_picture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorlin::tools {
namespace {

struct Colour {
  double r, g, b;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A soft disc of light: full strength inside the core, fading out over the rim.
struct LightDisc {
  double x, y, radius, strength;
  Colour tint;
};

// Placed around the card's edges and upper corners, away from the portrait (230..370 ×
// 100..240) and the text band.
constexpr std::array<LightDisc, 11> kDiscs = {{
    {70, 60, 90, 0.30, {120, 200, 255}},
    {520, 70, 120, 0.22, {110, 230, 230}},
    {470, 170, 40, 0.28, {190, 240, 255}},
    {130, 190, 30, 0.25, {170, 230, 255}},
    {40, 330, 70, 0.18, {90, 210, 220}},
    {555, 330, 55, 0.20, {120, 240, 220}},
    {300, 20, 50, 0.16, {150, 210, 255}},
    {690, 240, 140, 0.20, {100, 220, 210}},
    {640, 500, 110, 0.22, {120, 230, 230}},
    {180, 520, 130, 0.18, {110, 190, 250}},
    {420, 430, 60, 0.18, {160, 235, 240}},
}};

double Smooth(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

Colour PixelAt(int x, int y) {
  const Colour deepBlue{10, 28, 74};
  const Colour teal{14, 112, 118};
  // The gradient runs from the top-left corner to the bottom-right one.
  const double along = (x / double(kBackgroundWidth) * 0.6 + y / double(kBackgroundHeight) * 0.4);
  Colour c = Mix(deepBlue, teal, Smooth(0.0, 1.0, along));

  // Two faint diagonal bands of light.
  const double diagonal = (x - 0.8 * y) / 60.0;
  const double band = std::exp(-std::pow(diagonal - 4.0, 2) / 2.0) * 0.10 +
                      std::exp(-std::pow(diagonal + 2.5, 2) / 3.0) * 0.06;
  c = Mix(c, Colour{150, 220, 240}, band);

  for (const LightDisc& disc : kDiscs) {
    const double distance = std::hypot(x - disc.x, y - disc.y);
    const double light = disc.strength * (1.0 - Smooth(disc.radius * 0.55, disc.radius, distance));
    c = Mix(c, disc.tint, light);
  }

  // Darker behind the text lines so that white text stands out.
  const double textBand = Smooth(215, 262, y) * (1.0 - Smooth(332, 380, y)) *
                          (1.0 - Smooth(220, 420, std::abs(x - 290.0)));
  const double dim = 1.0 - 0.30 * textBand;
  return {c.r * dim, c.g * dim, c.b * dim};
}

uint8_t Channel(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

}  // namespace

std::vector<uint8_t> DrawBackgroundPixels() {
  std::vector<uint8_t> pixels;
  pixels.reserve(size_t{kBackgroundWidth} * kBackgroundHeight * 3);
  for (int y = 0; y < kBackgroundHeight; ++y) {
    for (int x = 0; x < kBackgroundWidth; ++x) {
      const Colour c = PixelAt(x, y);
      pixels.push_back(Channel(c.r));
      pixels.push_back(Channel(c.g));
      pixels.push_back(Channel(c.b));
    }
  }
  return pixels;
}

}  // namespace quorlin::tools
