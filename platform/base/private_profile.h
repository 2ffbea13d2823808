// Private-profile (ini) files, read and written as the platform does.
//
// Section and key names match without ASCII case; spaces and tabs around names and values do
// not count; a value in matching double or single quotes loses them; lines starting with ';'
// are comments. The file's bytes are kept as they are (GBK); CRLF and LF line ends are read,
// new lines end in CRLF and lines a write does not touch keep their bytes.
//
// Beyond the platform: a write replaces the file atomically (a temporary file beside it, synced,
// then renamed over it), so a failing write leaves the old file as it was and returns FALSE.
// A file over 16 MiB is not loaded: reads give the default and writes fail. A name or value
// that would change the file's structure (a line break in any, ']' in a section name, '=' in a
// key, a key starting with ';' or '[') is refused with ERROR_INVALID_PARAMETER.
#pragma once

#include "platform/base/win_types.h"

// A null section lists every section name, a null key every key of the section: each name
// NUL-terminated, then one more NUL; when they do not fit the list is cut to size - 2 bytes
// plus two NULs and size - 2 is returned. A value or default that does not fit is cut to
// size - 1 bytes plus NUL and size - 1 is returned. A missing file, section or key gives the
// default (null is the empty text) with its trailing spaces removed.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName);

// Creates the file, the section and the key as needed. A null key deletes the whole section, a
// null value deletes the key.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

// The value read as an integer (decimal, or hexadecimal after 0x); a negative value gives 0; a
// missing or empty value gives the default.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);

namespace quorlin::platform {

// The largest ini file that is read or written.
inline constexpr size_t kMaxProfileFileSize = size_t{16} << 20;

}  // namespace quorlin::platform
