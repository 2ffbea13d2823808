// The built-in control classes: "STATIC", "BUTTON", "EDIT", "COMBOBOX" and "tooltips_class32".
#pragma once

#include "platform/base/win_types.h"
#include "platform/user/combo_box_control.h"
#include "platform/user/edit_control.h"
#include "platform/user/tooltip_control.h"

inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_TYPEMASK = 0x001F;
inline constexpr DWORD SS_NOPREFIX = 0x0080;
inline constexpr DWORD SS_CENTERIMAGE = 0x0200;  // text: one line, centred vertically

inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_TYPEMASK = 0x000F;

inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr WPARAM BST_UNCHECKED = 0x0000;
inline constexpr WPARAM BST_CHECKED = 0x0001;
inline constexpr LRESULT BST_PUSHED = 0x0004;
inline constexpr LRESULT BST_FOCUS = 0x0008;
inline constexpr WORD BN_CLICKED = 0;

namespace quorlin::platform {

// Registers the control classes; later calls do nothing. Called at platform start.
void RegisterControlClasses();

// Inside the window layer: each class registers itself.
void RegisterStaticClass();
void RegisterButtonClass();

}  // namespace quorlin::platform

namespace quorlin::platform {

// Sets the default text and back colours, asks the parent with `ctlColorMessage`
// (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN …) and returns its brush, or the button face's.
HBRUSH ControlBackground(HWND control, HDC hdc, UINT ctlColorMessage);

// The control's font, kept in its first window word.
HFONT ControlFont(HWND control);
// WM_SETTEXT, WM_SETFONT and WM_GETFONT as every text control of ours answers them (a new text or
// a font set with redraw repaints the control); false for other messages.
bool HandleControlTextMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace quorlin::platform
