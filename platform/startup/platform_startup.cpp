#include "platform/startup/platform_startup.h"

#include <mutex>

#include "platform/display/desktop_module.h"
#include "platform/display/display_backend.h"
#include "platform/startup/platform_pieces.h"

namespace quorlin::platform {

void StartPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterPlatformPieces();
    // The display is chosen now, on the thread that will make the windows; with no display to
    // be had the process ends here with a line on standard error.
    RegisterDesktopModule();
    CurrentDisplay();
  });
}

}  // namespace quorlin::platform
