// The headless display: a virtual screen (1280 × 1024, or QUORLIN_SCREEN=WxH) whose input
// comes from code and whose pixels code can read.
#pragma once

#include <functional>
#include <string_view>

#include "platform/display/display_backend.h"
#include "platform/user/input_injection.h"

namespace quorlin::platform {

class HeadlessDisplay final : public DisplayBackend {
 public:
  explicit HeadlessDisplay(SIZE size);
  const char* Name() const override { return "headless"; }
  SIZE ScreenSize() const override { return size_; }
  void Present(const RECT& rect) override;
  void WhileUserLooks(std::function<void()> work) override { work(); }

  // Input, as a user would give it.
  void MoveMouse(int x, int y);
  void PressButton(MouseButton button = MouseButton::Left);
  void ReleaseButton(MouseButton button = MouseButton::Left);
  void Click(int x, int y, MouseButton button = MouseButton::Left);
  void PressKey(BYTE virtualKey);
  void ReleaseKey(BYTE virtualKey);
  void TypeKey(BYTE virtualKey);  // press and release
  void TypeText(std::string_view gbk);
  void CommitText(std::string_view gbk);  // from an input method

  // The composed screen, 0x00RRGGBB per pixel, rows top-down.
  std::vector<uint32_t> ReadScreen();
  // One pixel of the composed screen as a COLORREF; CLR_INVALID outside.
  COLORREF PixelAt(int x, int y);

 private:
  SIZE size_;
};

// The current display when it is the headless one, else null.
HeadlessDisplay* CurrentHeadlessDisplay();

}  // namespace quorlin::platform
