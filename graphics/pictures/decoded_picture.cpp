#include "graphics/pictures/decoded_picture.h"

#include <utility>

#include "graphics/pictures/icon_creation.h"

namespace quorlin::pictures {

DecodedPicture::DecodedPicture(DecodedPicture&& other) noexcept { *this = std::move(other); }

DecodedPicture& DecodedPicture::operator=(DecodedPicture&& other) noexcept {
  if (this == &other) return *this;
  if (icon) DestroyPictureIcon(icon);
  kind = other.kind;
  width = other.width;
  height = other.height;
  icon = std::exchange(other.icon, 0);
  pixels = std::move(other.pixels);
  gifBackgroundIndex = other.gifBackgroundIndex;
  gifTransparentIndex = other.gifTransparentIndex;
  return *this;
}

DecodedPicture::~DecodedPicture() {
  if (icon) DestroyPictureIcon(icon);
}

}  // namespace quorlin::pictures
