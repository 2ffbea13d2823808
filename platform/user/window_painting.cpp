// Update regions, BeginPaint / EndPaint and window device contexts.
#include "platform/user/painting.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/paint_flags.h"
#include "platform/user/window_frame.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {
namespace {

struct ScreenContexts {
  std::mutex mutex;
  std::vector<HDC> open;
};

ScreenContexts& ScreenDCs() {
  static ScreenContexts* contexts = new ScreenContexts;
  return *contexts;
}

// A device context of the window, registered so that it follows the window; 0 if hidden
// windows' or dead ones'.
HDC OpenWindowDC(HWND hwnd, bool wholeWindow, const gdi::Region* limit) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window || window->life == WindowLife::Gone) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WindowRecord* root = RecordLocked(RootLocked(hwnd));
  if (!root) return 0;
  std::shared_ptr<Surface> surface = SurfaceOfRootLocked(*root);
  const POINT corner = WindowOriginInRootLocked(*window);
  const RECT client = ClientRectInWindowLocked(*window);
  const POINT origin = wholeWindow ? corner : POINT{corner.x + client.left, corner.y + client.top};
  gdi::Region visible = VisibleRegionLocked(*window, wholeWindow);
  visible.Offset(-origin.x, -origin.y);
  if (limit) visible = gdi::Region::Combine(visible, *limit, RGN_AND);
  const HDC hdc = CreateSurfaceDC(std::move(surface), origin, VisibleRects{visible.Rects()});
  if (hdc && !limit) window->deviceContexts.emplace_back(hdc, wholeWindow);
  return hdc;
}

void ForgetWindowDC(HWND hwnd, HDC hdc) {
  std::lock_guard lock(TreeLock());
  if (WindowRecord* window = RecordLocked(hwnd)) {
    std::erase_if(window->deviceContexts, [hdc](const auto& dc) { return dc.first == hdc; });
  }
}

// Removes a region (client coordinates; null: all) from the update region.
void ValidateLocked(WindowRecord& window, const gdi::Region* region) {
  window.update = region ? gdi::Region::Combine(window.update, *region, RGN_DIFF) : gdi::Region();
  if (window.update.Empty()) window.eraseNeeded = false;
  RefreshPaintMarkLocked(window);
}

gdi::Region ClientRegion(HWND hwnd, const RECT* rect) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return {};
  if (rect) return gdi::Region(*rect);
  const RECT client = ClientRectInWindowLocked(*window);
  return gdi::Region(RECT{0, 0, client.right - client.left, client.bottom - client.top});
}

void UpdateNow(HWND hwnd, bool children) {
  if (WindowNeedsPaint(hwnd)) SendMessageA(hwnd, WM_PAINT, 0, 0);
  if (!children) return;
  std::vector<HWND> descendants;
  {
    std::lock_guard lock(TreeLock());
    CollectDescendantsLocked(hwnd, descendants);
  }
  for (HWND child : descendants) {
    if (WindowNeedsPaint(child)) SendMessageA(child, WM_PAINT, 0, 0);
  }
}

std::vector<HWND> TopLevelSnapshot() {
  std::lock_guard lock(TreeLock());
  return TopLevelWindowsLocked(false);
}

}  // namespace
}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN regionHandle, UINT flags) {
  if (hwnd == 0) {
    for (HWND top : TopLevelSnapshot()) RedrawWindow(top, rect, regionHandle, flags);
    return TRUE;
  }
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  gdi::Region region;
  if (regionHandle) {
    const auto object = gdi::LookupRegion(regionHandle);
    if (!object) return FALSE;
    region = object->region;
  } else {
    region = ClientRegion(hwnd, rect);
  }
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return FALSE;
    if (flags & RDW_INVALIDATE) {
      if (flags & RDW_FRAME) window->frameNeeded = IsShownLocked(*window);
      if (flags & RDW_NOCHILDREN) {
        // Only this window: a copy without children gathers nothing below it.
        const RECT client = ClientRectInWindowLocked(*window);
        const gdi::Region part =
            region.Intersected(RECT{0, 0, client.right - client.left, client.bottom - client.top});
        if (IsShownLocked(*window) && !part.Empty()) {
          window->update = gdi::Region::Combine(window->update, part, RGN_OR);
          window->eraseNeeded = window->eraseNeeded || (flags & RDW_ERASE);
        }
        RefreshPaintMarkLocked(*window);
      } else {
        InvalidateLocked(*window, region, (flags & RDW_ERASE) != 0, (flags & RDW_ALLCHILDREN) != 0);
      }
    }
    if (flags & RDW_VALIDATE) {
      ValidateLocked(*window, regionHandle || rect ? &region : nullptr);
      if (flags & RDW_NOFRAME) window->frameNeeded = false;
      RefreshPaintMarkLocked(*window);
    }
  }
  if (flags & RDW_UPDATENOW) UpdateNow(hwnd, (flags & RDW_NOCHILDREN) == 0);
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  return RedrawWindow(hwnd, rect, 0, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  if (!region) return InvalidateRect(hwnd, nullptr, erase);
  return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return FALSE;
  const gdi::Region region = rect ? gdi::Region(*rect) : gdi::Region();
  ValidateLocked(*window, rect ? &region : nullptr);
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  UpdateNow(hwnd, true);
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase) {
  bool needsErase = false;
  RECT bounds{};
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    bounds = window->update.Empty() ? RECT{} : window->update.Bounds();
    needsErase = erase && window->eraseNeeded;
  }
  if (needsErase) {
    if (const HDC hdc = GetDC(hwnd)) {
      const bool erased = SendMessageA(hwnd, WM_ERASEBKGND, static_cast<WPARAM>(hdc), 0) != 0;
      ReleaseDC(hwnd, hdc);
      std::lock_guard lock(TreeLock());
      if (WindowRecord* window = RecordLocked(hwnd); window && erased) window->eraseNeeded = false;
    }
  }
  if (rect) *rect = bounds;
  return IsRectEmpty(&bounds) ? FALSE : TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  if (!paint) return 0;
  *paint = PAINTSTRUCT{};
  bool frame;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    frame = std::exchange(window->frameNeeded, false);
  }
  if (frame) SendMessageA(hwnd, WM_NCPAINT, 1, 0);
  gdi::Region update;
  bool erase;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return 0;
    update = window->update;
    erase = window->eraseNeeded;
    ValidateLocked(*window, nullptr);
  }
  const HDC hdc = OpenWindowDC(hwnd, false, &update);
  if (!hdc) return 0;
  {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) window->deviceContexts.emplace_back(hdc, false);
  }
  paint->hdc = hdc;
  paint->rcPaint = update.Empty() ? RECT{} : update.Bounds();
  paint->fErase = erase ? TRUE : FALSE;
  if (erase && SendMessageA(hwnd, WM_ERASEBKGND, static_cast<WPARAM>(hdc), 0)) paint->fErase = FALSE;
  return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  ReleaseDC(hwnd, paint->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  if (hwnd == 0) {
    const SIZE size = GetScreenSize();
    // Most screen contexts only answer GetDeviceCaps or measure text: the screen is composed
    // when one first reaches its pixels.
    const auto composed = [size] {
      ComposeScreen(RECT{0, 0, size.cx, size.cy});
      return ScreenSurface();
    };
    const HDC hdc = CreateLazySurfaceDC(composed, POINT{0, 0}, VisibleRects{{RECT{0, 0, size.cx, size.cy}}});
    if (hdc) {
      std::lock_guard lock(ScreenDCs().mutex);
      ScreenDCs().open.push_back(hdc);
    }
    return hdc;
  }
  return OpenWindowDC(hwnd, false, nullptr);
}

HDC GetWindowDC(HWND hwnd) {
  if (hwnd == 0) return GetDC(0);
  PaintOwedFrame(hwnd);
  return OpenWindowDC(hwnd, true, nullptr);
}

int ReleaseDC(HWND hwnd, HDC hdc) {
  {
    std::lock_guard lock(ScreenDCs().mutex);
    auto& open = ScreenDCs().open;
    if (std::find(open.begin(), open.end(), hdc) != open.end()) {
      std::erase(open, hdc);
      DeleteDC(hdc);
      return 1;
    }
  }
  bool known = false;
  {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) {
      known = std::any_of(window->deviceContexts.begin(), window->deviceContexts.end(),
                          [hdc](const auto& dc) { return dc.first == hdc; });
    }
  }
  if (!known) return 0;
  ForgetWindowDC(hwnd, hdc);
  DeleteDC(hdc);
  ComposeDrawnArea(hwnd);
  return 1;
}
