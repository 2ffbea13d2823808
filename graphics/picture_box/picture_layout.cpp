#include "graphics/picture_box/picture_layout.h"

#include <algorithm>

namespace quorlin::pictures {

RECT LayoutPicture(DisplayMode mode, int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
  switch (mode) {
    case DisplayMode::Stretched: return RECT{0, 0, clientWidth, clientHeight};
    case DisplayMode::Fitted: {
      int width = pictureWidth, height = pictureHeight;
      if ((pictureWidth > clientWidth || pictureHeight > clientHeight) && pictureWidth > 0 && pictureHeight > 0) {
        const double scale = std::min(static_cast<double>(clientWidth) / pictureWidth,
                                      static_cast<double>(clientHeight) / pictureHeight);
        width = static_cast<int>(pictureWidth * scale);
        height = static_cast<int>(pictureHeight * scale);
      }
      const int left = (clientWidth - width) / 2, top = (clientHeight - height) / 2;
      return RECT{left, top, left + width, top + height};
    }
    case DisplayMode::Natural: break;
  }
  return RECT{0, 0, pictureWidth, pictureHeight};
}

}  // namespace quorlin::pictures
