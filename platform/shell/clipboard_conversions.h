// Inside the shell: conversions between the clipboard's formats, and between handles and the
// shell backend's exchange data.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// The bytes of a global memory block (empty for a dead or empty handle).
std::vector<BYTE> BytesOfGlobal(HGLOBAL memory);
// Text of a CF_TEXT / CF_OEMTEXT block up to its first NUL, or of a CF_UNICODETEXT block up
// to its first NUL character; never past the block's end.
std::string NarrowTextOfGlobal(HGLOBAL memory);
std::u16string WideTextOfGlobal(HGLOBAL memory);
HGLOBAL GlobalFromNarrowText(const std::string& text);
HGLOBAL GlobalFromWideText(const std::u16string& text);

// A packed DIB (header, colour table, rows) of 24 bits per pixel, bottom-up, of a bitmap.
std::optional<std::vector<BYTE>> PackedDibOfBitmap(HBITMAP bitmap);
// A device bitmap from a packed DIB, after checking every size in it against the bytes; 0 when
// the DIB is malformed or of a kind we cannot draw.
HBITMAP BitmapFromPackedDib(const BYTE* dib, size_t size);
// A whole BMP file: file header and the packed DIB.
std::vector<BYTE> BmpFileOfPackedDib(const std::vector<BYTE>& dib);

}  // namespace quorlin::platform
