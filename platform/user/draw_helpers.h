// Drawing helpers of the window layer: 3-D edges, focus rectangles, formatted text and the
// frame controls, drawn in the classic scheme of GetSysColor.
#pragma once

#include "platform/base/win_types.h"

// DrawEdge: borders (outer and inner, raised or sunken) and the sides to draw.
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_MIDDLE = 0x0800;   // fill the inside with the button face
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;   // shrink the rectangle by what was drawn
inline constexpr UINT BF_FLAT = 0x4000;     // one shadow-coloured line instead of 3-D
inline constexpr UINT BF_MONO = 0x8000;     // one frame-coloured line instead of 3-D

inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;  // DT_VCENTER and DT_BOTTOM need DT_SINGLELINE
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;

inline constexpr UINT DFC_CAPTION = 1;
inline constexpr UINT DFC_MENU = 2;
inline constexpr UINT DFC_SCROLL = 3;
inline constexpr UINT DFC_BUTTON = 4;
inline constexpr UINT DFCS_SCROLLUP = 0x0000;
inline constexpr UINT DFCS_SCROLLDOWN = 0x0001;
inline constexpr UINT DFCS_SCROLLLEFT = 0x0002;
inline constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
inline constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
inline constexpr UINT DFCS_BUTTONCHECK = 0x0000;
inline constexpr UINT DFCS_BUTTONPUSH = 0x0010;
inline constexpr UINT DFCS_INACTIVE = 0x0100;
inline constexpr UINT DFCS_PUSHED = 0x0200;
inline constexpr UINT DFCS_CHECKED = 0x0400;
inline constexpr UINT DFCS_FLAT = 0x4000;

// Raised borders are light at the top left and dark at the bottom right, sunken ones the other
// way; the bottom and right lines own the two corners they share with the top and left.
BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags);
// Inverts every other pixel of the rectangle's outline: drawing it twice removes it.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);
// Lines break at '\n' (a preceding '\r' is dropped) unless DT_SINGLELINE; DT_WORDBREAK also
// breaks at spaces and between double-byte characters, never inside one. Without DT_NOPREFIX
// "&x" underlines x and "&&" is a single '&'. DT_CALCRECT only measures: right and bottom are
// set to fit the text. Returns the height of the text.
int DrawTextA(HDC hdc, LPCSTR text, int length, RECT* rect, UINT format);
// DFC_SCROLL: an arrow button (DFCS_SCROLLUP … DFCS_SCROLLCOMBOBOX); DFC_BUTTON with
// DFCS_BUTTONCHECK: a check box; DFC_BUTTON with DFCS_BUTTONPUSH: a push button face.
BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state);
