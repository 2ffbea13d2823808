// The tooltip class ("tooltips_class32"): a small topmost pop-up with the info-background
// colour that shows a tool's text near the pointer after the initial delay, and goes away when
// the pointer leaves the tool, on a click, or after the auto-pop delay.
//
// A tool is a whole window (TTF_IDISHWND: uId is its handle) or a rectangle of hwnd's client
// area named by uId. With TTF_SUBCLASS the tooltip subclasses the tool's window to see its
// mouse messages; otherwise the owner passes them on with TTM_RELAYEVENT. Text is copied; with
// LPSTR_TEXTCALLBACKA it is asked for with WM_NOTIFY / TTN_GETDISPINFOA when the tip shows.
#pragma once

#include "platform/base/win_types.h"
#include "platform/user/messages.h"

inline constexpr char TOOLTIPS_CLASSA[] = "tooltips_class32";

inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_CENTERTIP = 0x0002;
inline constexpr UINT TTF_RTLREADING = 0x0004;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
inline constexpr UINT TTF_TRACK = 0x0020;
inline constexpr UINT TTF_ABSOLUTE = 0x0080;
inline constexpr UINT TTF_TRANSPARENT = 0x0100;

inline constexpr WPARAM TTDT_AUTOMATIC = 0;  // lParam: the initial delay; the others follow from it
inline constexpr WPARAM TTDT_RESHOW = 1;
inline constexpr WPARAM TTDT_AUTOPOP = 2;
inline constexpr WPARAM TTDT_INITIAL = 3;

inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOLA = WM_USER + 4;
inline constexpr UINT TTM_DELTOOLA = WM_USER + 5;
inline constexpr UINT TTM_NEWTOOLRECTA = WM_USER + 6;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;  // lParam: MSG* of a mouse message of a tool window
inline constexpr UINT TTM_GETTEXTA = WM_USER + 11;   // wParam: buffer size (0: 80 bytes)
inline constexpr UINT TTM_UPDATETIPTEXTA = WM_USER + 12;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
inline constexpr UINT TTM_SETTIPBKCOLOR = WM_USER + 19;
inline constexpr UINT TTM_SETTIPTEXTCOLOR = WM_USER + 20;
inline constexpr UINT TTM_GETDELAYTIME = WM_USER + 21;
inline constexpr UINT TTM_GETTIPBKCOLOR = WM_USER + 22;
inline constexpr UINT TTM_GETTIPTEXTCOLOR = WM_USER + 23;
inline constexpr UINT TTM_SETMAXTIPWIDTH = WM_USER + 24;  // lParam: pixels, -1 for none; the old width
inline constexpr UINT TTM_GETMAXTIPWIDTH = WM_USER + 25;
inline constexpr UINT TTM_POP = WM_USER + 28;

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

struct TOOLINFOA {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPSTR lpszText;
  LPARAM lParam;
  void* lpReserved;
};
using TTTOOLINFOA = TOOLINFOA;

inline const LPSTR LPSTR_TEXTCALLBACKA = reinterpret_cast<LPSTR>(static_cast<intptr_t>(-1));

inline constexpr UINT TTN_FIRST = 0u - 520u;
inline constexpr UINT TTN_GETDISPINFOA = TTN_FIRST - 0;

struct NMTTDISPINFOA {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

namespace quorlin::platform {

void RegisterTooltipClass();

}  // namespace quorlin::platform
