#include "platform/gdi/stretch.h"

#include <algorithm>
#include <memory>

namespace quorlin::platform::gdi {
namespace {

// 8-bit shares keep the sums of the vertical pass in 16 bits and let the horizontal pass
// multiply four channels at once in 16-bit lanes of one 64-bit word.
constexpr int kWeightBits = 8;
constexpr int kWeightOne = 1 << kWeightBits;

// The source pixels each destination pixel covers and their shares, summing to kWeightOne.
struct Taps {
  std::vector<int> start;   // per destination pixel: index into index/weight
  std::vector<int> index;   // source index (clamped)
  std::vector<int> weight;
};

Taps BoxTaps(int srcStart, int srcLength, int destLength, int from, int to, bool flip, int srcLimit,
             int weightOne = kWeightOne) {
  Taps taps;
  taps.start.reserve(static_cast<size_t>(to - from) + 1);
  for (int i = from; i < to; ++i) {
    taps.start.push_back(static_cast<int>(taps.index.size()));
    const int64_t k = flip ? destLength - 1 - i : i;
    const int64_t lo = k * srcLength, hi = lo + srcLength;  // in 1/destLength source pixels
    int total = 0;
    size_t largest = taps.index.size();
    for (int64_t j = lo / destLength; j * destLength < hi; ++j) {
      const int64_t overlap = std::min(hi, (j + 1) * destLength) - std::max(lo, j * destLength);
      if (overlap <= 0) continue;
      const int w = static_cast<int>(overlap * weightOne / srcLength);
      taps.index.push_back(std::clamp(static_cast<int>(srcStart + j), 0, srcLimit - 1));
      taps.weight.push_back(w);
      if (w > taps.weight[largest]) largest = taps.weight.size() - 1;
      total += w;
    }
    if (largest < taps.weight.size()) taps.weight[largest] += weightOne - total;
  }
  taps.start.push_back(static_cast<int>(taps.index.size()));
  return taps;
}

}  // namespace

std::vector<int> NearestIndices(int srcStart, int srcLength, int destLength, int from, int to, bool flip, int srcLimit) {
  std::vector<int> out;
  out.reserve(static_cast<size_t>(std::max(0, to - from)));
  for (int i = from; i < to; ++i) {
    const int64_t k = flip ? destLength - 1 - i : i;
    const int64_t s = (2 * k + 1) * srcLength / (2 * int64_t{destLength});
    out.push_back(std::clamp(static_cast<int>(srcStart + s), 0, srcLimit - 1));
  }
  return out;
}

void AreaAverage(const SourceImage& image, const RECT& src, int destWidth, int destHeight, const RECT& part,
                 bool flipX, bool flipY, uint32_t* out) {
  const int partWidth = part.right - part.left;
  const Taps tx = BoxTaps(src.left, src.right - src.left, destWidth, part.left, part.right, flipX, image.width);
  const Taps ty = BoxTaps(src.top, src.bottom - src.top, destHeight, part.top, part.bottom, flipY, image.height);
  if (ty.index.empty() || partWidth <= 0) return;
  const int colLo = *std::min_element(tx.index.begin(), tx.index.end());
  const int colHi = *std::max_element(tx.index.begin(), tx.index.end()) + 1;
  const size_t values = static_cast<size_t>(colHi - colLo) * 4;

  // Vertical pass first, over the bytes of whole source rows (which vectorises), then the
  // horizontal pass over the four channels of that one filtered row.
  std::vector<uint16_t> column(values);
  std::vector<uint64_t> spread(static_cast<size_t>(colHi - colLo));
  constexpr uint32_t kHalf = kWeightOne / 2;
  for (int y = 0; y < part.bottom - part.top; ++y) {
    std::fill(column.begin(), column.end(), 0);
    for (int t = ty.start[static_cast<size_t>(y)]; t < ty.start[static_cast<size_t>(y) + 1]; ++t) {
      const uint8_t* in = reinterpret_cast<const uint8_t*>(
          image.pixels + static_cast<size_t>(ty.index[static_cast<size_t>(t)]) * image.stride + colLo);
      const uint16_t w = static_cast<uint16_t>(ty.weight[static_cast<size_t>(t)]);
      uint16_t* c = column.data();
      for (size_t i = 0; i < values; ++i) c[i] = static_cast<uint16_t>(c[i] + in[i] * w);
    }
    // Each filtered pixel with its channels in 16-bit lanes.
    for (size_t i = 0; i < spread.size(); ++i) {
      const uint16_t* c = column.data() + 4 * i;
      spread[i] = uint64_t{(c[0] + kHalf) >> kWeightBits} | (uint64_t{(c[1] + kHalf) >> kWeightBits} << 16) |
                  (uint64_t{(c[2] + kHalf) >> kWeightBits} << 32) | (uint64_t{(c[3] + kHalf) >> kWeightBits} << 48);
    }
    uint32_t* o = out + static_cast<size_t>(y) * partWidth;
    for (int x = 0; x < partWidth; ++x) {
      uint64_t sum = 0;
      for (int t = tx.start[static_cast<size_t>(x)]; t < tx.start[static_cast<size_t>(x) + 1]; ++t) {
        sum += spread[static_cast<size_t>(tx.index[static_cast<size_t>(t)] - colLo)] *
               static_cast<uint64_t>(tx.weight[static_cast<size_t>(t)]);
      }
      sum += 0x0080008000800080ull;  // rounding of each lane
      o[x] = static_cast<uint32_t>(((sum >> 8) & 0xFF) | ((sum >> 16) & 0xFF00) | ((sum >> 24) & 0xFF0000) |
                                   ((sum >> 32) & 0xFF000000));
    }
  }
}

}  // namespace quorlin::platform::gdi
