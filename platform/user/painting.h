// Painting: update regions, WM_PAINT and the device contexts of windows and of the screen.
//
// Every top-level window owns a surface the size of its rectangle; its children draw into it,
// each clipped to its visible region (see window_layout.h). The screen is composed from the
// surfaces in z-order when a screen device context is taken, when a window device context is
// released and when a window moves; GetDC(0) therefore reads what our windows show.
// Surfaces are locked per drawing operation, so a window may be drawn into from any thread.
#pragma once

#include "platform/base/win_types.h"

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;  // the background still needs erasing (WM_ERASEBKGND returned 0)
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};

inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_INTERNALPAINT = 0x0002;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
inline constexpr UINT RDW_NOFRAME = 0x0800;

// rect null: the whole client area; hwnd 0: every top-level window. Children are included
// when the window has no WS_CLIPCHILDREN.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
// RDW_INVALIDATE, RDW_VALIDATE, RDW_ERASE, RDW_FRAME, RDW_ALLCHILDREN, RDW_NOCHILDREN and
// RDW_UPDATENOW.
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);
// Sends WM_PAINT now to the window and then its descendants, each if it needs painting.
BOOL UpdateWindow(HWND hwnd);
// The bounds of the update region; FALSE when it is empty. erase: WM_ERASEBKGND first.
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);

// WM_NCPAINT if the frame is due, WM_ERASEBKGND if erasing is due, then a device context clipped
// to the update region, which is validated.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);

// The client area, the whole window, or (hwnd 0) the screen; release each with ReleaseDC.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
