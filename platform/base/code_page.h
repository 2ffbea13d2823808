// Code-page conversions between the system's multi-byte code page and UTF-16.
//
// The system code page (CP_ACP, and also CP_OEMCP and CP_THREAD_ACP) is GBK, 936. Code pages 936
// and 65001 (UTF-8) are supported; any other fails with ERROR_INVALID_PARAMETER. A length of -1
// means a NUL-terminated input whose terminator is converted and counted; an output size of 0
// asks for the size needed; too small a buffer fails with ERROR_INSUFFICIENT_BUFFER and returns
// 0, leaving the buffer untouched. Characters beyond the BMP become surrogate pairs.
//
// Undecodable input becomes U+003F for GBK and U+FFFD for UTF-8 unless MB_ERR_INVALID_CHARS is
// given, which makes the call fail with ERROR_NO_UNICODE_TRANSLATION. Characters GBK lacks
// become the default character ('?' or the caller's), and *usedDefaultChar tells so; a lone
// surrogate becomes U+FFFD in UTF-8 unless WC_ERR_INVALID_CHARS is given.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/win_types.h"

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_GBK = 936;
inline constexpr UINT CP_UTF8 = 65001;

inline constexpr DWORD MB_PRECOMPOSED = 0x00000001;
inline constexpr DWORD MB_COMPOSITE = 0x00000002;
inline constexpr DWORD MB_USEGLYPHCHARS = 0x00000004;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

inline constexpr DWORD WC_DISCARDNS = 0x00000010;
inline constexpr DWORD WC_SEPCHARS = 0x00000020;
inline constexpr DWORD WC_DEFAULTCHAR = 0x00000040;
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x00000080;
inline constexpr DWORD WC_COMPOSITECHECK = 0x00000200;
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x00000400;

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength,
                        LPWSTR wide, int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int multiByteLength, LPCSTR defaultChar, BOOL* usedDefaultChar);
UINT GetACP();
UINT GetOEMCP();

namespace quorlin::platform {

// Lenient conversions (undecodable or unmappable characters become '?' in GBK, U+003F from
// GBK, U+FFFD from UTF-8). Pure ASCII is copied without calling into iconv.
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
// The strict form: false (and gbk unspecified) when the text is not UTF-8 or holds a character
// GBK lacks.
bool Utf8ToGbkExactly(std::string_view utf8, std::string& gbk);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);

// Opens the calling thread's conversion descriptors now rather than at its first conversion.
// Each thread's are closed when it ends, and registering that waits while another thread loads
// a library: a thread about to start such a load makes its own first.
void OpenThreadConversions();

}  // namespace quorlin::platform
