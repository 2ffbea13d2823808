// Logical-to-device conversion of a device context's mapping mode.
#pragma once

#include "platform/gdi/gdi_objects.h"

namespace quorlin::platform::gdi {

inline constexpr int kScreenDpi = 96;

struct Transform {
  int64_t wox, woy, wex, wey, vox, voy, vex, vey;

  POINT ToDevice(POINT p) const;
  POINT ToLogical(POINT p) const;
  // Lengths along each axis (sign kept).
  int XToDevice(int dx) const;
  int YToDevice(int dy) const;
  int XToLogical(int dx) const;
  int YToLogical(int dy) const;
  bool Identity() const;
};

Transform TransformOf(const DcState& state);
// The device rectangle of a logical one, corners ordered.
RECT RectToDevice(const DcState& state, int left, int top, int right, int bottom);

// a × b / c rounded half away from zero, in 64 bits (c ≠ 0).
int64_t MulDivRound(int64_t a, int64_t b, int64_t c);

}  // namespace quorlin::platform::gdi
