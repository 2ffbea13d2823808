// Choosing the display backend.
#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/display/headless_display.h"

namespace quorlin::platform {
namespace {

constexpr SIZE kDefaultScreen{1280, 1024};
constexpr int kMaxScreenSide = 32768;

std::unique_ptr<DisplayBackend>& Backend() {
  static auto* backend = new std::unique_ptr<DisplayBackend>;
  return *backend;
}

std::atomic<DisplayFactory>& DesktopFactory() {
  static std::atomic<DisplayFactory> factory{nullptr};
  return factory;
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

[[noreturn]] void NoDisplay(const std::string& why) {
  std::fprintf(stderr, "no display: %s\n", why.c_str());
  std::fflush(stderr);
  std::exit(1);
}

std::unique_ptr<DisplayBackend> MakeHeadless() {
  SIZE size = kDefaultScreen;
  ParseScreenSize(std::getenv("QUORLIN_SCREEN"), size);
  return std::make_unique<HeadlessDisplay>(size);
}

std::unique_ptr<DisplayBackend> Choose() {
  const char* asked = std::getenv("QUORLIN_DISPLAY");
  const std::string_view name = asked ? asked : "";
  if (name == "headless") return MakeHeadless();
  const bool wantsDesktop = name == "desktop";
  if (!wantsDesktop && !name.empty()) return MakeHeadless();  // an unknown name: the virtual screen
  const DisplayFactory factory = DesktopFactory().load();
  if (!factory && !wantsDesktop) return MakeHeadless();  // a build without the desktop
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
    NoDisplay("set DISPLAY or WAYLAND_DISPLAY, or QUORLIN_DISPLAY=headless");
  }
  if (!factory) NoDisplay("this build has no desktop display; set QUORLIN_DISPLAY=headless");
  std::string error;
  std::unique_ptr<DisplayBackend> desktop = factory(error);
  if (!desktop) NoDisplay(error + "; set DISPLAY or WAYLAND_DISPLAY, or QUORLIN_DISPLAY=headless");
  return desktop;
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

void SetDesktopDisplayFactory(DisplayFactory factory) { DesktopFactory().store(factory); }

DisplayBackend& CurrentDisplay() {
  static std::once_flag once;
  std::call_once(once, [] {
    Backend() = Choose();
    SetWindowLayerDisplay(Backend().get());
  });
  return *Backend();
}

HeadlessDisplay* CurrentHeadlessDisplay() { return dynamic_cast<HeadlessDisplay*>(&CurrentDisplay()); }

}  // namespace quorlin::platform
