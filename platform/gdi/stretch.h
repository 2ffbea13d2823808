// Resampling of pixel blocks for stretched transfers: nearest pixel and area averaging.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform::gdi {

// Read-only source pixels; (0, 0) is the first pixel of `pixels`.
struct SourceImage {
  const uint32_t* pixels = nullptr;
  int stride = 0;  // in pixels
  int width = 0;
  int height = 0;
  bool monochrome = false;
};

// For destination positions [from, to) of a span of `destLength` pixels mapped onto `srcLength`
// source pixels starting at `srcStart`: the nearest source index of each, clamped to
// [0, srcLimit). `flip` mirrors the mapping.
std::vector<int> NearestIndices(int srcStart, int srcLength, int destLength, int from, int to, bool flip, int srcLimit);

// Area-averaged pixels of the destination part `part` (in a destination of destWidth ×
// destHeight covering the source rectangle `src`), written row by row into `out`.
void AreaAverage(const SourceImage& image, const RECT& src, int destWidth, int destHeight, const RECT& part,
                 bool flipX, bool flipY, uint32_t* out);

}  // namespace quorlin::platform::gdi
