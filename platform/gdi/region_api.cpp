// Region objects and the clip region of device contexts.
#include <algorithm>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/device_target.h"
#include "platform/gdi/gdi.h"

using namespace quorlin::platform;
using namespace quorlin::platform::gdi;

namespace {

RECT Ordered(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// The clip an IntersectClipRect or ExcludeClipRect starts from: the current clip, or the whole
// target when there is none.
Region CurrentClipOrTarget(DeviceContext& dc) {
  if (dc.state.clip) return *dc.state.clip;
  return EffectiveClip(dc);
}

int SetClip(DeviceContext& dc, std::optional<Region> clip) {
  dc.state.clip = std::move(clip);
  InvalidateClip(dc);
  return EffectiveClip(dc).Complexity();
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto region = std::make_shared<RegionObject>();
  region->region = Region(Ordered(left, top, right, bottom));
  return RegisterHandle(HandleKind::Region, region);
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : 0;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  auto r = LookupRegion(region);
  if (!r) return FALSE;
  r->region = Region(Ordered(left, top, right, bottom));
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  auto d = LookupRegion(dest);
  auto a = LookupRegion(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->region = a->region;
  } else {
    auto b = LookupRegion(src2);
    if (!b) return ERROR;
    d->region = Region::Combine(a->region, b->region, mode);
  }
  return d->region.Complexity();
}

int OffsetRgn(HRGN region, int x, int y) {
  auto r = LookupRegion(region);
  if (!r) return ERROR;
  r->region.Offset(x, y);
  return r->region.Complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
  auto r = LookupRegion(region);
  return r && r->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto ra = LookupRegion(a);
  auto rb = LookupRegion(b);
  if (!ra || !rb) return ERROR;
  return ra->region == rb->region ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* rect) {
  auto r = LookupRegion(region);
  if (!r || !rect) return ERROR;
  *rect = r->region.Bounds();
  return r->region.Complexity();
}

int SelectClipRgn(HDC hdc, HRGN region) { return ExtSelectClipRgn(hdc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN region, int mode) {
  auto dc = LookupDC(hdc);
  if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (region == 0) {
    if (mode != RGN_COPY) return ERROR;
    return SetClip(*dc, std::nullopt);
  }
  auto r = LookupRegion(region);
  if (!r) return ERROR;
  if (mode == RGN_COPY) return SetClip(*dc, r->region);
  return SetClip(*dc, Region::Combine(CurrentClipOrTarget(*dc), r->region, mode));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = LookupDC(hdc);
  if (!dc) return ERROR;
  const RECT r = RectToDevice(dc->state, left, top, right, bottom);
  return SetClip(*dc, Region::Combine(CurrentClipOrTarget(*dc), Region(r), RGN_AND));
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = LookupDC(hdc);
  if (!dc) return ERROR;
  const RECT r = RectToDevice(dc->state, left, top, right, bottom);
  return SetClip(*dc, Region::Combine(CurrentClipOrTarget(*dc), Region(r), RGN_DIFF));
}

int GetClipBox(HDC hdc, RECT* rect) {
  auto dc = LookupDC(hdc);
  if (!dc || !rect) return ERROR;
  const Region& clip = EffectiveClip(*dc);
  const RECT b = clip.Bounds();
  const Transform t = TransformOf(dc->state);
  const POINT a = t.ToLogical(POINT{b.left, b.top});
  const POINT c = t.ToLogical(POINT{b.right, b.bottom});
  *rect = Ordered(a.x, a.y, c.x, c.y);
  return clip.Complexity();
}

// 1 with the clip region copied into `region`, 0 when the context has none.
int GetClipRgn(HDC hdc, HRGN region) {
  auto dc = LookupDC(hdc);
  auto r = LookupRegion(region);
  if (!dc || !r) return -1;
  if (!dc->state.clip) return 0;
  r->region = *dc->state.clip;
  return 1;
}
