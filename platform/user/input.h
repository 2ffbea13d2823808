// Mouse capture, key state and the pointer position.
//
// Mouse messages go to the capture window if there is one, else to the window under the
// pointer (disabled children let the mouse through to their parent; a disabled top-level
// window gets nothing); keyboard messages go to the focus window, else to the active window.
#pragma once

#include "platform/base/win_types.h"

// WM_CAPTURECHANGED to the window that loses the capture. The previous capture window.
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// High bit: down; low bit: toggled (odd number of presses).
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
