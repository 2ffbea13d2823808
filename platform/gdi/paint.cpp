#include "platform/gdi/paint.h"

#include <algorithm>

#include "platform/gdi/sys_colors.h"

namespace quorlin::platform::gdi {
namespace {

int PositiveMod(int v, int m) {
  const int r = v % m;
  return r < 0 ? r + m : r;
}

bool HatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 7;
    case HS_VERTICAL: return x == 7;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 7 || y == 7;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

// Runs the operation over [x0, x1) of the row, skipping transparent pattern pixels.
void PaintRun(const DeviceTarget& target, const Paint& paint, Rop3Row op, int y, int x0, int x1) {
  const uint32_t* pattern = paint.Row(y);
  uint32_t* dest = target.At(x0, y);
  if (paint.opaque.empty()) {
    op(dest, dest, pattern, paint.width, paint.Phase(x0), x1 - x0);
    return;
  }
  const uint8_t* opaque = paint.opaque.data() + static_cast<size_t>(PositiveMod(y - paint.origin.y, paint.height)) * paint.width;
  for (int x = x0; x < x1; ++x) {
    const int k = paint.Phase(x);
    if (opaque[k]) op(target.At(x, y), target.At(x, y), pattern + k, 1, 0, 1);
  }
}

}  // namespace

const uint32_t* Paint::Row(int y) const {
  return pixels.data() + static_cast<size_t>(PositiveMod(y - origin.y, height)) * width;
}

int Paint::Phase(int x) const { return width == 1 ? 0 : PositiveMod(x - origin.x, width); }

Paint SolidPaint(uint32_t pixel) {
  Paint p;
  p.pixels[0] = pixel;
  return p;
}

Paint BrushPaint(const DeviceContext& dc, const BrushObject* brush) {
  Paint p;
  if (brush == nullptr || brush->style == BS_NULL) {
    p.none = true;
    return p;
  }
  p.origin = dc.state.brushOrg;
  if (brush->style == BS_SOLID) {
    p.pixels[0] = TargetPixel(dc, brush->dcBrush ? dc.state.dcBrushColor : brush->color);
    return p;
  }
  const uint32_t text = TargetPixel(dc, dc.state.textColor);
  const uint32_t back = TargetPixel(dc, dc.state.bkColor);
  if (brush->style == BS_HATCHED) {
    const uint32_t line = TargetPixel(dc, brush->color);
    p.width = p.height = 8;
    p.pixels.assign(64, back);
    if (dc.state.bkMode == TRANSPARENT) p.opaque.assign(64, 0);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        if (!HatchBit(brush->hatch, x, y)) continue;
        p.pixels[static_cast<size_t>(y * 8 + x)] = line;
        if (!p.opaque.empty()) p.opaque[static_cast<size_t>(y * 8 + x)] = 1;
      }
    }
    return p;
  }
  // BS_PATTERN
  const Surface& pattern = *brush->pattern;
  p.width = pattern.width;
  p.height = pattern.height;
  p.pixels.resize(static_cast<size_t>(p.width) * p.height);
  const bool mono = IsMonochromeTarget(dc);
  for (int y = 0; y < p.height; ++y) {
    const uint32_t* row = pattern.Row(y);
    for (int x = 0; x < p.width; ++x) {
      uint32_t v = row[x];
      if (brush->monochromePattern) {
        v = v != 0 ? back : text;  // bit 0 in the text colour, bit 1 in the background colour
      } else if (mono) {
        v = MonochromePixel(v);
      }
      p.pixels[static_cast<size_t>(y) * p.width + x] = v;
    }
  }
  return p;
}

std::shared_ptr<BrushObject> BrushFromArgument(HBRUSH brush) {
  if (brush > 0 && brush <= 31) {
    return LookupBrush(GetSysColorBrush(static_cast<int>(brush) - 1));
  }
  return LookupBrush(brush);
}

Coverage::Coverage(const RECT& bounds) : bounds_(bounds), width_(std::max(0, bounds.right - bounds.left)) {
  if (Empty()) {
    bounds_ = RECT{0, 0, 0, 0};
    width_ = 0;
  }
  bits_.assign(static_cast<size_t>(width_) * std::max(0, bounds_.bottom - bounds_.top), 0);
}

void Coverage::SetSpan(int y, int x0, int x1) {
  if (y < bounds_.top || y >= bounds_.bottom) return;
  x0 = std::max(x0, bounds_.left);
  x1 = std::min(x1, bounds_.right);
  if (x0 >= x1) return;
  uint8_t* row = bits_.data() + static_cast<size_t>(y - bounds_.top) * width_;
  std::fill(row + (x0 - bounds_.left), row + (x1 - bounds_.left), 1);
}

void Coverage::Subtract(const Coverage& other) {
  const int y0 = std::max(bounds_.top, other.bounds_.top), y1 = std::min(bounds_.bottom, other.bounds_.bottom);
  const int x0 = std::max(bounds_.left, other.bounds_.left), x1 = std::min(bounds_.right, other.bounds_.right);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (other.Get(x, y)) Clear(x, y);
    }
  }
}

void PaintSpan(const DeviceTarget& target, const Paint& paint, uint8_t rop, int y, int x0, int x1) {
  if (paint.none || x0 >= x1) return;
  const Rop3Row op = Rop3RowFor(rop);
  target.ForEachClipped(y, x0, x1, [&](int a, int b) { PaintRun(target, paint, op, y, a, b); });
}

void PaintRect(const DeviceTarget& target, const Paint& paint, uint8_t rop, const RECT& rect) {
  if (paint.none || rect.left >= rect.right) return;
  const Rop3Row op = Rop3RowFor(rop);
  const RECT clip = target.Clip().Bounds();
  const int top = std::max(rect.top, clip.top), bottom = std::min(rect.bottom, clip.bottom);
  for (int y = top; y < bottom; ++y) {
    target.ForEachClipped(y, rect.left, rect.right, [&](int a, int b) { PaintRun(target, paint, op, y, a, b); });
  }
}

void PaintCoverage(const DeviceTarget& target, const Paint& paint, uint8_t rop, const Coverage& coverage) {
  if (paint.none || coverage.Empty()) return;
  const Rop3Row op = Rop3RowFor(rop);
  const RECT& b = coverage.Bounds();
  for (int y = b.top; y < b.bottom; ++y) {
    const uint8_t* row = coverage.Row(y);
    int x = b.left;
    while (x < b.right) {
      if (!row[x - b.left]) {
        ++x;
        continue;
      }
      int end = x;
      while (end < b.right && row[end - b.left]) ++end;
      target.ForEachClipped(y, x, end, [&](int a, int c) { PaintRun(target, paint, op, y, a, c); });
      x = end;
    }
  }
}

}  // namespace quorlin::platform::gdi
