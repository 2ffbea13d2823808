// MessageBoxA. On the headless display a box is one line on standard error,
//   msgbox <caption> | <text>
// in UTF-8, with CR and LF inside the texts written as \r and \n, and the answer is the id of
// the box's first button unless code queued another; the box is also drawn as a window of ours
// while the window layer's modal loop runs (owner disabled, other windows painting). A desktop
// display installs a presenter that shows native boxes.
#pragma once

#include <functional>
#include <string>

#include "platform/base/win_types.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_USERICON = 0x00000080;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFBUTTON4 = 0x00000300;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_HELP = 0x00004000;
inline constexpr UINT MB_NOFOCUS = 0x00008000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_DEFAULT_DESKTOP_ONLY = 0x00020000;
inline constexpr UINT MB_TOPMOST = 0x00040000;
inline constexpr UINT MB_RIGHT = 0x00080000;
inline constexpr UINT MB_RTLREADING = 0x00100000;
inline constexpr UINT MB_SERVICE_NOTIFICATION = 0x00200000;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_MODEMASK = 0x00003000;
inline constexpr UINT MB_MISCMASK = 0x0000C000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDCLOSE = 8;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// Texts are in the system code page; a null caption is "错误". 0 for an unknown button set.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

namespace quorlin::platform {

// Shows a box and returns the button chosen; the window layer puts a real one here.
using MessageBoxPresenter = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Null restores the standard-error line. Returns the previous presenter.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// The id of the first button of a box of this type, 0 for an unknown button set.
int FirstButtonOf(UINT type);
// Whether a box of this type has a button answering with that id.
bool BoxOffersAnswer(UINT type, int answer);

// Answers for the next boxes of the standard presenter, in order; an answer the box does not
// offer gives its first button. Thread safe.
void QueueMessageBoxAnswer(int answer);
void ClearMessageBoxAnswers();

// Every box shown, whichever presenter showed it, after it was answered. Texts in UTF-8.
struct ShownMessageBox {
  HWND owner;
  std::string caption;
  std::string text;
  UINT type;
  int answer;
};
using MessageBoxObserver = std::function<void(const ShownMessageBox&)>;
// Null removes the observer.
void SetMessageBoxObserver(MessageBoxObserver observer);

}  // namespace quorlin::platform
