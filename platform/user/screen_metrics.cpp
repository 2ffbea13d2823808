#include "platform/user/screen_metrics.h"

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"

namespace quorlin::platform {

int ScreenPixelsPerInchY() {
  const HDC screen = GetDC(0);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(0, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace quorlin::platform
