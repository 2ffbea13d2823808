// The common dialogs: open and save file, font and colour.
//
// Each dialog runs through the shell backend (shell_backend.h) inside the window layer's modal
// loop: the owner is disabled meanwhile, other windows keep painting and timers run. Texts are
// in the system code page. A failure other than the user's cancel is told by
// CommDlgExtendedError; a cancel leaves it 0.
#pragma once

#include <functional>
#include <string>

#include "platform/base/win_types.h"
#include "platform/gdi/gdi_types.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPCFHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;        // pairs "description\0pattern\0" … ending in "\0\0"
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;        // 1-based; 0 counts as 1
  LPSTR lpstrFile;           // the initial name in, the chosen path out
  DWORD nMaxFile;            // the buffer's size in bytes
  LPSTR lpstrFileTitle;      // optional: the chosen name without its folder
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;          // out: where the name starts in lpstrFile
  WORD nFileExtension;       // out: where the extension starts (0 without one)
  LPCSTR lpstrDefExt;        // appended with a dot when the chosen name has no extension
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_SHOWHELP = 0x00000010;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_NODEREFERENCELINKS = 0x00100000;
inline constexpr DWORD OFN_LONGNAMES = 0x00200000;
inline constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct CHOOSEFONTA {
  DWORD lStructSize;
  HWND hwndOwner;
  HDC hDC;
  LOGFONTA* lpLogFont;   // the initial font with CF_INITTOLOGFONTSTRUCT; the chosen one out
  INT iPointSize;        // out: tenths of a point
  DWORD Flags;
  COLORREF rgbColors;    // with CF_EFFECTS: the initial colour in, the chosen out
  LPARAM lCustData;
  LPCFHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  HINSTANCE hInstance;
  LPSTR lpszStyle;
  WORD nFontType;
  WORD reserved;
  INT nSizeMin;
  INT nSizeMax;
};
using LPCHOOSEFONTA = CHOOSEFONTA*;

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_PRINTERFONTS = 0x00000002;
inline constexpr DWORD CF_BOTH = 0x00000003;
inline constexpr DWORD CF_SHOWHELP = 0x00000004;
inline constexpr DWORD CF_ENABLEHOOK = 0x00000008;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_USESTYLE = 0x00000080;
inline constexpr DWORD CF_EFFECTS = 0x00000100;
inline constexpr DWORD CF_APPLY = 0x00000200;
inline constexpr DWORD CF_LIMITSIZE = 0x00002000;
inline constexpr DWORD CF_NOVECTORFONTS = 0x00000800;
inline constexpr DWORD CF_FORCEFONTEXIST = 0x00010000;
inline constexpr DWORD CF_TTONLY = 0x00040000;
inline constexpr DWORD CF_NOSCRIPTSEL = 0x00800000;

inline constexpr WORD SCREEN_FONTTYPE = 0x2000;

struct CHOOSECOLORA {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;      // the initial colour with CC_RGBINIT; the chosen one out
  COLORREF* lpCustColors;  // 16 colours, read and written back
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
};
using LPCHOOSECOLORA = CHOOSECOLORA*;

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;
inline constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
inline constexpr DWORD CC_SHOWHELP = 0x00000008;
inline constexpr DWORD CC_ENABLEHOOK = 0x00000010;
inline constexpr DWORD CC_SOLIDCOLOR = 0x00000080;
inline constexpr DWORD CC_ANYCOLOR = 0x00000100;

inline constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
inline constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
inline constexpr DWORD CDERR_INITIALIZATION = 0x0002;
inline constexpr DWORD CDERR_NOTEMPLATE = 0x0003;
inline constexpr DWORD CDERR_NOHINSTANCE = 0x0004;
inline constexpr DWORD CDERR_LOADSTRFAILURE = 0x0005;
inline constexpr DWORD CDERR_FINDRESFAILURE = 0x0006;
inline constexpr DWORD CDERR_LOADRESFAILURE = 0x0007;
inline constexpr DWORD CDERR_LOCKRESFAILURE = 0x0008;
inline constexpr DWORD CDERR_MEMALLOCFAILURE = 0x0009;
inline constexpr DWORD CDERR_MEMLOCKFAILURE = 0x000A;
inline constexpr DWORD CDERR_NOHOOK = 0x000B;
inline constexpr DWORD CFERR_NOFONTS = 0x2001;
inline constexpr DWORD CFERR_MAXLESSTHANMIN = 0x2002;
inline constexpr DWORD FNERR_SUBCLASSFAILURE = 0x3001;
inline constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// TRUE when the user chose a file. A null or too-small structure gives CDERR_STRUCTSIZE; a
// chosen path that does not fit nMaxFile gives FNERR_BUFFERTOOSMALL with the needed size in
// the first two bytes of lpstrFile (when nMaxFile ≥ 2).
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);
// TRUE when the user chose a font; lpLogFont is required (CDERR_INITIALIZATION otherwise).
BOOL ChooseFontA(LPCHOOSEFONTA cf);
// TRUE when the user chose a colour; lpCustColors is required (CDERR_INITIALIZATION otherwise).
BOOL ChooseColorA(LPCHOOSECOLORA cc);
// The error of the calling thread's last dialog, 0 after success or a cancel.
DWORD CommDlgExtendedError();

namespace quorlin::platform {

enum class DialogKind { Open, Save, Font, Colour };

// "open", "save", "font", "colour".
const char* DialogKindName(DialogKind kind);

// A dialog as it is shown, in UTF-8: the filter as "description|pattern|…" (empty for a font
// or colour dialog) and the initial value (the file name, the face, or the colour as RRGGBB).
struct ShownDialog {
  DialogKind kind;
  std::string filter;
  std::string initial;
};

// Called for every dialog shown, before the backend is asked. Null removes the observer.
using DialogObserver = std::function<void(const ShownDialog&)>;
void SetDialogObserver(DialogObserver observer);

}  // namespace quorlin::platform
