// The hook between the queues and painting: a window marked as needing paint gets WM_PAINT
// from GetMessageA / PeekMessageA when nothing else is waiting, again and again until the
// mark is cleared (DefWindowProcA's WM_PAINT clears it, as validating the window would).
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::platform {

void SetWindowNeedsPaint(HWND hwnd, bool needsPaint);
bool WindowNeedsPaint(HWND hwnd);

}  // namespace quorlin::platform
