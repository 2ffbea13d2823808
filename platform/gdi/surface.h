// Drawing surfaces and the device contexts that draw on them: the internal interface of the
// drawing layer for the window layer and the display backends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// A 32-bit image, one uint32_t per pixel holding 0x00RRGGBB (bytes blue, green, red, unused
// in memory), rows top-down. Whoever draws or reads from another thread holds the mutex.
struct Surface {
  Surface(int width, int height);
  uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * stride; }
  const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * stride; }

  int width;
  int height;
  int stride;  // in pixels
  std::vector<uint32_t> pixels;
  std::mutex mutex;
  // What drawing through device contexts changed since the window layer last took it: the
  // bounds of every pixel written (or read) by a drawing operation, in surface coordinates.
  // Empty when nothing was drawn. Guarded by `mutex`.
  RECT drawn{0, 0, 0, 0};
};

// Takes the surface's drawn bounds and clears them; the caller holds the surface's mutex.
RECT TakeDrawnBounds(Surface& surface);

// Largest bitmap or surface side and pixel count the drawing layer accepts.
inline constexpr int kMaxSurfaceSide = 32768;
inline constexpr int64_t kMaxSurfacePixels = int64_t{1} << 28;

// A set of rectangles, for the visible part of a surface device context.
struct VisibleRects {
  std::vector<RECT> rects;  // in the device context's coordinates; may overlap
};

// A device context that draws into `surface` with its (0, 0) at `origin` of the surface;
// nothing is drawn outside `visible` (device-context coordinates) nor outside the surface.
// The context is deleted with DeleteDC; the surface lives as long as someone holds it.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const VisibleRects& visible);
// As CreateSurfaceDC for a surface that is made (by makeSurface, once) only when an operation
// first reaches the context's pixels: a context asked only for its capabilities or used to
// measure text never makes it.
HDC CreateLazySurfaceDC(std::function<std::shared_ptr<Surface>()> makeSurface, POINT origin,
                        const VisibleRects& visible);
// Moves a surface device context or changes its visible part (a window moved or was uncovered).
bool UpdateSurfaceDC(HDC hdc, POINT origin, const VisibleRects& visible);
// As UpdateSurfaceDC, also moving the context to another surface (its window was resized).
bool RetargetSurfaceDC(HDC hdc, std::shared_ptr<Surface> surface, POINT origin, const VisibleRects& visible);

// The virtual screen's size, for GetDeviceCaps (1280 × 1024 until the display says otherwise).
void SetScreenSize(int width, int height);
SIZE GetScreenSize();

}  // namespace quorlin::platform
