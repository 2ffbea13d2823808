// Where a picture box shows its picture in its client area, by display mode.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::pictures {

enum class DisplayMode : int {
  Natural = 0,    // at (0, 0), the picture's own size
  Stretched = 1,  // over the whole client area
  Fitted = 2,     // centred, shrunk to fit when larger than the client area, never enlarged
};

// The rectangle the picture is drawn into (right and bottom exclusive).
RECT LayoutPicture(DisplayMode mode, int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

}  // namespace quorlin::pictures
