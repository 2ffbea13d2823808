// The pixels of a device context, locked for one operation, and the clip in force there.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/gdi/gdi_objects.h"

namespace quorlin::platform::gdi {

// The clip an operation on the device context obeys, in device coordinates: the target's
// bounds, the visible part of a surface context and the selected clip region.
const Region& EffectiveClip(DeviceContext& dc);
void InvalidateClip(DeviceContext& dc);

class DeviceTarget {
 public:
  // Locks the target's surface unless `lock` is false (the caller holds it).
  explicit DeviceTarget(DeviceContext& dc, bool lock = true);
  // Adds what the operation touched to the surface's drawn bounds.
  ~DeviceTarget();
  DeviceTarget(const DeviceTarget&) = delete;
  DeviceTarget& operator=(const DeviceTarget&) = delete;

  bool Valid() const { return surface_ != nullptr; }
  Surface* GetSurface() const { return surface_; }
  const Region& Clip() const { return *clip_; }
  bool Monochrome() const { return monochrome_; }
  // The pixel at device coordinates (x, y), which must lie inside the clip.
  uint32_t* At(int x, int y) const {
    Touch(x, y, x + 1);
    return surface_->Row(y + origin_.y) + origin_.x + x;
  }

  // Calls f(x0, x1) for each clipped piece of [x0, x1) in device row y.
  template <typename F>
  void ForEachClipped(int y, int x0, int x1, F&& f) const {
    const std::vector<Span>* spans = clip_->RowSpans(y);
    if (spans == nullptr) return;
    for (const Span& s : *spans) {
      if (s.x0 >= x1) break;
      const int a = s.x0 > x0 ? s.x0 : x0;
      const int b = s.x1 < x1 ? s.x1 : x1;
      if (a < b) {
        Touch(a, y, b);
        f(a, b);
      }
    }
  }

 private:
  // Every pixel an operation reaches passes through ForEachClipped or At: their bounds are
  // what the operation may have changed (device coordinates).
  void Touch(int x0, int y, int x1) const {
    if (x0 < touched_.left) touched_.left = x0;
    if (x1 > touched_.right) touched_.right = x1;
    if (y < touched_.top) touched_.top = y;
    if (y + 1 > touched_.bottom) touched_.bottom = y + 1;
  }

  mutable RECT touched_{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  Surface* surface_ = nullptr;
  POINT origin_{0, 0};
  const Region* clip_ = nullptr;
  bool monochrome_ = false;
  std::unique_lock<std::mutex> lock_;
};

// The surface a device context draws on and where its (0, 0) lies there.
Surface* TargetSurface(const DeviceContext& dc, POINT* origin);

}  // namespace quorlin::platform::gdi
