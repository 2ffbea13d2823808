// The core library's text commands. Positions are 1-based byte positions; a double-byte
// character is stepped over as one unit wherever a command walks a text; every empty text
// result is null; results are new blocks owned by the caller.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// (text) → integer: the byte count.
void TextLength(TypedValue* result, int32_t argCount, TypedValue* args);
// (text, count) → text: the first / last min(count, length) bytes.
void TextLeft(TypedValue* result, int32_t argCount, TypedValue* args);
void TextRight(TypedValue* result, int32_t argCount, TypedValue* args);
// (text, start position, count) → text.
void TextMiddle(TypedValue* result, int32_t argCount, TypedValue* args);
// (integer) → a one-byte text of its low byte.
void CharFromCode(TypedValue* result, int32_t argCount, TypedValue* args);
// (text, search text, start position?, ignore case?) → position or -1.
void FindText(TypedValue* result, int32_t argCount, TypedValue* args);
void FindTextReverse(TypedValue* result, int32_t argCount, TypedValue* args);
// (text) → text with ASCII letters changed; double-byte characters kept.
void ToUpperCase(TypedValue* result, int32_t argCount, TypedValue* args);
void ToLowerCase(TypedValue* result, int32_t argCount, TypedValue* args);
// (text) → text without spaces (0x20 and the full-width space) at the start, the end, both
// ends, or anywhere.
void TrimLeadingSpaces(TypedValue* result, int32_t argCount, TypedValue* args);
void TrimTrailingSpaces(TypedValue* result, int32_t argCount, TypedValue* args);
void TrimBoth(TypedValue* result, int32_t argCount, TypedValue* args);
void RemoveAllSpaces(TypedValue* result, int32_t argCount, TypedValue* args);
// (text, find text, replacement?, start position?, replace count?, case-sensitive?) → text.
void ReplaceSubtext(TypedValue* result, int32_t argCount, TypedValue* args);
// (text, delimiter? = ",", maximum count?) → text array.
void SplitText(TypedValue* result, int32_t argCount, TypedValue* args);
// (count) → that many spaces.
void SpaceText(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
