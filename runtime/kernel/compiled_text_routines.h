// The small text routines that compiled application code uses on text pointers directly,
// without the command interface.
#pragma once

#include <cstddef>
#include <initializer_list>

namespace quorlin {

// Bytes before the NUL; 0 for null.
size_t TextByteCount(const char* text);

// A new block holding the parts one after another and a NUL; null parts count as empty. The
// block is allocated even when the result is empty (one NUL byte).
char* ConcatTexts(std::initializer_list<const char*> parts);

// Byte-wise unsigned comparison: -1, 0 or 1; null equals the empty text.
int CompareTexts(const char* a, const char* b);

}  // namespace quorlin
