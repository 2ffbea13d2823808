// The caret: one per thread, owned by one window at a time, blinking by a timer of that window.
//
// The owner draws it: a window that owns the caret calls DrawCaret at the end of its WM_PAINT;
// showing, hiding, moving and each blink invalidate the caret's rectangle of the owner.
// A new caret starts hidden (ShowCaret once to show it); HideCaret calls add up.
#pragma once

#include "platform/base/win_types.h"

// bitmap: 0 for a solid caret, 1 for a grey one (drawn solid here); width 0 is one pixel.
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// hwnd 0 stands for the owner; other windows fail.
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
// Client coordinates of the owner.
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT milliseconds);

namespace quorlin::platform {

// Inverts the caret's rectangle when hwnd owns the caret and it is visible and in its "on" phase.
void DrawCaret(HWND hwnd, HDC hdc);

}  // namespace quorlin::platform
