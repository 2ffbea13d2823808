// The application's text routines over the basic commands, and the clipboard copy of a
// picture. Texts are runtime texts in the system code page (null is the empty text); optional
// arguments left out are std::nullopt. Nothing here shows a message or raises an error.
#pragma once

#include <cstdint>
#include <optional>

#include "app/support/runtime_calls.h"

namespace quorlin::app::web {

// The text between the first left marker (at or after start) and the first right marker after
// it; "#引号" in a marker stands for a double quote. Empty when either is missing.
OwnedText TextBetween(const char* text, const char* left, const char* right,
                      std::optional<int32_t> start = std::nullopt, std::optional<bool> ignoreCase = std::nullopt);
// Everything after the last occurrence of key before start (the text's length when left out).
OwnedText TextRightOfLast(const char* text, const char* key, std::optional<int32_t> start = std::nullopt,
                          std::optional<bool> ignoreCase = std::nullopt);
// Trims the spaces at both ends of the variable's text in place and returns a copy.
OwnedText RemoveBlanks(OwnedText& variable);
// Every byte as %XX (upper-case hex); keepPlain leaves - . 0-9 A-Z a-z as they are; asUtf8
// encodes the UTF-8 form of the (GBK) text.
OwnedText UrlEncode(const char* text, std::optional<bool> keepPlain = std::nullopt,
                    std::optional<bool> asUtf8 = std::nullopt);
OwnedText AnsiToUtf8(const char* text);
// UTF-16 code units of the text (terminator included) read in codePage (65001 when left out).
OwnedBytes TextToWideBytes(const char* text, std::optional<int32_t> codePage = std::nullopt);
// The text of UTF-16 code units in codePage (0, the system code page, when left out).
OwnedText WideBytesToText(const void* unitsByteSet, std::optional<int32_t> codePage = std::nullopt);

// Puts the picture (a byte set holding a picture file) on the clipboard as a bitmap.
void CopyPictureToClipboard(const void* pictureBytes);
// The window with the keyboard focus in the foreground window's thread.
uint32_t GetForegroundFocus();

}  // namespace quorlin::app::web
