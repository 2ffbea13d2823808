// The non-client frame in the classic look.
#include "platform/user/window_frame.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {

struct FrameLayout {
  RECT window{};   // window coordinates: (0, 0) is the window's corner
  RECT client{};
  RECT caption{};  // empty without WS_CAPTION
  RECT close{};    // empty without WS_SYSMENU
  RECT minimize{};  // both empty unless the window has a minimize or a maximize box
  RECT maximize{};
  DWORD style = 0;
  DWORD exStyle = 0;
  bool active = false;
  bool topLevel = false;
  std::string title;
};

namespace {

bool LayoutOf(HWND hwnd, FrameLayout& out) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return false;
  out.window = RECT{0, 0, window->width, window->height};
  out.client = ClientRectInWindowLocked(*window);
  out.style = window->style;
  out.exStyle = window->exStyle;
  out.title = window->text;
  out.active = window->queue->inputState->active == hwnd;
  out.topLevel = RootLocked(hwnd) == hwnd;
  if ((window->style & WS_CAPTION) == WS_CAPTION) {
    const int side = (window->style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXSIZEFRAME) : GetSystemMetrics(SM_CXFIXEDFRAME);
    const int height = (window->exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    out.caption = RECT{side, side, window->width - side, side + height - 1};
    if (window->style & WS_SYSMENU) {
      const int box = height - 5;
      out.close = RECT{out.caption.right - 2 - box, out.caption.top + 2, out.caption.right - 2, out.caption.top + 2 + box};
      // The minimize and maximize boxes come as a pair, 2 pixels left of the close box; the one
      // the style leaves out is drawn greyed and does nothing.
      if (window->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
        out.maximize = RECT{out.close.left - 2 - box, out.close.top, out.close.left - 2, out.close.bottom};
        out.minimize = RECT{out.maximize.left - box, out.close.top, out.maximize.left, out.close.bottom};
      }
    }
  }
  return true;
}

void FillColour(HDC hdc, RECT r, int colour) { FillRect(hdc, &r, GetSysColorBrush(colour)); }

// A one-pixel frame: top-left in one colour, bottom-right in another.
void Bevel(HDC hdc, RECT r, int topLeft, int bottomRight) {
  FillColour(hdc, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  FillColour(hdc, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  FillColour(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  FillColour(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// A caption box: face, bevel and its glyph in the button text colour, or greyed when disabled.
void CaptionBox(HDC hdc, RECT box, bool enabled, void (*glyph)(HDC, RECT, int)) {
  FillColour(hdc, box, COLOR_BTNFACE);
  Bevel(hdc, box, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW);
  if (enabled) {
    glyph(hdc, box, COLOR_BTNTEXT);
  } else {
    glyph(hdc, RECT{box.left + 1, box.top + 1, box.right + 1, box.bottom + 1}, COLOR_3DHIGHLIGHT);
    glyph(hdc, box, COLOR_GRAYTEXT);
  }
}

void MinimizeGlyph(HDC hdc, RECT box, int colour) {
  const int size = box.right - box.left;
  FillColour(hdc, RECT{box.left + 3, box.bottom - 5, box.left + size / 2 + 2, box.bottom - 3}, colour);
}

void MaximizeGlyph(HDC hdc, RECT box, int colour) {
  const RECT outline{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
  if (outline.right - outline.left < 3 || outline.bottom - outline.top < 3) return;
  FillColour(hdc, RECT{outline.left, outline.top, outline.right, outline.top + 2}, colour);
  FillColour(hdc, RECT{outline.left, outline.top, outline.left + 1, outline.bottom}, colour);
  FillColour(hdc, RECT{outline.right - 1, outline.top, outline.right, outline.bottom}, colour);
  FillColour(hdc, RECT{outline.left, outline.bottom - 1, outline.right, outline.bottom}, colour);
}

}  // namespace

LRESULT FrameHitTest(HWND hwnd, POINT screen) {
  FrameLayout layout;
  RECT rect{};
  if (!LayoutOf(hwnd, layout) || !GetWindowRect(hwnd, &rect)) return HTNOWHERE;
  const POINT p{screen.x - rect.left, screen.y - rect.top};
  if (!PtInRect(&layout.window, p)) return HTNOWHERE;
  if (PtInRect(&layout.client, p)) return HTCLIENT;
  if (PtInRect(&layout.close, p)) return HTCLOSE;
  if (PtInRect(&layout.minimize, p)) return HTMINBUTTON;
  if (PtInRect(&layout.maximize, p)) return HTMAXBUTTON;
  if (PtInRect(&layout.caption, p)) return HTCAPTION;
  return HTBORDER;
}

namespace {

void PaintFrame(HWND hwnd, const FrameLayout& layout) {
  const HDC hdc = GetWindowDC(hwnd);
  if (!hdc) return;
  // Owed since a resize, the frame still covers only what the window was then.
  IntersectClipRect(hdc, layout.window.left, layout.window.top, layout.window.right, layout.window.bottom);
  ExcludeClipRect(hdc, layout.client.left, layout.client.top, layout.client.right, layout.client.bottom);
  RECT r = layout.window;
  FillColour(hdc, r, COLOR_BTNFACE);
  if (layout.style & (WS_THICKFRAME | WS_DLGFRAME) || (layout.exStyle & WS_EX_DLGMODALFRAME)) {
    Bevel(hdc, r, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    InflateRect(&r, -1, -1);
    Bevel(hdc, r, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW);
  } else if (layout.style & WS_BORDER) {
    Bevel(hdc, r, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
  }
  if (!IsRectEmpty(&layout.caption)) {
    FillColour(hdc, layout.caption, layout.active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(layout.active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    TextOutA(hdc, layout.caption.left + 4, layout.caption.top + 2, layout.title.c_str(), static_cast<int>(layout.title.size()));
    if (!IsRectEmpty(&layout.close)) {
      FillColour(hdc, layout.close, COLOR_BTNFACE);
      Bevel(hdc, layout.close, COLOR_3DHIGHLIGHT, COLOR_3DDKSHADOW);
      // The cross.
      const int size = layout.close.right - layout.close.left;
      for (int i = 3; i < size - 3; ++i) {
        const int x = layout.close.left + i;
        FillColour(hdc, RECT{x, layout.close.top + i, x + 1, layout.close.top + i + 1}, COLOR_BTNTEXT);
        FillColour(hdc, RECT{x, layout.close.bottom - 1 - i, x + 1, layout.close.bottom - i}, COLOR_BTNTEXT);
      }
    }
    if (!IsRectEmpty(&layout.minimize)) {
      CaptionBox(hdc, layout.minimize, (layout.style & WS_MINIMIZEBOX) != 0, MinimizeGlyph);
      CaptionBox(hdc, layout.maximize, (layout.style & WS_MAXIMIZEBOX) != 0, MaximizeGlyph);
    }
  }
  RECT edge = layout.client;
  if (layout.exStyle & WS_EX_CLIENTEDGE) {
    InflateRect(&edge, 1, 1);
    Bevel(hdc, edge, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    InflateRect(&edge, 1, 1);
    Bevel(hdc, edge, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
  }
  if (layout.exStyle & WS_EX_STATICEDGE) {
    InflateRect(&edge, 1, 1);
    Bevel(hdc, edge, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT);
  }
  ReleaseDC(hwnd, hdc);
}

}  // namespace

void DrawWindowFrame(HWND hwnd) {
  auto layout = std::make_shared<FrameLayout>();
  if (!LayoutOf(hwnd, *layout)) return;
  if (EqualRect(&layout->window, &layout->client)) return;
  if (layout->topLevel && !IsRectEmpty(&layout->caption)) {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) window->owedFrame = std::move(layout);
    return;
  }
  PaintFrame(hwnd, *layout);
}

void PaintOwedFrame(HWND hwnd) {
  std::shared_ptr<const FrameLayout> layout;
  {
    std::lock_guard lock(TreeLock());
    if (WindowRecord* window = RecordLocked(hwnd)) layout = std::move(window->owedFrame);
  }
  if (layout) PaintFrame(hwnd, *layout);
}

void PaintOwedFrames(const RECT& area) {
  std::vector<HWND> owing;
  {
    std::lock_guard lock(TreeLock());
    for (HWND hwnd : TopLevelWindowsLocked(false)) {
      const WindowRecord* window = RecordLocked(hwnd);
      if (!window || !window->owedFrame || !IsShownLocked(*window)) continue;
      const RECT rect = WindowRectLocked(*window);
      RECT overlap{};
      if (IntersectRect(&overlap, &rect, &area)) owing.push_back(hwnd);
    }
  }
  for (HWND hwnd : owing) PaintOwedFrame(hwnd);
}

}  // namespace quorlin::platform
