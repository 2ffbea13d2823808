// Icon resource bits (DIB with masks, or PNG) as icons are made from them, then drawn.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  static HDC dc = [] {
    HDC d = CreateCompatibleDC(0);
    SelectObject(d, CreateCompatibleBitmap(0, 64, 64));
    return d;
  }();
  const BOOL isIcon = size > 0 && (data[0] & 1) ? FALSE : TRUE;
  HICON icon = CreateIconFromResourceEx(data, static_cast<DWORD>(size), isIcon, 0x30000, 0, 0, 0);
  if (icon != 0) {
    DrawIconEx(dc, 3, 3, icon, 40, 24, 0, 0, DI_NORMAL);
    DestroyIcon(icon);
  }
  return 0;
}
