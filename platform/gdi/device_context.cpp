// Device contexts: creation, selected objects, saved states and the simple drawing state.
#include <algorithm>
#include <mutex>
#include <utility>

#include "platform/gdi/device_target.h"
#include "platform/gdi/gdi.h"

namespace quorlin::platform::gdi {
namespace {

void InitialiseState(DcState& s) {
  s.penHandle = GetStockObject(BLACK_PEN);
  s.pen = LookupPen(s.penHandle);
  s.brushHandle = GetStockObject(WHITE_BRUSH);
  s.brush = LookupBrush(s.brushHandle);
  s.fontHandle = GetStockObject(SYSTEM_FONT);
  s.font = LookupFont(s.fontHandle);
  s.paletteHandle = GetStockObject(DEFAULT_PALETTE);
  s.palette = LookupPalette(s.paletteHandle);
}

void MarkSelected(DcState& s, HDC hdc) {
  if (s.bitmap && !s.bitmap->stock) s.bitmap->selectedInto = hdc;
}

void UnmarkSelected(DcState& s, HDC hdc) {
  if (s.bitmap && s.bitmap->selectedInto == hdc) s.bitmap->selectedInto = 0;
}

template <typename T, typename F>
T WithDC(HDC hdc, T failure, F&& f) {
  auto dc = LookupDC(hdc);
  if (!dc) return failure;
  return f(*dc, dc->state);
}

Region RegionOfRects(const quorlin::platform::VisibleRects& visible) {
  return Region::FromRects(visible.rects);
}

}  // namespace
}  // namespace quorlin::platform::gdi

namespace quorlin::platform {

namespace {

HDC RegisterSurfaceDC(std::shared_ptr<Surface> surface, std::function<std::shared_ptr<Surface>()> makeSurface,
                      POINT origin, const VisibleRects& visible) {
  auto dc = std::make_shared<gdi::DeviceContext>();
  dc->kind = gdi::DeviceContext::Kind::Surface;
  dc->surface = std::move(surface);
  dc->makeSurface = std::move(makeSurface);
  dc->origin = origin;
  dc->visible = gdi::RegionOfRects(visible);
  gdi::InitialiseState(dc->state);
  const HDC h = RegisterHandle(HandleKind::DeviceContext, dc);
  dc->handle = h;
  return h;
}

}  // namespace

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const VisibleRects& visible) {
  if (!surface) return 0;
  return RegisterSurfaceDC(std::move(surface), nullptr, origin, visible);
}

HDC CreateLazySurfaceDC(std::function<std::shared_ptr<Surface>()> makeSurface, POINT origin,
                        const VisibleRects& visible) {
  if (!makeSurface) return 0;
  return RegisterSurfaceDC(nullptr, std::move(makeSurface), origin, visible);
}

bool UpdateSurfaceDC(HDC hdc, POINT origin, const VisibleRects& visible) {
  auto dc = gdi::LookupDC(hdc);
  if (!dc || dc->kind != gdi::DeviceContext::Kind::Surface) return false;
  gdi::Region region = gdi::RegionOfRects(visible);
  // A thread drawing through the context holds its surface's lock for the whole operation.
  std::unique_lock<std::mutex> drawing;
  if (dc->surface) drawing = std::unique_lock(dc->surface->mutex);
  dc->origin = origin;
  dc->visible = std::move(region);
  gdi::InvalidateClip(*dc);
  return true;
}

bool RetargetSurfaceDC(HDC hdc, std::shared_ptr<Surface> surface, POINT origin, const VisibleRects& visible) {
  auto dc = gdi::LookupDC(hdc);
  if (!dc || dc->kind != gdi::DeviceContext::Kind::Surface || !surface) return false;
  if (dc->surface != surface) {
    std::unique_lock<std::mutex> drawing;
    if (dc->surface) drawing = std::unique_lock(dc->surface->mutex);
    dc->retiredSurface = std::exchange(dc->surface, std::move(surface));
    dc->makeSurface = nullptr;
  }
  return UpdateSurfaceDC(hdc, origin, visible);
}

}  // namespace quorlin::platform

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc != 0 && !LookupDC(hdc)) return 0;
  auto dc = std::make_shared<DeviceContext>();
  dc->kind = DeviceContext::Kind::Memory;
  InitialiseState(dc->state);
  dc->state.bitmapHandle = DefaultBitmapHandle();
  dc->state.bitmap = LookupBitmap(dc->state.bitmapHandle);
  const HDC h = RegisterHandle(HandleKind::DeviceContext, dc);
  dc->handle = h;
  return h;
}

BOOL DeleteDC(HDC hdc) {
  auto dc = LookupDC(hdc);
  if (!dc) return FALSE;
  UnmarkSelected(dc->state, hdc);
  for (DcState& s : dc->saved) UnmarkSelected(s, hdc);
  return ReleaseHandle(hdc, HandleKind::DeviceContext) ? TRUE : FALSE;
}

int SaveDC(HDC hdc) {
  return WithDC(hdc, 0, [](DeviceContext& dc, DcState& s) {
    dc.saved.push_back(s);
    return static_cast<int>(dc.saved.size());
  });
}

BOOL RestoreDC(HDC hdc, int savedDC) {
  return WithDC(hdc, FALSE, [&](DeviceContext& dc, DcState& s) -> BOOL {
    const int depth = static_cast<int>(dc.saved.size());
    const int index = savedDC < 0 ? depth + savedDC : savedDC - 1;
    if (index < 0 || index >= depth) return FALSE;
    UnmarkSelected(s, hdc);
    s = dc.saved[static_cast<size_t>(index)];
    dc.saved.resize(static_cast<size_t>(index));
    MarkSelected(s, hdc);
    InvalidateClip(dc);
    return TRUE;
  });
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  auto dc = LookupDC(hdc);
  if (!dc) return 0;
  DcState& s = dc->state;
  const auto kind = HandleKindOf(object);
  if (!kind) return 0;
  HGDIOBJ old = 0;
  switch (*kind) {
    case HandleKind::Pen:
      old = s.penHandle;
      s.pen = LookupPen(object);
      s.penHandle = object;
      return old;
    case HandleKind::Brush:
      old = s.brushHandle;
      s.brush = LookupBrush(object);
      s.brushHandle = object;
      return old;
    case HandleKind::Font:
      old = s.fontHandle;
      s.font = LookupFont(object);
      s.fontHandle = object;
      return old;
    case HandleKind::Bitmap: {
      if (dc->kind != DeviceContext::Kind::Memory) return 0;
      auto bitmap = LookupBitmap(object);
      if (!bitmap) return 0;
      if (bitmap->selectedInto != 0 && bitmap->selectedInto != hdc) return 0;
      old = s.bitmapHandle;
      UnmarkSelected(s, hdc);
      s.bitmap = bitmap;
      s.bitmapHandle = object;
      MarkSelected(s, hdc);
      // A new bitmap brings a clip of its own size.
      s.clip.reset();
      InvalidateClip(*dc);
      return old;
    }
    case HandleKind::Region: {
      const int type = SelectClipRgn(hdc, object);
      return type == ERROR ? HGDI_ERROR : static_cast<HGDIOBJ>(type);
    }
    default:
      return 0;
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  return WithDC(hdc, HGDIOBJ{0}, [&](DeviceContext&, DcState& s) -> HGDIOBJ {
    switch (type) {
      case OBJ_PEN: return s.penHandle;
      case OBJ_BRUSH: return s.brushHandle;
      case OBJ_FONT: return s.fontHandle;
      case OBJ_PAL: return s.paletteHandle;
      case OBJ_BITMAP: return s.bitmapHandle;
      default: return 0;
    }
  });
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  return WithDC(hdc, CLR_INVALID, [&](DeviceContext&, DcState& s) { return std::exchange(s.textColor, color); });
}
COLORREF GetTextColor(HDC hdc) {
  return WithDC(hdc, CLR_INVALID, [](DeviceContext&, DcState& s) { return s.textColor; });
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
  return WithDC(hdc, CLR_INVALID, [&](DeviceContext&, DcState& s) { return std::exchange(s.bkColor, color); });
}
COLORREF GetBkColor(HDC hdc) {
  return WithDC(hdc, CLR_INVALID, [](DeviceContext&, DcState& s) { return s.bkColor; });
}
int SetBkMode(HDC hdc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return WithDC(hdc, 0, [&](DeviceContext&, DcState& s) { return std::exchange(s.bkMode, mode); });
}
int GetBkMode(HDC hdc) {
  return WithDC(hdc, 0, [](DeviceContext&, DcState& s) { return s.bkMode; });
}
int SetROP2(HDC hdc, int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return WithDC(hdc, 0, [&](DeviceContext&, DcState& s) { return std::exchange(s.rop2, mode); });
}
int GetROP2(HDC hdc) {
  return WithDC(hdc, 0, [](DeviceContext&, DcState& s) { return s.rop2; });
}
int SetPolyFillMode(HDC hdc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return WithDC(hdc, 0, [&](DeviceContext&, DcState& s) { return std::exchange(s.polyFillMode, mode); });
}
int GetPolyFillMode(HDC hdc) {
  return WithDC(hdc, 0, [](DeviceContext&, DcState& s) { return s.polyFillMode; });
}
int SetStretchBltMode(HDC hdc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return WithDC(hdc, 0, [&](DeviceContext&, DcState& s) { return std::exchange(s.stretchMode, mode); });
}
int GetStretchBltMode(HDC hdc) {
  return WithDC(hdc, 0, [](DeviceContext&, DcState& s) { return s.stretchMode; });
}
UINT SetTextAlign(HDC hdc, UINT align) {
  return WithDC(hdc, static_cast<UINT>(GDI_ERROR), [&](DeviceContext&, DcState& s) { return std::exchange(s.textAlign, align); });
}
UINT GetTextAlign(HDC hdc) {
  return WithDC(hdc, static_cast<UINT>(GDI_ERROR), [](DeviceContext&, DcState& s) { return s.textAlign; });
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
  return WithDC(hdc, FALSE, [&](DeviceContext&, DcState& s) {
    if (old) *old = s.brushOrg;
    s.brushOrg = POINT{x, y};
    return TRUE;
  });
}
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  return WithDC(hdc, FALSE, [&](DeviceContext&, DcState& s) {
    if (old) *old = s.current;
    s.current = POINT{x, y};
    return TRUE;
  });
}
BOOL GetCurrentPositionEx(HDC hdc, POINT* point) {
  return point && WithDC(hdc, FALSE, [&](DeviceContext&, DcState& s) {
    *point = s.current;
    return TRUE;
  });
}
