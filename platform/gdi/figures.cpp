// Lines and figures: every figure is a fill of the brush and an outline of the pen, computed
// as disjoint pixel sets on the pixel centres and painted once each through the mix mode.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/line_tracing.h"
#include "platform/gdi/paint.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

struct PenInfo {
  bool none = false;
  int width = 1;  // device pixels
  bool insideFrame = false;
  std::vector<int> dashes;
  uint32_t pixel = 0;
};

PenInfo PenOf(const DeviceContext& dc) {
  PenInfo info;
  const PenObject* pen = dc.state.pen.get();
  if (pen == nullptr || pen->style == PS_NULL) {
    info.none = true;
    return info;
  }
  const Transform t = TransformOf(dc.state);
  info.width = std::max(1, std::abs(t.XToDevice(pen->width)));
  info.insideFrame = pen->style == PS_INSIDEFRAME;
  if (info.width == 1 || pen->style == PS_ALTERNATE) info.dashes = PenDashes(pen->style);
  if (pen->style == PS_ALTERNATE) info.width = 1;
  info.pixel = TargetPixel(dc, pen->dcPen ? dc.state.dcPenColor : pen->color);
  return info;
}

RECT Inflated(const RECT& r, int d) {
  auto c = [](int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2)); };
  return RECT{c(int64_t{r.left} - d), c(int64_t{r.top} - d), c(int64_t{r.right} + d), c(int64_t{r.bottom} + d)};
}

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Pixels at distance at most width / 2 from the segment (round ends).
void AddWideSegment(Coverage& c, POINT a, POINT b, int width) {
  const double r = width / 2.0;
  const RECT& lim = c.Bounds();
  const int x0 = std::max<int>(lim.left, static_cast<int>(std::floor(std::min(a.x, b.x) - r)));
  const int x1 = std::min<int>(lim.right, static_cast<int>(std::ceil(std::max(a.x, b.x) + r)) + 1);
  const int y0 = std::max<int>(lim.top, static_cast<int>(std::floor(std::min(a.y, b.y) - r)));
  const int y1 = std::min<int>(lim.bottom, static_cast<int>(std::ceil(std::max(a.y, b.y) + r)) + 1);
  const double ax = a.x + 0.5, ay = a.y + 0.5, dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double px = x + 0.5 - ax, py = y + 0.5 - ay;
      double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = px - t * dx, ey = py - t * dy;
      if (ex * ex + ey * ey <= r * r) c.Set(x, y);
    }
  }
}

// Paints the pixels of a figure: the fill with the brush, the outline with the pen, the gaps
// of a styled pen with the background colour when the background mode is opaque.
void PaintFigure(DeviceContext& dc, const DeviceTarget& target, const Coverage* fill, const Coverage* outline,
                 const Coverage* gaps, const PenInfo& pen) {
  const uint8_t rop = Rop3FromRop2(dc.state.rop2);
  if (fill) {
    const Paint brush = BrushPaint(dc, dc.state.brush.get());
    PaintCoverage(target, brush, rop, *fill);
  }
  if (outline && !pen.none) PaintCoverage(target, SolidPaint(pen.pixel), rop, *outline);
  if (gaps && !pen.none && dc.state.bkMode == OPAQUE) {
    PaintCoverage(target, SolidPaint(TargetPixel(dc, dc.state.bkColor)), rop, *gaps);
  }
}

// Splits a pixel path into the pen's dashes and gaps.
void StylePath(const std::vector<POINT>& path, const std::vector<int>& dashes, Coverage& on, Coverage& gaps) {
  int cycle = 0;
  for (int d : dashes) cycle += d;
  for (size_t i = 0; i < path.size(); ++i) {
    int k = static_cast<int>(i % static_cast<size_t>(cycle));
    size_t part = 0;
    while (k >= dashes[part]) k -= dashes[part++];
    ((part % 2 == 0) ? on : gaps).Set(path[i].x, path[i].y);
  }
}

// A polyline in device coordinates, drawn as one figure; closed polylines include their start.
void DrawPath(DeviceContext& dc, const std::vector<POINT>& points, bool closed, const Coverage* fill) {
  const PenInfo pen = PenOf(dc);
  DeviceTarget target(dc);
  if (!target.Valid()) return;
  const RECT clipBounds = target.Clip().Bounds();
  RECT pathBounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const POINT& p : points) {
    pathBounds.left = std::min(pathBounds.left, p.x);
    pathBounds.top = std::min(pathBounds.top, p.y);
    pathBounds.right = std::max<LONG>(pathBounds.right, p.x == INT32_MAX ? p.x : p.x + 1);
    pathBounds.bottom = std::max<LONG>(pathBounds.bottom, p.y == INT32_MAX ? p.y : p.y + 1);
  }
  const RECT area = Intersect(Inflated(pathBounds, pen.width + 1), clipBounds);
  Coverage outline(area);
  Coverage gaps(pen.dashes.empty() ? RECT{} : area);
  if (!pen.none) {
    const size_t n = points.size();
    const size_t segments = closed ? n : n - 1;
    if (pen.width <= 1) {
      std::vector<POINT> path;
      for (size_t i = 0; i < segments; ++i) TraceLine(points[i], points[(i + 1) % n], clipBounds, &path);
      if (pen.dashes.empty()) {
        for (const POINT& p : path) outline.Set(p.x, p.y);
      } else {
        StylePath(path, pen.dashes, outline, gaps);
      }
    } else {
      for (size_t i = 0; i < segments; ++i) AddWideSegment(outline, points[i], points[(i + 1) % n], pen.width);
    }
  }
  if (fill) {
    Coverage interior = *fill;
    interior.Subtract(outline);
    interior.Subtract(gaps);
    PaintFigure(dc, target, &interior, &outline, &gaps, pen);
  } else {
    PaintFigure(dc, target, nullptr, &outline, &gaps, pen);
  }
}

// Is the pixel centre inside the shape shrunk by d pixels?
using ShapeTest = std::function<bool(int x, int y, int d)>;

ShapeTest RectangleShape(const RECT& r) {
  return [r](int x, int y, int d) { return x >= r.left + d && x < r.right - d && y >= r.top + d && y < r.bottom - d; };
}

bool InEllipse(double px, double py, double cx, double cy, double a, double b) {
  if (a <= 0 || b <= 0) return false;
  const double u = (px - cx) / a, v = (py - cy) / b;
  return u * u + v * v <= 1.0;
}

ShapeTest EllipseShape(const RECT& r) {
  const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
  const double a = (r.right - r.left) / 2.0, b = (r.bottom - r.top) / 2.0;
  return [=](int x, int y, int d) { return InEllipse(x + 0.5, y + 0.5, cx, cy, a - d, b - d); };
}

ShapeTest RoundRectShape(const RECT& r, int cornerWidth, int cornerHeight) {
  const double rx = std::min(std::abs(cornerWidth), static_cast<int>(r.right - r.left)) / 2.0;
  const double ry = std::min(std::abs(cornerHeight), static_cast<int>(r.bottom - r.top)) / 2.0;
  return [=](int x, int y, int d) {
    if (!(x >= r.left + d && x < r.right - d && y >= r.top + d && y < r.bottom - d)) return false;
    const double ex = std::max(0.0, rx - d), ey = std::max(0.0, ry - d);
    if (ex <= 0 || ey <= 0) return true;
    const double px = x + 0.5, py = y + 0.5;
    const double left = r.left + d + ex, right = r.right - d - ex, top = r.top + d + ey, bottom = r.bottom - d - ey;
    const double cx = px < left ? left : (px > right ? right : px);
    const double cy = py < top ? top : (py > bottom ? bottom : py);
    if (cx == px || cy == py) return true;
    return InEllipse(px, py, cx, cy, ex, ey);
  };
}

// Angles measured counter-clockwise on the screen (y pointing down), in [0, 2π).
double ScreenAngle(double dx, double dy) {
  double a = std::atan2(-dy, dx);
  if (a < 0) a += 2 * std::numbers::pi;
  return a;
}

struct ArcSpec {
  double cx, cy, a, b;
  double start, sweep;  // sweep in (0, 2π]
  POINT startPoint, endPoint;

  bool InSector(double px, double py) const {
    if (sweep >= 2 * std::numbers::pi) return true;
    double t = ScreenAngle(px - cx, py - cy) - start;
    if (t < 0) t += 2 * std::numbers::pi;
    return t <= sweep;
  }
};

POINT OnEllipse(double cx, double cy, double a, double b, double dx, double dy) {
  const double s2 = (dx / a) * (dx / a) + (dy / b) * (dy / b);
  const double s = s2 > 0 ? 1.0 / std::sqrt(s2) : 0;
  return POINT{static_cast<LONG>(std::lround(cx + s * dx - 0.5)), static_cast<LONG>(std::lround(cy + s * dy - 0.5))};
}

ArcSpec MakeArc(const RECT& r, POINT s, POINT e) {
  ArcSpec arc;
  arc.cx = (r.left + r.right) / 2.0;
  arc.cy = (r.top + r.bottom) / 2.0;
  arc.a = std::max(0.5, (r.right - r.left) / 2.0);
  arc.b = std::max(0.5, (r.bottom - r.top) / 2.0);
  const double sdx = s.x - arc.cx, sdy = s.y - arc.cy, edx = e.x - arc.cx, edy = e.y - arc.cy;
  arc.start = ScreenAngle(sdx, sdy);
  double end = ScreenAngle(edx, edy);
  double sweep = end - arc.start;
  if (sweep <= 0) sweep += 2 * std::numbers::pi;
  arc.sweep = sweep;
  arc.startPoint = OnEllipse(arc.cx, arc.cy, arc.a, arc.b, sdx, sdy);
  arc.endPoint = OnEllipse(arc.cx, arc.cy, arc.a, arc.b, edx, edy);
  return arc;
}

enum class ArcKind { Arc, Chord, Pie, Full };

// An ellipse-based figure over the device rectangle `r`.
void DrawEllipticFigure(DeviceContext& dc, const RECT& r, const ShapeTest& shapeOf, const ShapeTest& nullPenShape,
                        ArcKind kind, const ArcSpec* arc, bool filled) {
  const PenInfo pen = PenOf(dc);
  DeviceTarget target(dc);
  if (!target.Valid()) return;
  const int d0 = pen.insideFrame ? 0 : -((pen.width - 1) / 2);
  const RECT area = Intersect(Inflated(r, pen.width + 1), target.Clip().Bounds());
  Coverage fill(filled ? area : RECT{});
  Coverage outline(area);
  Coverage gaps(pen.dashes.empty() ? RECT{} : area);
  std::vector<POINT> ring;
  // The chord's filled side is the one holding the arc's middle.
  double chordSide = 0;
  double mx = 0, my = 0, nx = 0, ny = 0;
  if (kind == ArcKind::Chord && arc) {
    const double mid = arc->start + arc->sweep / 2;
    mx = arc->startPoint.x + 0.5;
    my = arc->startPoint.y + 0.5;
    nx = arc->endPoint.x + 0.5 - mx;
    ny = arc->endPoint.y + 0.5 - my;
    const double px = arc->cx + arc->a * std::cos(mid) - mx, py = arc->cy - arc->b * std::sin(mid) - my;
    chordSide = nx * py - ny * px;
  }
  auto inFillRegion = [&](int x, int y) {
    if (!arc || kind == ArcKind::Full) return true;
    const double px = x + 0.5, py = y + 0.5;
    if (kind == ArcKind::Pie) return arc->InSector(px, py);
    const double side = nx * (py - my) - ny * (px - mx);
    return chordSide >= 0 ? side >= 0 : side <= 0;
  };
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (!pen.none) {
        const bool onRing = shapeOf(x, y, d0) && !shapeOf(x, y, d0 + pen.width);
        if (onRing && (!arc || kind == ArcKind::Full || arc->InSector(x + 0.5, y + 0.5))) {
          if (pen.dashes.empty()) outline.Set(x, y);
          else ring.push_back(POINT{x, y});
        }
        if (filled && shapeOf(x, y, d0 + pen.width) && inFillRegion(x, y)) fill.Set(x, y);
      } else if (filled && nullPenShape(x, y, 0) && inFillRegion(x, y)) {
        fill.Set(x, y);
      }
    }
  }
  if (!ring.empty()) {
    // Order the ring along the path so the dashes follow it.
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double from = arc ? arc->start : 0;
    std::sort(ring.begin(), ring.end(), [&](POINT p, POINT q) {
      double a = ScreenAngle(p.x + 0.5 - cx, p.y + 0.5 - cy) - from;
      double b = ScreenAngle(q.x + 0.5 - cx, q.y + 0.5 - cy) - from;
      if (a < 0) a += 2 * std::numbers::pi;
      if (b < 0) b += 2 * std::numbers::pi;
      return a < b;
    });
    StylePath(ring, pen.dashes, outline, gaps);
  }
  if (!pen.none && arc && (kind == ArcKind::Chord || kind == ArcKind::Pie)) {
    std::vector<POINT> lines;
    const POINT centre{static_cast<LONG>(std::floor(arc->cx)), static_cast<LONG>(std::floor(arc->cy))};
    std::vector<std::pair<POINT, POINT>> segments;
    if (kind == ArcKind::Chord) segments.push_back({arc->endPoint, arc->startPoint});
    else segments = {{arc->endPoint, centre}, {centre, arc->startPoint}};
    for (const auto& [a, b] : segments) {
      if (pen.width <= 1) {
        TraceLine(a, b, area, &lines);
        lines.push_back(b);
      } else {
        AddWideSegment(outline, a, b, pen.width);
      }
    }
    for (const POINT& p : lines) {
      outline.Set(p.x, p.y);
      gaps.Clear(p.x, p.y);
    }
  }
  fill.Subtract(outline);
  fill.Subtract(gaps);
  PaintFigure(dc, target, filled ? &fill : nullptr, &outline, &gaps, pen);
}

bool DrawShape(HDC hdc, int left, int top, int right, int bottom, int kindIndex, int cw, int ch) {
  auto dc = LookupDC(hdc);
  if (!dc) return false;
  const RECT r = RectToDevice(dc->state, left, top, right, bottom);
  const RECT small{r.left, r.top, r.right - 1, r.bottom - 1};  // what a null pen leaves to fill
  ShapeTest shape, nullShape;
  const Transform t = TransformOf(dc->state);
  switch (kindIndex) {
    case 0: shape = RectangleShape(r); nullShape = RectangleShape(small); break;
    case 1: shape = EllipseShape(r); nullShape = EllipseShape(small); break;
    default: {
      const int w = std::abs(t.XToDevice(cw)), h = std::abs(t.YToDevice(ch));
      shape = RoundRectShape(r, w, h);
      nullShape = RoundRectShape(small, w, h);
      break;
    }
  }
  DrawEllipticFigure(*dc, r, shape, nullShape, ArcKind::Full, nullptr, true);
  return true;
}

BOOL DrawArcFigure(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye, ArcKind kind) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const RECT r = RectToDevice(dc->state, left, top, right, bottom);
  const Transform t = TransformOf(dc->state);
  const ArcSpec arc = MakeArc(r, t.ToDevice(POINT{xs, ys}), t.ToDevice(POINT{xe, ye}));
  const RECT small{r.left, r.top, r.right - 1, r.bottom - 1};
  DrawEllipticFigure(*dc, r, EllipseShape(r), EllipseShape(small), kind, &arc, kind != ArcKind::Arc);
  return TRUE;
}

// Pixel-centre scan conversion of a polygon.
Coverage PolygonFill(const std::vector<POINT>& points, int mode, const RECT& limit) {
  RECT bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const POINT& p : points) {
    bounds.left = std::min(bounds.left, p.x);
    bounds.top = std::min(bounds.top, p.y);
    bounds.right = std::max<LONG>(bounds.right, p.x == INT32_MAX ? p.x : p.x + 1);
    bounds.bottom = std::max<LONG>(bounds.bottom, p.y == INT32_MAX ? p.y : p.y + 1);
  }
  Coverage c(Intersect(bounds, limit));
  if (c.Empty()) return c;
  const RECT& b = c.Bounds();
  std::vector<std::pair<double, int>> crossings;
  const size_t n = points.size();
  for (int y = b.top; y < b.bottom; ++y) {
    const double yc = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < n; ++i) {
      const POINT p = points[i], q = points[(i + 1) % n];
      if (p.y == q.y) continue;
      const bool down = q.y > p.y;
      const double y0 = down ? p.y : q.y, y1 = down ? q.y : p.y;
      if (yc < y0 || yc >= y1) continue;
      const double x = p.x + (yc - p.y) * (q.x - p.x) / static_cast<double>(q.y - p.y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].second;
      const bool inside = mode == WINDING ? winding != 0 : (i % 2 == 0);
      if (!inside) continue;
      const int x0 = static_cast<int>(std::ceil(crossings[i].first - 0.5));
      const int x1 = static_cast<int>(std::ceil(crossings[i + 1].first - 0.5));
      c.SetSpan(y, x0, x1);
    }
  }
  return c;
}

std::vector<POINT> ToDevice(const DeviceContext& dc, const POINT* points, int count) {
  const Transform t = TransformOf(dc.state);
  std::vector<POINT> out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out[static_cast<size_t>(i)] = t.ToDevice(points[i]);
  return out;
}

}  // namespace

BOOL LineTo(HDC hdc, int x, int y) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  const POINT from = dc->state.current;
  const POINT to{x, y};
  const POINT pts[2] = {from, to};
  DrawPath(*dc, ToDevice(*dc, pts, 2), false, nullptr);
  dc->state.current = to;
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  auto dc = LookupDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  DrawPath(*dc, ToDevice(*dc, points, count), false, nullptr);
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  auto dc = LookupDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  const std::vector<POINT> device = ToDevice(*dc, points, count);
  Coverage fill(RECT{});
  {
    DeviceTarget probe(*dc);
    if (!probe.Valid()) return TRUE;
    if (!BrushPaint(*dc, dc->state.brush.get()).none) {
      fill = PolygonFill(device, dc->state.polyFillMode, probe.Clip().Bounds());
    }
  }
  DrawPath(*dc, device, true, &fill);
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  return DrawShape(hdc, left, top, right, bottom, 0, 0, 0) ? TRUE : FALSE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  return DrawShape(hdc, left, top, right, bottom, 1, 0, 0) ? TRUE : FALSE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  return DrawShape(hdc, left, top, right, bottom, 2, width, height) ? TRUE : FALSE;
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Arc);
}

BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Chord);
}

BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  return DrawArcFigure(hdc, left, top, right, bottom, xs, ys, xe, ye, ArcKind::Pie);
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  auto dc = LookupDC(hdc);
  auto b = BrushFromArgument(brush);
  if (!dc || !rect || !b) return 0;
  const RECT r = RectToDevice(dc->state, rect->left, rect->top, rect->right, rect->bottom);
  DeviceTarget target(*dc);
  if (target.Valid()) PaintRect(target, BrushPaint(*dc, b.get()), 0xF0, r);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  auto dc = LookupDC(hdc);
  auto b = BrushFromArgument(brush);
  if (!dc || !rect || !b) return 0;
  const RECT r = RectToDevice(dc->state, rect->left, rect->top, rect->right, rect->bottom);
  if (r.left >= r.right || r.top >= r.bottom) return 1;
  DeviceTarget target(*dc);
  if (!target.Valid()) return 1;
  const Paint paint = BrushPaint(*dc, b.get());
  PaintRect(target, paint, 0xF0, RECT{r.left, r.top, r.right, r.top + 1});
  if (r.bottom - r.top > 1) PaintRect(target, paint, 0xF0, RECT{r.left, r.bottom - 1, r.right, r.bottom});
  PaintRect(target, paint, 0xF0, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1});
  if (r.right - r.left > 1) PaintRect(target, paint, 0xF0, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1});
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
  auto dc = LookupDC(hdc);
  if (!dc || !rect) return FALSE;
  const RECT r = RectToDevice(dc->state, rect->left, rect->top, rect->right, rect->bottom);
  DeviceTarget target(*dc);
  if (target.Valid()) PaintRect(target, SolidPaint(0), 0x55, r);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  const POINT p = TransformOf(dc->state).ToDevice(POINT{x, y});
  DeviceTarget target(*dc);
  if (!target.Valid() || !target.Clip().Contains(p.x, p.y)) return CLR_INVALID;
  const uint32_t pixel = TargetPixel(*dc, color);
  *target.At(p.x, p.y) = pixel;
  return ColorRefFromPixel(pixel);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  const POINT p = TransformOf(dc->state).ToDevice(POINT{x, y});
  DeviceTarget target(*dc);
  if (!target.Valid() || !target.Clip().Contains(p.x, p.y)) return CLR_INVALID;
  return ColorRefFromPixel(*target.At(p.x, p.y) & kPixelMask);
}

BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush) {
  auto dc = LookupDC(hdc);
  auto r = LookupRegion(region);
  auto b = BrushFromArgument(brush);
  if (!dc || !r || !b) return FALSE;
  DeviceTarget target(*dc);
  if (!target.Valid()) return TRUE;
  const Paint paint = BrushPaint(*dc, b.get());
  for (const RECT& rect : r->region.Rects()) PaintRect(target, paint, 0xF0, rect);
  return TRUE;
}
