// Window geometry: rectangles, positions, z-order and the system metrics of the frame.
//
// A window's rectangle is kept in its parent's client coordinates (screen coordinates for a
// top-level window). Its client area is the rectangle less a non-client frame of fixed metrics
// decided by its styles alone, outside in:
//   WS_THICKFRAME                        4 px each side (SM_CXFRAME), else
//   WS_DLGFRAME or WS_EX_DLGMODALFRAME   3 px each side (SM_CXFIXEDFRAME), else
//   WS_BORDER                            1 px each side (SM_CXBORDER);
//   WS_EX_CLIENTEDGE                     2 px more (SM_CXEDGE), WS_EX_STATICEDGE 1 px more;
//   WS_CAPTION (both bits)               19 px on top (SM_CYCAPTION), 16 for WS_EX_TOOLWINDOW.
// So a captioned fixed-frame window of 586 × 453 has a client area of 580 × 428.
//
// Moving, sizing and showing send WM_WINDOWPOSCHANGING, then WM_WINDOWPOSCHANGED, whose default
// handling sends WM_MOVE (client origin, parent client coordinates) and WM_SIZE (client size).
#pragma once

#include "platform/base/win_types.h"

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOREDRAW = 0x0008;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline constexpr UINT SWP_NOCOPYBITS = 0x0100;
inline constexpr UINT SWP_NOOWNERZORDER = 0x0200;
inline constexpr UINT SWP_NOSENDCHANGING = 0x0400;

inline const HWND HWND_TOP = 0;
inline const HWND HWND_BOTTOM = 1;
inline const HWND HWND_TOPMOST = static_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = static_cast<HWND>(-2);

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CXFIXEDFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYFIXEDFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CXSIZEFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CYSIZEFRAME = 33;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXMINIMIZED = 57;
inline constexpr int SM_CYMINIMIZED = 58;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;

// Moving and sizing. SetWindowPos honours SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER,
// SWP_NOACTIVATE, SWP_FRAMECHANGED (the frame is measured again and redrawn), SWP_SHOWWINDOW
// and SWP_HIDEWINDOW; insertAfter is a sibling, HWND_TOP, HWND_BOTTOM, HWND_TOPMOST or
// HWND_NOTOPMOST (the last two for top-level windows).
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);

// The window's rectangle in screen coordinates; the client area from (0, 0).
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// The deepest visible, enabled-or-not window whose rectangle holds the point, topmost first.
HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);  // client coordinates of parent
// The window rectangle a client rectangle needs for these styles (menus are not supported).
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
int GetSystemMetrics(int index);

// Rectangle helpers of the platform.
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);
