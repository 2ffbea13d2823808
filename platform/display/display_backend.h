// The screen behind the window layer: a small interface every display backend implements.
//
// The window layer composes the screen itself (painting.h); a backend gives it its size,
// feeds it input (input_injection.h) and shows, or for the headless one keeps, the result.
#pragma once

#include <cstdint>
#include <memory>
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
};

// The backend QUORLIN_DISPLAY names ("headless", the default while it is the only one), made
// on first use; it tells the drawing layer the screen's size.
DisplayBackend& CurrentDisplay();

// "WxH" with both sides in [1, 32768]; false (and size untouched) for anything else.
bool ParseScreenSize(const char* text, SIZE& size);

}  // namespace quorlin::platform
