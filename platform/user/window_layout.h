// Inside the window layer: where a window lies, what of it can be seen, and the invalidation
// and composition that follow a change. Everything named ...Locked wants the tree lock.
#pragma once

#include "platform/gdi/region.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {

struct FrameInsets {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The non-client frame of a window of these styles (window_geometry.h lists the rules).
FrameInsets FrameInsetsFor(DWORD style, DWORD exStyle);

RECT WindowRectLocked(const WindowRecord& window);  // parent client (or screen) coordinates
RECT ClientRectInWindowLocked(const WindowRecord& window);  // relative to the window's corner
// Where the window's corner lies in its top-level window (the surface) and on the screen.
POINT WindowOriginInRootLocked(const WindowRecord& window);
POINT WindowOriginOnScreenLocked(const WindowRecord& window);
POINT ClientOriginOnScreenLocked(const WindowRecord& window);
// The window and all its ancestors have WS_VISIBLE.
bool IsShownLocked(const WindowRecord& window);

// What a device context of the window may touch, in surface coordinates of its top-level
// window: the client area (or the whole window) within every ancestor's client area, less
// siblings above it where WS_CLIPSIBLINGS asks and, for the client area, less children where
// WS_CLIPCHILDREN asks.
gdi::Region VisibleRegionLocked(const WindowRecord& window, bool wholeWindow);

// Adds a region (client coordinates) to the update region; children too when the window has
// no WS_CLIPCHILDREN or allChildren is set. Hidden windows gather nothing.
void InvalidateLocked(WindowRecord& window, const gdi::Region& region, bool erase, bool allChildren);
// The whole window, frame and children included (after it was shown, sized or moved).
void InvalidateWholeLocked(WindowRecord& window);
// Sets or clears the queue's paint mark from the window's update state.
void RefreshPaintMarkLocked(WindowRecord& window);

// The top-level window's surface, made or resized to the window's size (contents kept).
std::shared_ptr<Surface> SurfaceOfRootLocked(WindowRecord& root);
// Moves the window's live device contexts and those of its descendants to where they now
// draw and what they now see.
void RefreshDeviceContextsLocked(WindowRecord& window);

// Composes the screen from the top-level windows in z-order within rect (screen
// coordinates); without the tree lock.
void ComposeScreen(const RECT& rect);
void ComposeWindowArea(HWND hwnd);  // the top-level window's rectangle
// Composes what drawing changed on the window's top-level surface since the last time.
void ComposeDrawnArea(HWND hwnd);
// The composed screen's pixels. They exist only once something has read them (a capture of the
// screen, the headless display's own picture); until then composing only tells the display.
std::shared_ptr<Surface> ScreenSurface();
bool ScreenPixelsMade();

}  // namespace quorlin::platform
