// Cursors: the standard shapes, the current cursor and its show count, and WM_SETCURSOR.
//
// A mouse move or press sends WM_SETCURSOR (window, MAKELPARAM(hit test, message)) to the window
// under the pointer unless a window has the capture; DefWindowProcA asks the parent first, then
// sets the class cursor in the client area (when the class has one) and the arrow elsewhere. The display backend reads the shape to show through CurrentCursorShape.
#pragma once

#include "platform/base/win_types.h"

inline LPCSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(id)); }
inline LPCWSTR MAKEINTRESOURCEW(WORD id) { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id)); }

inline constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

inline const LPCSTR IDC_ARROW = MAKEINTRESOURCEA(32512);
inline const LPCSTR IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline const LPCSTR IDC_WAIT = MAKEINTRESOURCEA(32514);
inline const LPCSTR IDC_CROSS = MAKEINTRESOURCEA(32515);
inline const LPCSTR IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline const LPCSTR IDC_SIZE = MAKEINTRESOURCEA(32640);
inline const LPCSTR IDC_ICON = MAKEINTRESOURCEA(32641);
inline const LPCSTR IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline const LPCSTR IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline const LPCSTR IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline const LPCSTR IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline const LPCSTR IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline const LPCSTR IDC_NO = MAKEINTRESOURCEA(32648);
inline const LPCSTR IDC_HAND = MAKEINTRESOURCEA(32649);
inline const LPCSTR IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline const LPCSTR IDC_HELP = MAKEINTRESOURCEA(32651);

// The standard cursors for instance 0 and an IDC_* id; the same handle every time. Null
// (ERROR_RESOURCE_NAME_NOT_FOUND) for anything else: this layer has no cursor resources.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// The previous cursor. Null hides the cursor.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The new display count; the cursor shows while it is ≥ 0.
int ShowCursor(BOOL show);
BOOL DestroyCursor(HCURSOR cursor);  // standard cursors stay

namespace quorlin::platform {

enum class CursorShape {
  Hidden, Arrow, IBeam, Wait, Cross, UpArrow, SizeAll, SizeNWSE, SizeNESW, SizeWE, SizeNS, No,
  Hand, AppStarting, Help,
};

// What the pointer shows now: Hidden when no cursor is set or the display count is negative.
CursorShape CurrentCursorShape();
// The shape of a cursor handle (Arrow for one that is not a standard cursor).
CursorShape ShapeOfCursor(HCURSOR cursor);

// DefWindowProcA's WM_SETCURSOR.
LRESULT DefaultSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam);

}  // namespace quorlin::platform
