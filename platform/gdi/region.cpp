#include "platform/gdi/region.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/gdi_types.h"

namespace quorlin::platform::gdi {
namespace {

bool Apply(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;
  }
}

std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode) {
  std::vector<int> xs;
  xs.reserve(2 * (a.size() + b.size()));
  for (const Span& s : a) xs.insert(xs.end(), {s.x0, s.x1});
  for (const Span& s : b) xs.insert(xs.end(), {s.x0, s.x1});
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::vector<Span> out;
  size_t ia = 0, ib = 0;
  for (size_t i = 0; i + 1 < xs.size(); ++i) {
    const int x = xs[i];
    while (ia < a.size() && a[ia].x1 <= x) ++ia;
    while (ib < b.size() && b[ib].x1 <= x) ++ib;
    const bool inA = ia < a.size() && a[ia].x0 <= x;
    const bool inB = ib < b.size() && b[ib].x0 <= x;
    if (!Apply(mode, inA, inB)) continue;
    if (!out.empty() && out.back().x1 == x) {
      out.back().x1 = xs[i + 1];
    } else {
      out.push_back({x, xs[i + 1]});
    }
  }
  return out;
}

const std::vector<Span>& SpansAt(const std::vector<Band>& bands, int y) {
  static const std::vector<Span> kNone;
  auto it = std::upper_bound(bands.begin(), bands.end(), y, [](int v, const Band& b) { return v < b.bottom; });
  if (it == bands.end() || it->top > y) return kNone;
  return it->spans;
}

void AppendBand(std::vector<Band>& bands, int top, int bottom, std::vector<Span> spans) {
  if (spans.empty() || top >= bottom) return;
  if (!bands.empty() && bands.back().bottom == top && bands.back().spans == spans) {
    bands.back().bottom = bottom;
    return;
  }
  bands.push_back({top, bottom, std::move(spans)});
}

}  // namespace

Region::Region(const RECT& r) {
  if (r.left < r.right && r.top < r.bottom) bands_.push_back({r.top, r.bottom, {{r.left, r.right}}});
}

Region Region::FromRects(std::span<const RECT> rects) {
  Region result;
  for (const RECT& r : rects) result = Combine(result, Region(r), RGN_OR);
  return result;
}

RECT Region::Bounds() const {
  if (bands_.empty()) return RECT{0, 0, 0, 0};
  RECT r{INT_MAX, bands_.front().top, INT_MIN, bands_.back().bottom};
  for (const Band& b : bands_) {
    r.left = std::min(r.left, b.spans.front().x0);
    r.right = std::max(r.right, b.spans.back().x1);
  }
  return r;
}

int Region::Complexity() const {
  if (bands_.empty()) return NULLREGION;
  return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(int x, int y) const {
  for (const Span& s : SpansAt(bands_, y)) {
    if (x < s.x0) return false;
    if (x < s.x1) return true;
  }
  return false;
}

const std::vector<Span>* Region::RowSpans(int y) const {
  const std::vector<Span>& spans = SpansAt(bands_, y);
  return spans.empty() ? nullptr : &spans;
}

void Region::Offset(int dx, int dy) {
  for (Band& b : bands_) {
    b.top += dy;
    b.bottom += dy;
    for (Span& s : b.spans) {
      s.x0 += dx;
      s.x1 += dx;
    }
  }
}

std::vector<RECT> Region::Rects() const {
  std::vector<RECT> out;
  for (const Band& b : bands_) {
    for (const Span& s : b.spans) out.push_back({s.x0, b.top, s.x1, b.bottom});
  }
  return out;
}

bool Region::operator==(const Region& other) const {
  if (bands_.size() != other.bands_.size()) return false;
  for (size_t i = 0; i < bands_.size(); ++i) {
    const Band &a = bands_[i], &b = other.bands_[i];
    if (a.top != b.top || a.bottom != b.bottom || a.spans != b.spans) return false;
  }
  return true;
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
  if (mode == RGN_COPY) return a;
  std::vector<int> ys;
  for (const Band& band : a.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  for (const Band& band : b.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    AppendBand(out.bands_, ys[i], ys[i + 1], CombineSpans(SpansAt(a.bands_, ys[i]), SpansAt(b.bands_, ys[i]), mode));
  }
  return out;
}

}  // namespace quorlin::platform::gdi
