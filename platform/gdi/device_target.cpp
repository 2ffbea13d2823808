#include "platform/gdi/device_target.h"

#include <algorithm>

namespace quorlin::platform::gdi {

Surface* TargetSurface(const DeviceContext& dc, POINT* origin) {
  if (dc.kind == DeviceContext::Kind::Surface) {
    *origin = dc.origin;
    if (!dc.surface && dc.makeSurface) dc.surface = dc.makeSurface();
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
  // The window layer moves and retargets a window's contexts under their surface's lock while
  // another thread may draw through one: what holds is what is read under the lock.
  Surface* surface = TargetSurface(dc, &origin_);
  while (surface != nullptr && lock) {
    lock_ = std::unique_lock(surface->mutex);
    Surface* now = TargetSurface(dc, &origin_);
    if (now == surface) break;
    lock_.unlock();
    surface = now;
  }
  if (surface == nullptr) return;
  surface_ = surface;
  clip_ = &EffectiveClip(dc);
  monochrome_ = IsMonochromeTarget(dc);
}

DeviceTarget::~DeviceTarget() {
  if (surface_ == nullptr || touched_.left >= touched_.right) return;
  RECT& drawn = surface_->drawn;
  const RECT touched{touched_.left + origin_.x, touched_.top + origin_.y, touched_.right + origin_.x,
                     touched_.bottom + origin_.y};
  if (drawn.left >= drawn.right || drawn.top >= drawn.bottom) {
    drawn = touched;
    return;
  }
  drawn.left = std::min(drawn.left, touched.left);
  drawn.top = std::min(drawn.top, touched.top);
  drawn.right = std::max(drawn.right, touched.right);
  drawn.bottom = std::max(drawn.bottom, touched.bottom);
}

}  // namespace quorlin::platform::gdi

namespace quorlin::platform {

RECT TakeDrawnBounds(Surface& surface) {
  const RECT drawn = surface.drawn;
  surface.drawn = RECT{0, 0, 0, 0};
  return drawn;
}

}  // namespace quorlin::platform
