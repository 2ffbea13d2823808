// The one place that asks the platform for icons made from icon image bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/win_types.h"

namespace quorlin::pictures {

// The platform's icon creation from resource bits (as an icon, format version 0x30000) at the
// given size; when that fails and the image is not 16 bits deep, the simpler creation from
// resource bits. 0 when the platform refuses the image.
HICON CreatePictureIcon(const uint8_t* bits, size_t size, int width, int height, int bitDepth);

void DestroyPictureIcon(HICON icon);

}  // namespace quorlin::pictures
