// The raster modes of CopyArea and DrawPicture.
#pragma once

#include <optional>

#include "platform/gdi/gdi_types.h"

namespace quorlin::drawpanel {

// 1 (or omitted) plain copy, 2 inverted-source copy, 3 XOR, 4 OR, 5 AND; any other value is a
// ternary raster operation code itself.
inline DWORD RasterOperationOf(std::optional<int32_t> mode) {
  switch (mode.value_or(1)) {
    case 1: return SRCCOPY;
    case 2: return NOTSRCCOPY;
    case 3: return SRCINVERT;
    case 4: return SRCPAINT;
    case 5: return SRCAND;
    default: return static_cast<DWORD>(*mode);
  }
}

}  // namespace quorlin::drawpanel
