// shlwapi's path text helpers and kernel32's plain text calls. Texts are NUL-terminated
// multi-byte strings; a null text counts as the empty text.
#pragma once

#include "platform/base/win_types.h"

// Removes the leading and trailing spaces of path in place (spaces only, not tabs).
void PathRemoveBlanksA(LPSTR path);

// The byte count of text before its NUL; 0 for null.
int lstrlenA(LPCSTR text);

// Copies at most maxLength - 1 bytes of source and a NUL into destination; returns
// destination, or null when either text is null and maxLength is above 0.
LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength);
