// Where windows lie, what of them is visible, update regions, surfaces and the composed screen.
#include "platform/user/window_layout.h"

#include <algorithm>
#include <cstring>

#include "platform/display/display_backend.h"
#include "platform/gdi/gdi.h"
#include "platform/user/paint_flags.h"
#include "platform/user/window_frame.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr uint32_t kDesktopColour = 0x3A6EA5;

RECT Offset(RECT r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

struct ScreenState {
  std::mutex mutex;  // guards `surface` (the pointer; its pixels by the surface's own mutex)
  std::shared_ptr<Surface> surface;
};

ScreenState& Screen() {
  static ScreenState* screen = new ScreenState;
  return *screen;
}

// Surface coordinates of the window's client area.
RECT ClientRectInRootLocked(const WindowRecord& window) {
  return Offset(ClientRectInWindowLocked(window), WindowOriginInRootLocked(window));
}

RECT WindowRectInRootLocked(const WindowRecord& window) {
  const POINT o = WindowOriginInRootLocked(window);
  return RECT{o.x, o.y, o.x + window.width, o.y + window.height};
}

void SubtractShownWindow(gdi::Region& region, const WindowRecord* other) {
  if (other && (other->style & WS_VISIBLE)) {
    region = gdi::Region::Combine(region, gdi::Region(WindowRectInRootLocked(*other)), RGN_DIFF);
  }
}

}  // namespace

RECT WindowRectLocked(const WindowRecord& window) {
  return RECT{window.x, window.y, window.x + window.width, window.y + window.height};
}

RECT ClientRectInWindowLocked(const WindowRecord& window) {
  const FrameInsets f = FrameInsetsFor(window.style, window.exStyle);
  const int right = std::max<int>(f.left, window.width - f.right);
  const int bottom = std::max<int>(f.top, window.height - f.bottom);
  return RECT{f.left, f.top, right, bottom};
}

POINT WindowOriginInRootLocked(const WindowRecord& window) {
  POINT at{0, 0};
  const WindowRecord* w = &window;
  while (w->parent) {
    const WindowRecord* parent = RecordLocked(w->parent);
    if (!parent) break;
    const RECT client = ClientRectInWindowLocked(*parent);
    at.x += w->x + client.left;
    at.y += w->y + client.top;
    w = parent;
  }
  return at;
}

POINT WindowOriginOnScreenLocked(const WindowRecord& window) {
  const POINT inRoot = WindowOriginInRootLocked(window);
  const WindowRecord* root = RecordLocked(RootLocked(window.handle));
  if (!root) return inRoot;
  return POINT{inRoot.x + root->x, inRoot.y + root->y};
}

POINT ClientOriginOnScreenLocked(const WindowRecord& window) {
  const POINT corner = WindowOriginOnScreenLocked(window);
  const RECT client = ClientRectInWindowLocked(window);
  return POINT{corner.x + client.left, corner.y + client.top};
}

bool IsShownLocked(const WindowRecord& window) {
  const WindowRecord* w = &window;
  for (;;) {
    if (!(w->style & WS_VISIBLE) || w->life == WindowLife::Gone) return false;
    if (!w->parent) return true;
    w = RecordLocked(w->parent);
    if (!w) return false;
  }
}

gdi::Region VisibleRegionLocked(const WindowRecord& window, bool wholeWindow) {
  if (!IsShownLocked(window)) return {};
  gdi::Region region(wholeWindow ? WindowRectInRootLocked(window) : ClientRectInRootLocked(window));
  const WindowRecord* w = &window;
  while (w->parent) {
    const WindowRecord* parent = RecordLocked(w->parent);
    if (!parent) return {};
    region = region.Intersected(ClientRectInRootLocked(*parent));
    if (w->style & WS_CLIPSIBLINGS) {
      for (HWND sibling : parent->children) {
        if (sibling == w->handle) break;  // the rest lie below
        SubtractShownWindow(region, RecordLocked(sibling));
      }
    }
    w = parent;
  }
  region = region.Intersected(RECT{0, 0, w->width, w->height});
  if (!wholeWindow && (window.style & WS_CLIPCHILDREN)) {
    for (HWND child : window.children) SubtractShownWindow(region, RecordLocked(child));
  }
  return region;
}

void RefreshPaintMarkLocked(WindowRecord& window) {
  const bool needs = IsShownLocked(window) && (!window.update.Empty() || window.frameNeeded);
  SetWindowNeedsPaint(window.handle, needs);
}

void InvalidateLocked(WindowRecord& window, const gdi::Region& region, bool erase, bool allChildren) {
  if (!IsShownLocked(window)) return;
  const RECT client = ClientRectInWindowLocked(window);
  const gdi::Region part = region.Intersected(RECT{0, 0, client.right - client.left, client.bottom - client.top});
  if (!part.Empty()) {
    window.update = gdi::Region::Combine(window.update, part, RGN_OR);
    window.eraseNeeded = window.eraseNeeded || erase;
    RefreshPaintMarkLocked(window);
  }
  if (!allChildren && (window.style & WS_CLIPCHILDREN)) return;
  for (HWND hwnd : window.children) {
    WindowRecord* child = RecordLocked(hwnd);
    if (!child) continue;
    const RECT childClient = ClientRectInWindowLocked(*child);
    gdi::Region inChild = region;
    inChild.Offset(-(child->x + childClient.left), -(child->y + childClient.top));
    InvalidateLocked(*child, inChild, erase, allChildren);
  }
}

void InvalidateWholeLocked(WindowRecord& window) {
  if (!IsShownLocked(window)) return;
  window.frameNeeded = true;
  InvalidateLocked(window, gdi::Region(RECT{0, 0, window.width, window.height}), true, false);
  RefreshPaintMarkLocked(window);
  for (HWND hwnd : window.children) {
    if (WindowRecord* child = RecordLocked(hwnd)) InvalidateWholeLocked(*child);
  }
}

std::shared_ptr<Surface> SurfaceOfRootLocked(WindowRecord& root) {
  const int width = std::clamp(root.width, 1, kMaxSurfaceSide);
  const int height = std::clamp(root.height, 1, kMaxSurfaceSide);
  if (root.surface && root.surface->width == width && root.surface->height == height) return root.surface;
  if (int64_t{width} * height > kMaxSurfacePixels) return root.surface;
  auto fresh = std::make_shared<Surface>(width, height);
  fresh->drawn = RECT{0, 0, width, height};  // nothing of it was shown yet
  if (root.surface) {
    std::lock_guard lock(root.surface->mutex);
    const int w = std::min(width, root.surface->width);
    for (int y = 0; y < std::min(height, root.surface->height); ++y) {
      std::memcpy(fresh->Row(y), root.surface->Row(y), sizeof(uint32_t) * static_cast<size_t>(w));
    }
  }
  root.surface = std::move(fresh);
  return root.surface;
}

void RefreshDeviceContextsLocked(WindowRecord& window) {
  WindowRecord* root = RecordLocked(RootLocked(window.handle));
  if (!root) return;
  const std::shared_ptr<Surface> surface = SurfaceOfRootLocked(*root);
  for (const auto& [hdc, whole] : window.deviceContexts) {
    gdi::Region visible = VisibleRegionLocked(window, whole);
    const POINT corner = WindowOriginInRootLocked(window);
    const RECT client = ClientRectInWindowLocked(window);
    const POINT origin = whole ? corner : POINT{corner.x + client.left, corner.y + client.top};
    visible.Offset(-origin.x, -origin.y);
    RetargetSurfaceDC(hdc, surface, origin, VisibleRects{visible.Rects()});
  }
  for (HWND hwnd : window.children) {
    if (WindowRecord* child = RecordLocked(hwnd)) RefreshDeviceContextsLocked(*child);
  }
}

namespace {

// Composes the top-level windows in z-order into the screen's pixels within clip.
void ComposeInto(Surface& screen, const RECT& area) {
  struct Layer {
    RECT rect;
    std::shared_ptr<Surface> surface;
  };
  std::vector<Layer> layers;  // bottom first
  {
    std::lock_guard lock(TreeLock());
    const auto& tops = TopLevelWindowsLocked(false);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
      WindowRecord* window = RecordLocked(*it);
      if (!window || !(window->style & WS_VISIBLE) || window->life == WindowLife::Gone || !window->surface) continue;
      layers.push_back(Layer{WindowRectLocked(*window), window->surface});
    }
  }
  RECT clip{};
  const RECT bounds{0, 0, screen.width, screen.height};
  if (!IntersectRect(&clip, &area, &bounds)) return;
  std::lock_guard screenLock(screen.mutex);
  for (int y = clip.top; y < clip.bottom; ++y) std::fill(screen.Row(y) + clip.left, screen.Row(y) + clip.right, kDesktopColour);
  for (const Layer& layer : layers) {
    RECT part{};
    if (!IntersectRect(&part, &layer.rect, &clip)) continue;
    std::lock_guard surfaceLock(layer.surface->mutex);
    const int x0 = part.left, x1 = std::min<int>(part.right, layer.rect.left + layer.surface->width);
    const int y1 = std::min<int>(part.bottom, layer.rect.top + layer.surface->height);
    if (x1 <= x0) continue;
    for (int y = part.top; y < y1; ++y) {
      std::memcpy(screen.Row(y) + x0, layer.surface->Row(y - layer.rect.top) + (x0 - layer.rect.left),
                  sizeof(uint32_t) * static_cast<size_t>(x1 - x0));
    }
  }
}

// The screen's pixels when something has asked for them, else null.
std::shared_ptr<Surface> MadeScreenSurface() {
  ScreenState& screen = Screen();
  std::lock_guard lock(screen.mutex);
  return screen.surface;
}

}  // namespace

std::shared_ptr<Surface> ScreenSurface() {
  const SIZE size = GetScreenSize();
  ScreenState& screen = Screen();
  {
    std::lock_guard lock(screen.mutex);
    if (screen.surface && screen.surface->width == size.cx && screen.surface->height == size.cy) return screen.surface;
    screen.surface = std::make_shared<Surface>(size.cx, size.cy);
  }
  ComposeScreen(RECT{0, 0, size.cx, size.cy});
  return MadeScreenSurface();
}

bool ScreenPixelsMade() { return MadeScreenSurface() != nullptr; }

void ComposeScreen(const RECT& area) {
  const SIZE size = GetScreenSize();
  RECT clip{};
  const RECT bounds{0, 0, size.cx, size.cy};
  if (!IntersectRect(&clip, &area, &bounds)) return;
  // Until something reads the screen (ScreenSurface) only the display hears of the change.
  if (const std::shared_ptr<Surface> screen = MadeScreenSurface()) {
    PaintOwedFrames(clip);
    ComposeInto(*screen, clip);
  }
  if (DisplayBackend* display = WindowLayerDisplay()) display->ScreenChanged(clip);
}

void ComposeWindowArea(HWND hwnd) {
  RECT rect{};
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* root = RecordLocked(RootLocked(hwnd));
    if (!root) return;
    rect = WindowRectLocked(*root);
  }
  ComposeScreen(rect);
}

void ComposeDrawnArea(HWND hwnd) {
  RECT rect{};
  std::shared_ptr<Surface> surface;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* root = RecordLocked(RootLocked(hwnd));
    if (!root || !root->surface) return;
    rect = WindowRectLocked(*root);
    surface = root->surface;
  }
  RECT drawn{};
  {
    std::lock_guard lock(surface->mutex);
    drawn = TakeDrawnBounds(*surface);
  }
  if (IsRectEmpty(&drawn)) return;
  OffsetRect(&drawn, rect.left, rect.top);
  ComposeScreen(drawn);
}

}  // namespace quorlin::platform
