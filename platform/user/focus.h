// Keyboard focus, the active window and the foreground window.
//
// Focus and active window belong to a thread's input state; AttachThreadInput lets two
// threads share one, so that GetFocus on one of them answers the other's focus window.
// Activating a top-level window makes it the foreground window.
#pragma once

#include "platform/base/win_types.h"

// WM_KILLFOCUS to the old focus window, WM_SETFOCUS to the new; the window's top-level window
// is activated first. 0 clears the focus. The previous focus window, or 0 on failure (a
// window of a thread whose input is not attached to the caller's).
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// WM_ACTIVATE (WA_INACTIVE) to the old active window, WM_ACTIVATE (WA_ACTIVE) to the new.
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);
// Joins (attach TRUE) or separates the input states of two threads with message queues.
BOOL AttachThreadInput(DWORD idAttach, DWORD idAttachTo, BOOL attach);
