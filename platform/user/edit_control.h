// The EDIT class: a single-line (or simple multi-line) text field of GBK text.
//
// Positions are byte offsets; a double-byte character (lead and trail byte) and a "\r\n" pair
// are one character, so the caret and selection ends never fall inside one. A lone lead byte
// typed through WM_CHAR waits for its trail byte. Changes notify the parent through WM_COMMAND:
// EN_UPDATE, then EN_CHANGE, after every change of the text by the user or by the program
// (WM_SETTEXT, EM_REPLACESEL); EN_MAXTEXT when typed or replaced text was cut at the limit.
// The limit (default 32767 bytes) holds for typing, pasting and EM_REPLACESEL, not for
// WM_SETTEXT. Colours come from the parent's WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC for a
// read-only or disabled field (whose default background is the button face).
#pragma once

#include "platform/base/win_types.h"

inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_UPPERCASE = 0x0008;
inline constexpr DWORD ES_LOWERCASE = 0x0010;
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;  // without it a single line refuses text wider than the field
inline constexpr DWORD ES_NOHIDESEL = 0x0100;
inline constexpr DWORD ES_OEMCONVERT = 0x0400;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;  // typed characters must be digits

inline constexpr UINT EM_GETSEL = 0x00B0;  // wParam, lParam: DWORD* for start and end (may be null)
inline constexpr UINT EM_SETSEL = 0x00B1;  // start -1: no selection; end -1: end of text
inline constexpr UINT EM_GETRECT = 0x00B2;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
inline constexpr UINT EM_GETLINECOUNT = 0x00BA;
inline constexpr UINT EM_LINEINDEX = 0x00BB;
inline constexpr UINT EM_LINELENGTH = 0x00C1;
inline constexpr UINT EM_REPLACESEL = 0x00C2;
inline constexpr UINT EM_LIMITTEXT = 0x00C5;  // 0: the largest limit
inline constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_LINEFROMCHAR = 0x00C9;
inline constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;  // 0: show the text
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
inline constexpr UINT EM_SETREADONLY = 0x00CF;
inline constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;
inline constexpr UINT EM_POSFROMCHAR = 0x00D6;  // client position of the character's top left
inline constexpr UINT EM_CHARFROMPOS = 0x00D7;  // lParam: client point; low word offset, high word line

inline constexpr WORD EN_SETFOCUS = 0x0100;
inline constexpr WORD EN_KILLFOCUS = 0x0200;
inline constexpr WORD EN_CHANGE = 0x0300;
inline constexpr WORD EN_UPDATE = 0x0400;
inline constexpr WORD EN_ERRSPACE = 0x0500;
inline constexpr WORD EN_MAXTEXT = 0x0501;
inline constexpr WORD EN_HSCROLL = 0x0601;
inline constexpr WORD EN_VSCROLL = 0x0602;

namespace quorlin::platform {

void RegisterEditClass();

}  // namespace quorlin::platform
