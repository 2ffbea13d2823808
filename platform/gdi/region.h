// A set of pixels made of horizontal bands, each a sorted list of disjoint spans: the shape of
// region objects and of every clip.
#pragma once

#include <span>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform::gdi {

struct Span {
  int x0, x1;  // [x0, x1)
  bool operator==(const Span&) const = default;
};

struct Band {
  int top, bottom;  // [top, bottom)
  std::vector<Span> spans;
};

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& rect);
  static Region FromRects(std::span<const RECT> rects);

  bool Empty() const { return bands_.empty(); }
  RECT Bounds() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  bool Contains(int x, int y) const;
  void Offset(int dx, int dy);
  std::vector<RECT> Rects() const;
  const std::vector<Band>& Bands() const { return bands_; }
  bool operator==(const Region& other) const;

  // mode is RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF or RGN_COPY (which yields a).
  static Region Combine(const Region& a, const Region& b, int mode);
  Region Intersected(const RECT& rect) const { return Combine(*this, Region(rect), 1); }

  // The spans of row y, or null when the row is empty.
  const std::vector<Span>* RowSpans(int y) const;

 private:
  std::vector<Band> bands_;  // sorted by top, non-overlapping, no empty bands
};

}  // namespace quorlin::platform::gdi
