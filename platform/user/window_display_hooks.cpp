// Where the window layer finds the display backend it reports top-level window changes to.
#include <atomic>

#include "platform/display/display_backend.h"

namespace quorlin::platform {
namespace {

std::atomic<DisplayBackend*> g_display{nullptr};

}  // namespace

DisplayBackend* WindowLayerDisplay() { return g_display.load(std::memory_order_acquire); }

void SetWindowLayerDisplay(DisplayBackend* display) { g_display.store(display, std::memory_order_release); }

}  // namespace quorlin::platform
