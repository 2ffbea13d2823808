#include "platform/gdi/coordinate_mapping.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>

#include "platform/gdi/gdi.h"

namespace quorlin::platform {
namespace {
std::atomic<int> gScreenWidth{1280};
std::atomic<int> gScreenHeight{1024};
}  // namespace

void SetScreenSize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  gScreenWidth = width;
  gScreenHeight = height;
}

SIZE GetScreenSize() { return SIZE{gScreenWidth.load(), gScreenHeight.load()}; }

}  // namespace quorlin::platform

namespace quorlin::platform::gdi {
namespace {

int Clamp32(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// The extents of the fixed mapping modes: logical units per inch against 96 device pixels, y up.
bool FixedExtents(int mode, SIZE* window, SIZE* viewport) {
  int unitsPerInch = 0;
  switch (mode) {
    case MM_LOMETRIC: unitsPerInch = 254; break;
    case MM_HIMETRIC: unitsPerInch = 2540; break;
    case MM_LOENGLISH: unitsPerInch = 100; break;
    case MM_HIENGLISH: unitsPerInch = 1000; break;
    case MM_TWIPS: unitsPerInch = 1440; break;
    default: return false;
  }
  *window = SIZE{unitsPerInch, unitsPerInch};
  *viewport = SIZE{kScreenDpi, -kScreenDpi};
  return true;
}

// The isotropic mode keeps one unit the same size on both axes: the viewport extent shrinks
// on the axis that would be larger.
void AdjustIsotropic(DcState& s) {
  if (s.windowExt.cx == 0 || s.windowExt.cy == 0) return;
  const int64_t xScale = std::llabs(int64_t{s.viewportExt.cx} * 1000000 / s.windowExt.cx);
  const int64_t yScale = std::llabs(int64_t{s.viewportExt.cy} * 1000000 / s.windowExt.cy);
  if (xScale > yScale) {
    const int64_t cx = MulDivRound(std::llabs(s.windowExt.cx), std::llabs(s.viewportExt.cy), std::llabs(s.windowExt.cy));
    s.viewportExt.cx = static_cast<LONG>(s.viewportExt.cx < 0 ? -cx : cx);
  } else if (yScale > xScale) {
    const int64_t cy = MulDivRound(std::llabs(s.windowExt.cy), std::llabs(s.viewportExt.cx), std::llabs(s.windowExt.cx));
    s.viewportExt.cy = static_cast<LONG>(s.viewportExt.cy < 0 ? -cy : cy);
  }
}

template <typename F>
BOOL WithState(HDC hdc, F&& f) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  f(*dc, dc->state);
  return TRUE;
}

}  // namespace

int64_t MulDivRound(int64_t a, int64_t b, int64_t c) {
  const __int128 p = static_cast<__int128>(a) * b;
  const bool negative = (p < 0) != (c < 0);
  const __int128 ap = p < 0 ? -p : p;
  const __int128 ac = c < 0 ? -static_cast<__int128>(c) : c;
  const __int128 q = (ap + ac / 2) / ac;
  const __int128 r = negative ? -q : q;
  if (r > INT64_MAX) return INT64_MAX;
  if (r < INT64_MIN) return INT64_MIN;
  return static_cast<int64_t>(r);
}

POINT Transform::ToDevice(POINT p) const {
  return POINT{Clamp32(MulDivRound(p.x - wox, vex, wex) + vox), Clamp32(MulDivRound(p.y - woy, vey, wey) + voy)};
}

POINT Transform::ToLogical(POINT p) const {
  return POINT{Clamp32(MulDivRound(p.x - vox, wex, vex) + wox), Clamp32(MulDivRound(p.y - voy, wey, vey) + woy)};
}

int Transform::XToDevice(int dx) const { return Clamp32(MulDivRound(dx, vex, wex)); }
int Transform::YToDevice(int dy) const { return Clamp32(MulDivRound(dy, vey, wey)); }
int Transform::XToLogical(int dx) const { return Clamp32(MulDivRound(dx, wex, vex)); }
int Transform::YToLogical(int dy) const { return Clamp32(MulDivRound(dy, wey, vey)); }

bool Transform::Identity() const {
  return wox == 0 && woy == 0 && vox == 0 && voy == 0 && wex == vex && wey == vey;
}

Transform TransformOf(const DcState& s) {
  Transform t{s.windowOrg.x, s.windowOrg.y, s.windowExt.cx, s.windowExt.cy,
              s.viewportOrg.x, s.viewportOrg.y, s.viewportExt.cx, s.viewportExt.cy};
  if (s.mapMode == MM_TEXT || t.wex == 0 || t.wey == 0 || t.vex == 0 || t.vey == 0) {
    t.wex = t.wey = t.vex = t.vey = 1;
  }
  return t;
}

RECT RectToDevice(const DcState& state, int left, int top, int right, int bottom) {
  const Transform t = TransformOf(state);
  const POINT a = t.ToDevice(POINT{left, top});
  const POINT b = t.ToDevice(POINT{right, bottom});
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace quorlin::platform::gdi

using namespace quorlin::platform::gdi;

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t r = MulDivRound(number, numerator, denominator);
  if (r > INT_MAX || r < INT_MIN) return -1;
  return static_cast<int>(r);
}

int SetMapMode(HDC hdc, int mode) {
  auto dc = LookupDC(hdc);
  if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC) return 0;
  DcState& s = dc->state;
  const int old = s.mapMode;
  s.mapMode = mode;
  if (mode == MM_TEXT) {
    s.windowExt = s.viewportExt = SIZE{1, 1};
  } else if (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) {
    // Switching from a fixed mode keeps its extents, which callers rely on to start from them.
    if (mode == MM_ISOTROPIC) AdjustIsotropic(s);
  } else {
    FixedExtents(mode, &s.windowExt, &s.viewportExt);
  }
  return old;
}

int GetMapMode(HDC hdc) {
  auto dc = LookupDC(hdc);
  return dc ? dc->state.mapMode : 0;
}

BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  DcState& s = dc->state;
  if (old) *old = s.windowExt;
  if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  s.windowExt = SIZE{x, y};
  if (s.mapMode == MM_ISOTROPIC) AdjustIsotropic(s);
  return TRUE;
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  DcState& s = dc->state;
  if (old) *old = s.viewportExt;
  if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC) return TRUE;
  if (x == 0 || y == 0) return FALSE;
  s.viewportExt = SIZE{x, y};
  if (s.mapMode == MM_ISOTROPIC) AdjustIsotropic(s);
  return TRUE;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
  return WithState(hdc, [&](DeviceContext&, DcState& s) {
    if (old) *old = s.windowOrg;
    s.windowOrg = POINT{x, y};
  });
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
  return WithState(hdc, [&](DeviceContext&, DcState& s) {
    if (old) *old = s.viewportOrg;
    s.viewportOrg = POINT{x, y};
  });
}

BOOL GetWindowExtEx(HDC hdc, SIZE* size) {
  return size && WithState(hdc, [&](DeviceContext&, DcState& s) { *size = s.windowExt; });
}
BOOL GetViewportExtEx(HDC hdc, SIZE* size) {
  return size && WithState(hdc, [&](DeviceContext&, DcState& s) { *size = s.viewportExt; });
}
BOOL GetWindowOrgEx(HDC hdc, POINT* point) {
  return point && WithState(hdc, [&](DeviceContext&, DcState& s) { *point = s.windowOrg; });
}
BOOL GetViewportOrgEx(HDC hdc, POINT* point) {
  return point && WithState(hdc, [&](DeviceContext&, DcState& s) { *point = s.viewportOrg; });
}

BOOL LPtoDP(HDC hdc, POINT* points, int count) {
  if (count < 0 || (count > 0 && !points)) return FALSE;
  return WithState(hdc, [&](DeviceContext&, DcState& s) {
    const Transform t = TransformOf(s);
    for (int i = 0; i < count; ++i) points[i] = t.ToDevice(points[i]);
  });
}

BOOL DPtoLP(HDC hdc, POINT* points, int count) {
  if (count < 0 || (count > 0 && !points)) return FALSE;
  return WithState(hdc, [&](DeviceContext&, DcState& s) {
    const Transform t = TransformOf(s);
    for (int i = 0; i < count; ++i) points[i] = t.ToLogical(points[i]);
  });
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!LookupDC(hdc)) return 0;
  const SIZE screen = quorlin::platform::GetScreenSize();
  switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return MulDiv(screen.cx, 254, kScreenDpi * 10);
    case VERTSIZE: return MulDiv(screen.cy, 254, kScreenDpi * 10);
    case HORZRES:
    case DESKTOPHORZRES: return screen.cx;
    case VERTRES:
    case DESKTOPVERTRES: return screen.cy;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return kScreenDpi;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    default: return 0;
  }
}

