#include "platform/display/headless_display.h"

#include "platform/gdi/surface.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {

HeadlessDisplay::HeadlessDisplay(SIZE size) : size_(size) { SetScreenSize(size.cx, size.cy); }

void HeadlessDisplay::Present(const RECT& rect) { ComposeScreen(rect); }

void HeadlessDisplay::MoveMouse(int x, int y) { InjectMouseMove(POINT{x, y}); }
void HeadlessDisplay::PressButton(MouseButton button) { InjectMouseButton(button, true); }
void HeadlessDisplay::ReleaseButton(MouseButton button) { InjectMouseButton(button, false); }

void HeadlessDisplay::Click(int x, int y, MouseButton button) {
  MoveMouse(x, y);
  PressButton(button);
  ReleaseButton(button);
}

void HeadlessDisplay::PressKey(BYTE virtualKey) { InjectKey(virtualKey, true); }
void HeadlessDisplay::ReleaseKey(BYTE virtualKey) { InjectKey(virtualKey, false); }

void HeadlessDisplay::TypeKey(BYTE virtualKey) {
  PressKey(virtualKey);
  ReleaseKey(virtualKey);
}

void HeadlessDisplay::TypeText(std::string_view gbk) { InjectCharacters(gbk); }
void HeadlessDisplay::CommitText(std::string_view gbk) { InjectCommittedText(gbk); }

std::vector<uint32_t> HeadlessDisplay::ReadScreen() {
  Present(RECT{0, 0, size_.cx, size_.cy});
  const std::shared_ptr<Surface> screen = ScreenSurface();
  std::lock_guard lock(screen->mutex);
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(screen->width) * screen->height);
  for (int y = 0; y < screen->height; ++y) pixels.insert(pixels.end(), screen->Row(y), screen->Row(y) + screen->width);
  return pixels;
}

COLORREF HeadlessDisplay::PixelAt(int x, int y) {
  if (x < 0 || y < 0 || x >= size_.cx || y >= size_.cy) return 0xFFFFFFFF;
  Present(RECT{x, y, x + 1, y + 1});
  const std::shared_ptr<Surface> screen = ScreenSurface();
  std::lock_guard lock(screen->mutex);
  const uint32_t p = screen->Row(y)[x];
  return RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p));
}

}  // namespace quorlin::platform
