#include "platform/gdi/line_tracing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/gdi_types.h"

namespace quorlin::platform::gdi {
namespace {

constexpr int64_t kMargin = 4;

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it lies inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const RECT& r, double* t0Out) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - r.left, r.right - x0, y0 - r.top, r.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = nx0;
  y0 = ny0;
  *t0Out = t0;
  return true;
}

}  // namespace

void TraceLine(POINT a, POINT b, const RECT& limit, std::vector<POINT>* out) {
  int64_t dx = int64_t{b.x} - a.x, dy = int64_t{b.y} - a.y;
  const int64_t steps = std::max(std::llabs(dx), std::llabs(dy));
  if (steps == 0) return;
  const RECT wide{static_cast<LONG>(limit.left - kMargin), static_cast<LONG>(limit.top - kMargin),
                  static_cast<LONG>(limit.right + kMargin), static_cast<LONG>(limit.bottom + kMargin)};
  int64_t first = 0, last = steps;  // step indices to emit: [first, last)
  const bool inside = a.x >= wide.left && a.x < wide.right && a.y >= wide.top && a.y < wide.bottom &&
                      b.x >= wide.left && b.x < wide.right && b.y >= wide.top && b.y < wide.bottom;
  if (!inside) {
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y, t0 = 0;
    if (!ClipSegment(x0, y0, x1, y1, wide, &t0)) return;
    const double length = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    first = std::clamp<int64_t>(static_cast<int64_t>(std::floor(t0 * steps)) - 1, 0, steps);
    last = std::clamp<int64_t>(first + static_cast<int64_t>(std::ceil(length)) + 3, 0, steps);
  }
  // The pixel of step i lies on the major axis at a + i and on the minor axis at the rounded
  // exact position, so every step can be computed independently of the ones skipped.
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  const int64_t sMajor = major < 0 ? -1 : 1;
  for (int64_t i = first; i < last; ++i) {
    const int64_t m = i * minor;
    // round(m / steps) with halves toward the start
    const int64_t q = (2 * m + (m >= 0 ? steps - 1 : -(steps - 1))) / (2 * steps);
    const int64_t pMajor = sMajor * i;
    const int64_t x = a.x + (xMajor ? pMajor : q);
    const int64_t y = a.y + (xMajor ? q : pMajor);
    out->push_back(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
  }
}

std::vector<int> PenDashes(int style) {
  switch (style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    default: return {};
  }
}

}  // namespace quorlin::platform::gdi
