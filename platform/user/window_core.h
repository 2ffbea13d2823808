// Window classes, windows and their procedures, the window tree, and a window's state.
//
// A window belongs to the thread that created it; its procedure always runs on that thread
// (messages from other threads travel through its queue). Handles are looked up safely from
// any thread. Children are kept in z-order, the top first; a new child goes to the bottom,
// a new top-level window to the top.
//
// Creation: WM_NCCREATE (FALSE: WM_NCDESTROY follows and creation fails), WM_CREATE (-1: the
// window is destroyed and creation fails), then, for WS_VISIBLE, ShowWindow(SW_SHOW).
// Destruction: the owned windows first, then WM_DESTROY to the window and, after it, to its
// descendants, then WM_NCDESTROY to the descendants, deepest first, and last to the window;
// the handle is dead afterwards. DestroyWindow of a window already being destroyed does nothing.
#pragma once

#include "platform/base/win_types.h"
#include "platform/user/message_queue.h"
#include "platform/user/user_errors.h"
#include "platform/user/window_styles.h"

using WNDPROC = LRESULT (*)(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
using WNDENUMPROC = BOOL (*)(HWND hwnd, LPARAM lParam);

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};

struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};

// WM_STYLECHANGING / WM_STYLECHANGED's lParam.
struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};

// A class name or window name may be an atom: a value below 0x10000 in place of the pointer.
inline LPCSTR MAKEINTATOM(WORD atom) { return reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(atom)); }

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
inline constexpr HWND HWND_MESSAGE = static_cast<HWND>(-3);  // parent of message-only windows

inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HINSTANCE = -6;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWLP_ID = -12;
inline constexpr int GWL_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int GWL_USERDATA = -21;

inline constexpr int GCLP_MENUNAME = -8;
inline constexpr int GCLP_HBRBACKGROUND = -10;
inline constexpr int GCLP_HCURSOR = -12;
inline constexpr int GCLP_HICON = -14;
inline constexpr int GCLP_HMODULE = -16;
inline constexpr int GCL_CBWNDEXTRA = -18;
inline constexpr int GCL_CBCLSEXTRA = -20;
inline constexpr int GCLP_WNDPROC = -24;
inline constexpr int GCL_STYLE = -26;
inline constexpr int GCLP_HICONSM = -34;
inline constexpr int GCW_ATOM = -32;

inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;
inline constexpr UINT GW_ENABLEDPOPUP = 6;

inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;
inline constexpr UINT GA_ROOTOWNER = 3;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr int SW_FORCEMINIMIZE = 11;

// Classes. Names are matched without case; the module handle is not part of a class's name.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);  // fails while windows of it live
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass);
BOOL GetClassInfoExA(HINSTANCE instance, LPCSTR className, WNDCLASSEXA* windowClass);
int GetClassNameA(HWND hwnd, LPSTR className, int maxCount);
ULONG_PTR GetClassLongPtrA(HWND hwnd, int index);
ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value);

// Windows. The geometry is kept as given (CW_USEDEFAULT included) until the window layer
// places the window.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Only the window's own thread may destroy it.
BOOL DestroyWindow(HWND hwnd);
// WM_NCCREATE keeps the title, WM_CLOSE destroys the window, WM_SETTEXT / WM_GETTEXT /
// WM_GETTEXTLENGTH use the title, WM_PAINT validates, WM_ACTIVATE gives the focus; others 0.
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProcA(WNDPROC previous, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A non-negative index addresses the class's extra window bytes.
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLongA(HWND hwnd, int index);
LONG SetWindowLongA(HWND hwnd, int index, LONG value);

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data);
HANDLE GetPropA(HWND hwnd, LPCSTR name);
HANDLE RemovePropA(HWND hwnd, LPCSTR name);

// Through WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH, on the window's thread.
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount);
int GetWindowTextLengthA(HWND hwnd);

// The tree.
BOOL IsWindow(HWND hwnd);
// The parent of a child window, the owner of a pop-up window, else 0.
HWND GetParent(HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT command);
BOOL IsChild(HWND parent, HWND hwnd);
DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId);
// Top-level windows in z-order; names and classes matched without case.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
// Every descendant, each before its own children; parent 0 means the top-level windows.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam);
BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam);

// State. A window is visible when it and all its ancestors have WS_VISIBLE.
BOOL EnableWindow(HWND hwnd, BOOL enable);  // previous state: non-zero if it was disabled
BOOL IsWindowEnabled(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int command);  // previous state: non-zero if it was visible
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);

#include "platform/user/focus.h"
