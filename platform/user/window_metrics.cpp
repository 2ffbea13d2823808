// System metrics and the fixed non-client frame.
#include <algorithm>

#include "platform/gdi/surface.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {
namespace {

constexpr int kBorder = 1;
constexpr int kEdge = 2;
constexpr int kFixedFrame = 3;
constexpr int kSizeFrame = 4;
constexpr int kCaption = 19;
constexpr int kSmallCaption = 16;
constexpr int kScrollBar = 17;

}  // namespace

FrameInsets FrameInsetsFor(DWORD style, DWORD exStyle) {
  int side = 0;
  if (style & WS_THICKFRAME) {
    side = kSizeFrame;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    side = kFixedFrame;
  } else if (style & WS_BORDER) {
    side = kBorder;
  }
  if (exStyle & WS_EX_CLIENTEDGE) side += kEdge;
  if (exStyle & WS_EX_STATICEDGE) side += kBorder;
  FrameInsets insets{side, side, side, side};
  if ((style & WS_CAPTION) == WS_CAPTION) insets.top += (exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
  return insets;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

int GetSystemMetrics(int index) {
  const SIZE screen = GetScreenSize();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXMAXIMIZED: return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CYMAXIMIZED: return screen.cy;
    case SM_CYFULLSCREEN: return screen.cy - kCaption;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return kScrollBar;
    case SM_CYCAPTION: return kCaption;
    case SM_CYSMCAPTION: return kSmallCaption;
    case SM_CXBORDER:
    case SM_CYBORDER: return kBorder;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return kFixedFrame;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME: return kSizeFrame;
    case SM_CXEDGE:
    case SM_CYEDGE: return kEdge;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return kCaption;
    case SM_CXSIZE:
    case SM_CYSIZE: return kCaption - 1;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return kCaption + 2 * kSizeFrame;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) return FALSE;
  const FrameInsets insets = FrameInsetsFor(style, exStyle);
  rect->left -= insets.left;
  rect->top -= insets.top;
  rect->right += insets.right;
  rect->bottom += insets.bottom;
  return TRUE;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->right <= rect->left || rect->bottom <= rect->top; }

BOOL PtInRect(const RECT* rect, POINT p) {
  return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

BOOL OffsetRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = RECT{rect->left + dx, rect->top + dy, rect->right + dx, rect->bottom + dy};
  return TRUE;
}

BOOL InflateRect(RECT* rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = RECT{rect->left - dx, rect->top - dy, rect->right + dx, rect->bottom + dy};
  return TRUE;
}

BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  const RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
               std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *out = RECT{};
    return FALSE;
  }
  *out = r;
  return TRUE;
}

BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *out = IsRectEmpty(b) ? RECT{} : *b;
  } else if (IsRectEmpty(b)) {
    *out = *a;
  } else {
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return !IsRectEmpty(out);
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}
