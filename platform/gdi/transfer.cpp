#include "platform/gdi/transfer.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/paint.h"

namespace quorlin::platform::gdi {
namespace {

RECT Ordered(POINT a, POINT b) {
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Converts source pixels to what the target holds: monochrome sources take the target's text
// (black) and background (white) colours, colour sources on monochrome targets become white
// where they have the source's background colour and black elsewhere.
void ConvertRow(uint32_t* row, int count, bool sourceMono, bool targetMono, uint32_t text, uint32_t back,
                uint32_t sourceBack) {
  if (sourceMono && !targetMono) {
    for (int i = 0; i < count; ++i) row[i] = (row[i] & kPixelMask) != 0 ? back : text;
  } else if (!sourceMono && targetMono) {
    for (int i = 0; i < count; ++i) row[i] = (row[i] & kPixelMask) == sourceBack ? kWhitePixel : 0;
  } else {
    for (int i = 0; i < count; ++i) row[i] &= kPixelMask;
  }
}

}  // namespace

void Transfer(DeviceContext& dest, const DeviceTarget& target, POINT d0, POINT d1, const TransferSource* source,
              POINT s0, POINT s1, uint8_t rop) {
  const RECT d = Ordered(d0, d1);
  if (d.left >= d.right || d.top >= d.bottom) return;
  const Paint pattern = RopUsesPattern(rop) ? BrushPaint(dest, dest.state.brush.get()) : SolidPaint(0);
  if (RopUsesPattern(rop) && pattern.none) return;
  const Rop3Row op = Rop3RowFor(rop);
  const bool usesSource = RopUsesSource(rop) && source != nullptr;

  RECT visible = target.Clip().Bounds();
  visible = RECT{std::max(visible.left, d.left), std::max(visible.top, d.top), std::min(visible.right, d.right),
                 std::min(visible.bottom, d.bottom)};
  if (visible.left >= visible.right || visible.top >= visible.bottom) return;

  auto runRow = [&](int y, const uint32_t* srcRow, int rowLeft) {
    target.ForEachClipped(y, std::max<int>(visible.left, rowLeft), visible.right, [&](int a, int b) {
      const uint32_t* s = srcRow ? srcRow + (a - rowLeft) : nullptr;
      const uint32_t* p = pattern.Row(y);
      if (pattern.opaque.empty()) {
        op(target.At(a, y), s, p, pattern.width, pattern.Phase(a), b - a);
      } else {
        for (int x = a; x < b; ++x) {
          const int k = pattern.Phase(x);
          const uint8_t* opaque = pattern.opaque.data() + (p - pattern.pixels.data());
          if (opaque[k]) op(target.At(x, y), s ? s + (x - a) : nullptr, p + k, 1, 0, 1);
        }
      }
    });
  };

  if (!usesSource) {
    for (int y = visible.top; y < visible.bottom; ++y) runRow(y, nullptr, visible.left);
    return;
  }

  const SourceImage& img = source->image;
  if (img.width <= 0 || img.height <= 0) return;
  const RECT s = Ordered(s0, s1);
  const int dw = d.right - d.left, dh = d.bottom - d.top;
  const int sw = s.right - s.left, sh = s.bottom - s.top;
  if (sw <= 0 || sh <= 0) return;
  const bool flipX = (d1.x < d0.x) != (s1.x < s0.x);
  const bool flipY = (d1.y < d0.y) != (s1.y < s0.y);
  const uint32_t text = TargetPixel(dest, dest.state.textColor);
  const uint32_t back = TargetPixel(dest, dest.state.bkColor);
  const bool targetMono = target.Monochrome();
  const int width = visible.right - visible.left;
  std::vector<uint32_t> row(static_cast<size_t>(width));

  if (dw == sw && dh == sh && !flipX && !flipY) {
    // Unscaled: only where the source has pixels.
    const int dx = s.left - d.left, dy = s.top - d.top;
    const int x0 = std::max<int>(visible.left, -dx), x1 = std::min<int>(visible.right, img.width - dx);
    const int y0 = std::max<int>(visible.top, -dy), y1 = std::min<int>(visible.bottom, img.height - dy);
    if (x0 >= x1) return;
    const bool plainCopy = rop == 0xCC && img.monochrome == targetMono;
    for (int y = y0; y < y1; ++y) {
      const uint32_t* in = img.pixels + static_cast<size_t>(y + dy) * img.stride + (x0 + dx);
      if (plainCopy) {
        target.ForEachClipped(y, x0, x1, [&](int a, int b) {
          uint32_t* out = target.At(a, y);
          const uint32_t* from = in + (a - x0);
          for (int i = 0; i < b - a; ++i) out[i] = from[i] & kPixelMask;
        });
        continue;
      }
      std::memcpy(row.data(), in, static_cast<size_t>(x1 - x0) * sizeof(uint32_t));
      ConvertRow(row.data(), x1 - x0, img.monochrome, targetMono, text, back, source->backgroundPixel);
      target.ForEachClipped(y, x0, x1, [&](int a, int b) {
        const uint32_t* p = pattern.Row(y);
        if (pattern.opaque.empty()) {
          op(target.At(a, y), row.data() + (a - x0), p, pattern.width, pattern.Phase(a), b - a);
        } else {
          const uint8_t* opaque = pattern.opaque.data() + (p - pattern.pixels.data());
          for (int x = a; x < b; ++x) {
            const int k = pattern.Phase(x);
            if (opaque[k]) op(target.At(x, y), row.data() + (x - x0), p + k, 1, 0, 1);
          }
        }
      });
    }
    return;
  }

  const RECT part{visible.left - d.left, visible.top - d.top, visible.right - d.left, visible.bottom - d.top};
  if (dest.state.stretchMode == HALFTONE && !img.monochrome && !targetMono) {
    std::vector<uint32_t> block(static_cast<size_t>(width) * (part.bottom - part.top));
    AreaAverage(img, s, dw, dh, part, flipX, flipY, block.data());
    for (int y = visible.top; y < visible.bottom; ++y) {
      uint32_t* r = block.data() + static_cast<size_t>(y - visible.top) * width;
      ConvertRow(r, width, false, false, text, back, source->backgroundPixel);
      runRow(y, r, visible.left);
    }
    return;
  }
  const std::vector<int> xs = NearestIndices(s.left, sw, dw, part.left, part.right, flipX, img.width);
  const std::vector<int> ys = NearestIndices(s.top, sh, dh, part.top, part.bottom, flipY, img.height);
  for (int y = visible.top; y < visible.bottom; ++y) {
    const uint32_t* in = img.pixels + static_cast<size_t>(ys[static_cast<size_t>(y - visible.top)]) * img.stride;
    for (int i = 0; i < width; ++i) row[static_cast<size_t>(i)] = in[xs[static_cast<size_t>(i)]];
    ConvertRow(row.data(), width, img.monochrome, targetMono, text, back, source->backgroundPixel);
    runRow(y, row.data(), visible.left);
  }
}

}  // namespace quorlin::platform::gdi
