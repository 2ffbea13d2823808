// The COMBOBOX class: a list of GBK texts with a current item, shown in a closed box with a
// drop button; the list opens in a pop-up window of its own below the box (above it when the
// screen has no room below).
//
// The height a combo box is created or sized with includes its list: the box itself keeps the
// height of its field (item height + 6) and the rest bounds the opened list. CBS_DROPDOWNLIST
// shows the current item in the box; CBS_DROPDOWN (and CBS_SIMPLE, treated alike) has an EDIT
// child there instead. Colours of the field and list come from the parent's WM_CTLCOLORLISTBOX.
//
// Notifications through WM_COMMAND: CBN_SELCHANGE for the user's choices only (the list, the
// arrow keys; never CB_SETCURSEL), CBN_DROPDOWN before the list opens, on closing CBN_SELENDOK
// (a choice) or CBN_SELENDCANCEL, then CBN_CLOSEUP, then CBN_SELCHANGE when the choice changed
// the current item; CBN_SETFOCUS / CBN_KILLFOCUS; CBN_EDITUPDATE / CBN_EDITCHANGE for the edit.
#pragma once

#include "platform/base/win_types.h"

inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_TYPEMASK = 0x0003;
inline constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
inline constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_OEMCONVERT = 0x0080;
inline constexpr DWORD CBS_SORT = 0x0100;  // CB_ADDSTRING keeps the list sorted, without case
inline constexpr DWORD CBS_HASSTRINGS = 0x0200;
inline constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
inline constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;
inline constexpr DWORD CBS_UPPERCASE = 0x2000;
inline constexpr DWORD CBS_LOWERCASE = 0x4000;

inline constexpr LRESULT CB_OKAY = 0;
inline constexpr LRESULT CB_ERR = -1;
inline constexpr LRESULT CB_ERRSPACE = -2;

inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_LIMITTEXT = 0x0141;
inline constexpr UINT CB_SETEDITSEL = 0x0142;
inline constexpr UINT CB_ADDSTRING = 0x0143;        // lParam: text; the new item's index
inline constexpr UINT CB_DELETESTRING = 0x0144;     // the count left, or CB_ERR
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;        // wParam index, lParam buffer (length + 1 bytes)
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;     // wParam index (-1: at the end)
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;       // by prefix, without case, after item wParam
inline constexpr UINT CB_SELECTSTRING = 0x014D;
inline constexpr UINT CB_SETCURSEL = 0x014E;        // -1 or out of range: no current item, CB_ERR
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;  // lParam: RECT*, screen coordinates
inline constexpr UINT CB_SETITEMHEIGHT = 0x0153;    // wParam -1: the field, else the list items
inline constexpr UINT CB_GETITEMHEIGHT = 0x0154;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;  // whole text, without case, after item wParam

inline constexpr WORD CBN_ERRSPACE = 0xFFFF;
inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_EDITUPDATE = 6;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;
inline constexpr WORD CBN_SELENDOK = 9;
inline constexpr WORD CBN_SELENDCANCEL = 10;

namespace quorlin::platform {

void RegisterComboBoxClass();

}  // namespace quorlin::platform
