#include "platform/startup/platform_startup.h"

#include <malloc.h>

#include <mutex>

#include "platform/display/desktop_module.h"
#include "platform/display/display_backend.h"
#include "platform/startup/platform_pieces.h"

namespace quorlin::platform {

void StartPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Pictures and window surfaces are large buffers that come and go. Served from the heap
    // and kept there once freed, the next one reuses pages already mapped instead of faulting
    // in fresh zeroed pages for every one (mapped and unmapped by the allocator past 128 KiB).
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    RegisterPlatformPieces();
    // The display is chosen now, on the thread that will make the windows; with no display to
    // be had the process ends here with a line on standard error.
    RegisterDesktopModule();
    CurrentDisplay();
  });
}

}  // namespace quorlin::platform
