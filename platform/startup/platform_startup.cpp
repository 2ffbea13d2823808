#include "platform/startup/platform_startup.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "platform/display/desktop_module.h"
#include "platform/display/display_backend.h"
#include "platform/startup/platform_pieces.h"

namespace quorlin::platform {
namespace {

// Every fresh page costs a fault, and pictures are megabytes of them: the heap's next stretch
// is given large pages, so that a whole bitmap costs a fault or two. The stretch is taken from
// the heap and given back at once: it stays there (below the trim threshold) as free space for
// what comes, and only what is touched becomes resident, a large page at a time.
void BackHeapWithLargePages() {
#if !defined(__SANITIZE_ADDRESS__)
  constexpr size_t kStretch = 24 << 20;  // under the mapping threshold: from the heap
  constexpr uintptr_t kLargePage = 2 << 20;
  void* block = std::malloc(kStretch);
  if (!block) return;
  const auto first = (reinterpret_cast<uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
  const auto last = (reinterpret_cast<uintptr_t>(block) + kStretch) & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  std::free(block);
#endif
}

}  // namespace

void StartPlatform() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Pictures and window surfaces are large buffers that come and go. Served from the heap
    // and kept there once freed, the next one reuses pages already mapped instead of faulting
    // in fresh zeroed pages for every one (mapped and unmapped by the allocator past 128 KiB).
    // One heap for every thread: what the font and transfer threads free serves the window
    // thread, and the large pages below serve them all.
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    BackHeapWithLargePages();
    RegisterPlatformPieces();
    // The display is chosen now, on the thread that will make the windows; with no display to
    // be had the process ends here with a line on standard error.
    RegisterDesktopModule();
    CurrentDisplay();
  });
}

}  // namespace quorlin::platform
