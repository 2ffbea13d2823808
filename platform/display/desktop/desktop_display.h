// The desktop display: our top-level windows as real windows on the Linux desktop (Qt 6, on
// X11 or Wayland), with their input, the clipboard, drops from other programs and native
// dialogs. Qt stays inside this folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// Lets the display selection (display_backend.h) choose the desktop. The desktop is made on
// the thread that first asks for the display, which becomes the thread Qt runs on.
void RegisterDesktopDisplay();

// What the window system shows in rect (our screen coordinates), 0x00RRGGBB per pixel, rows
// top-down: other programs' windows included, as a user sees it. False when the desktop is
// not the display or the screen cannot be read (Wayland). Qt's thread only.
bool ReadDesktopPixels(const RECT& rect, std::vector<uint32_t>& pixels);
// The whole screen as a PNG file.
bool SaveDesktopScreenshot(const std::string& path);

}  // namespace quorlin::platform
