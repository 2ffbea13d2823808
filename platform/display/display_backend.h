// The screen behind the window layer: a small interface every display backend implements.
//
// The window layer composes the screen itself (painting.h); a backend gives it its size,
// feeds it input (input_injection.h) and shows, or for the headless one keeps, the result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

class DisplayBackend {
 public:
  virtual ~DisplayBackend() = default;
  virtual const char* Name() const = 0;
  virtual SIZE ScreenSize() const = 0;
  // Brings the composed screen up to date for rect (screen coordinates) and presents it.
  virtual void Present(const RECT& rect) = 0;

  // What the window layer tells about top-level windows. Called on any thread, without the
  // window layer's locks held; a backend that shows windows of its own follows them.
  // Shown, hidden, moved, resized, minimised or restored:
  virtual void WindowChanged(HWND hwnd) {}
  virtual void WindowRetitled(HWND hwnd) {}
  virtual void WindowDestroyed(HWND hwnd) {}
  // Pixels of our windows within rect (screen coordinates) may have changed.
  virtual void ScreenChanged(const RECT& rect) {}

  // Work done ahead of a person's first action (loading what the first click will need): the
  // desktop runs it once the first frame of a window of ours reached the screen, so that it
  // cannot hold that frame up. A display nobody looks at runs it at once: its input comes at
  // once, and the work (which starts a background load) overlaps the window's own start. On the
  // window thread.
  virtual void WhileUserLooks(std::function<void()> work) = 0;
};

// The backend QUORLIN_DISPLAY names, made on first use; it tells the drawing layer the
// screen's size. "headless" is the virtual screen; "desktop" (or no setting while DISPLAY or
// WAYLAND_DISPLAY is set) the real one when a desktop factory was registered. When the
// desktop is asked for and cannot be had, a line on standard error says why and the process
// exits with status 1.
DisplayBackend& CurrentDisplay();

// "WxH" with both sides in [1, 32768]; false (and size untouched) for anything else.
bool ParseScreenSize(const char* text, SIZE& size);

// Makes the desktop backend, or null with the reason in error.
using DisplayFactory = std::unique_ptr<DisplayBackend> (*)(std::string& error);
void SetDesktopDisplayFactory(DisplayFactory factory);

// The backend the window layer reports to: the current display once it is made, else null.
DisplayBackend* WindowLayerDisplay();
void SetWindowLayerDisplay(DisplayBackend* display);

}  // namespace quorlin::platform
