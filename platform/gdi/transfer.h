// The pixel transfer behind BitBlt, StretchBlt and the DIB functions.
#pragma once

#include "platform/gdi/device_target.h"
#include "platform/gdi/raster_ops.h"
#include "platform/gdi/stretch.h"

namespace quorlin::platform::gdi {

struct TransferSource {
  SourceImage image;
  uint32_t backgroundPixel = kWhitePixel;  // source pixels of this colour become white on monochrome targets
};

// Transfers the source rectangle with corners s0, s1 (source pixels) onto the destination
// rectangle with corners d0, d1 (device pixels) through the ternary operation, stretching and
// mirroring as the corners say. `source` may be null when the operation does not use one. The
// caller holds the target.
void Transfer(DeviceContext& dest, const DeviceTarget& target, POINT d0, POINT d1, const TransferSource* source,
              POINT s0, POINT s1, uint8_t rop);

}  // namespace quorlin::platform::gdi
