#include "graphics/pictures/icon_creation.h"

#include "platform/gdi/icon.h"

namespace quorlin::pictures {

namespace {
constexpr DWORD kIconFormatVersion = 0x30000;
constexpr UINT kDefaultColourFlags = 0;
}  // namespace

HICON CreatePictureIcon(const uint8_t* bits, size_t size, int width, int height, int bitDepth) {
  if (!bits || size == 0 || size > 0xFFFFFFFFu) return 0;
  const DWORD length = static_cast<DWORD>(size);
  HICON icon = CreateIconFromResourceEx(bits, length, TRUE, kIconFormatVersion, width, height, kDefaultColourFlags);
  if (!icon && bitDepth != 16) icon = CreateIconFromResource(bits, length, TRUE, kIconFormatVersion);
  return icon;
}

void DestroyPictureIcon(HICON icon) { DestroyIcon(icon); }

}  // namespace quorlin::pictures
