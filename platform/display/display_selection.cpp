// Choosing the display backend.
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/display/headless_display.h"

namespace quorlin::platform {
namespace {

constexpr SIZE kDefaultScreen{1280, 1024};
constexpr int kMaxScreenSide = 32768;

std::unique_ptr<DisplayBackend>& Backend() {
  static auto* backend = new std::unique_ptr<DisplayBackend>;
  return *backend;
}

}  // namespace

bool ParseScreenSize(const char* text, SIZE& size) {
  if (!text) return false;
  const char* end = text + std::strlen(text);
  int width = 0, height = 0;
  auto [afterWidth, e1] = std::from_chars(text, end, width);
  if (e1 != std::errc() || afterWidth == text || afterWidth == end || (*afterWidth != 'x' && *afterWidth != 'X')) {
    return false;
  }
  auto [afterHeight, e2] = std::from_chars(afterWidth + 1, end, height);
  if (e2 != std::errc() || afterHeight == afterWidth + 1 || afterHeight != end) return false;
  if (width < 1 || height < 1 || width > kMaxScreenSide || height > kMaxScreenSide) return false;
  size = SIZE{width, height};
  return true;
}

DisplayBackend& CurrentDisplay() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Only the headless backend exists so far; an unknown name falls back to it.
    SIZE size = kDefaultScreen;
    ParseScreenSize(std::getenv("QUORLIN_SCREEN"), size);
    Backend() = std::make_unique<HeadlessDisplay>(size);
  });
  return *Backend();
}

HeadlessDisplay* CurrentHeadlessDisplay() { return dynamic_cast<HeadlessDisplay*>(&CurrentDisplay()); }

}  // namespace quorlin::platform
