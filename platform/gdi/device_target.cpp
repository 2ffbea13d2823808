#include "platform/gdi/device_target.h"

namespace quorlin::platform::gdi {

Surface* TargetSurface(const DeviceContext& dc, POINT* origin) {
  if (dc.kind == DeviceContext::Kind::Surface) {
    *origin = dc.origin;
    return dc.surface.get();
  }
  *origin = POINT{0, 0};
  return dc.state.bitmap ? dc.state.bitmap->surface.get() : nullptr;
}

const Region& EffectiveClip(DeviceContext& dc) {
  if (!dc.effectiveClip) {
    POINT origin;
    Surface* surface = TargetSurface(dc, &origin);
    Region clip;
    if (surface != nullptr) {
      clip = Region(RECT{-origin.x, -origin.y, surface->width - origin.x, surface->height - origin.y});
      if (dc.kind == DeviceContext::Kind::Surface) clip = Region::Combine(clip, dc.visible, RGN_AND);
      if (dc.state.clip) clip = Region::Combine(clip, *dc.state.clip, RGN_AND);
    }
    dc.effectiveClip = std::move(clip);
  }
  return *dc.effectiveClip;
}

void InvalidateClip(DeviceContext& dc) { dc.effectiveClip.reset(); }

DeviceTarget::DeviceTarget(DeviceContext& dc, bool lock) {
  Surface* surface = TargetSurface(dc, &origin_);
  if (surface == nullptr) return;
  if (lock) lock_ = std::unique_lock(surface->mutex);
  surface_ = surface;
  clip_ = &EffectiveClip(dc);
  monochrome_ = IsMonochromeTarget(dc);
}

}  // namespace quorlin::platform::gdi
