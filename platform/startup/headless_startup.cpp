#include "platform/startup/headless_startup.h"

#include <cstdlib>
#include <mutex>

#include "platform/display/display_backend.h"
#include "platform/startup/platform_pieces.h"

namespace quorlin::platform {

void StartHeadlessPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterPlatformPieces();
    // The display selection reads the setting; a "desktop" left in the environment would end
    // the process, since no desktop is registered here.
    setenv("QUORLIN_DISPLAY", "headless", 1);
    CurrentDisplay();
  });
}

}  // namespace quorlin::platform
