// Timers: WM_TIMER for a window or the thread, or a call of a TIMERPROC from DispatchMessageA.
//
// A timer belongs to the queue of its window's thread (a thread timer to the caller's). An
// expired timer gives one WM_TIMER when the queue is otherwise empty; expiries while it waits
// to be taken do not add more. The next period starts when the timer expires.
#pragma once

#include "platform/base/win_types.h"

using TIMERPROC = void (*)(HWND hwnd, UINT message, UINT_PTR idEvent, DWORD time);

inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
inline constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// hwnd 0 makes a thread timer: idEvent names an existing one of the caller to replace it,
// otherwise a new id is chosen and returned. With a window, a timer of the same id is
// replaced and restarted, and the result is non-zero. The period is limited to
// USER_TIMER_MINIMUM .. USER_TIMER_MAXIMUM milliseconds. 0 on failure.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapseMs, TIMERPROC timerProc);
// A WM_TIMER not yet taken goes with the timer.
BOOL KillTimer(HWND hwnd, UINT_PTR idEvent);
