// The clipboard: one per process, shared by all threads, exchanged with other programs through
// the shell backend (shell_backend.h).
//
// Ownership: after SetClipboardData the handle belongs to the clipboard; EmptyClipboard (or the
// next SetClipboardData of the same format) frees it, and the caller must not free it. Handles
// GetClipboardData returns belong to the clipboard as well.
//
// Formats made from one another on demand: CF_TEXT, CF_OEMTEXT and CF_UNICODETEXT (the system
// and OEM code page are both GBK); CF_BITMAP and CF_DIB. Data is global memory
// (global_memory.h), CF_BITMAP a bitmap handle. SetClipboardData with null data promises the
// format: GetClipboardData then sends WM_RENDERFORMAT to the owner, which sets it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

inline constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_METAFILEPICT = 3;
inline constexpr UINT CF_SYLK = 4;
inline constexpr UINT CF_DIF = 5;
inline constexpr UINT CF_TIFF = 6;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_PALETTE = 9;
inline constexpr UINT CF_PENDATA = 10;
inline constexpr UINT CF_RIFF = 11;
inline constexpr UINT CF_WAVE = 12;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_ENHMETAFILE = 14;
inline constexpr UINT CF_HDROP = 15;
inline constexpr UINT CF_LOCALE = 16;
inline constexpr UINT CF_DIBV5 = 17;
inline constexpr UINT CF_PRIVATEFIRST = 0x0200;
inline constexpr UINT CF_PRIVATELAST = 0x02FF;
inline constexpr UINT CF_GDIOBJFIRST = 0x0300;
inline constexpr UINT CF_GDIOBJLAST = 0x03FF;

// Opened for a window (or 0: for the calling thread only). FALSE while another thread has it
// open (ERROR_ACCESS_DENIED); opening it again on the same thread succeeds.
BOOL OpenClipboard(HWND newOwner);
// FALSE when the calling thread does not have it open (ERROR_CLIPBOARD_NOT_OPEN).
BOOL CloseClipboard();
// Frees every handle and makes the window given to OpenClipboard the owner.
BOOL EmptyClipboard();
// The handle given, or null on failure (clipboard not open by this thread, format 0, or a handle
// that is not a live bitmap for CF_BITMAP or global memory otherwise); after a failure the
// handle is still the caller's.
HANDLE SetClipboardData(UINT format, HANDLE data);
// Null when the format is not there (or cannot be made) or the clipboard is not open.
HANDLE GetClipboardData(UINT format);
// Needs no open clipboard.
BOOL IsClipboardFormatAvailable(UINT format);
// The format after `format` (0: the first) in the order they were set, then those that can be
// made from them; 0 at the end. Needs the clipboard open.
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Increases every time the clipboard's content changes.
DWORD GetClipboardSequenceNumber();

// Ids from 0xC000; the same name (without case) always gives the same id. 0 for an empty name.
UINT RegisterClipboardFormatA(LPCSTR name);
// Copies the name of a registered format (at most maxCount - 1 bytes and a NUL); the length
// copied, 0 for a format that is not registered.
int GetClipboardFormatNameA(UINT format, LPSTR name, int maxCount);

namespace quorlin::platform {

// The registered format of that name, or 0 when it was never registered.
UINT FindClipboardFormat(const std::string& name);
// The registered name of a format (system code page), or nothing.
std::optional<std::string> ClipboardFormatName(UINT format);

// The clipboard as code reads it, without opening it (tests, the scenario player).
// The text as CF_TEXT would give it (GBK, without the NUL).
std::optional<std::string> ClipboardText();
// The bitmap (CF_BITMAP or CF_DIB) as a whole 24-bit BMP file.
std::optional<std::vector<BYTE>> ClipboardBitmapAsBmp();
// Empties the clipboard and closes it, whoever had it open (test set-up).
void ResetClipboard();

}  // namespace quorlin::platform
