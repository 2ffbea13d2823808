// The border styles a picture box (and a draw panel) chooses from.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::pictures {

// 0 none, 1 sunken client edge, 2 dialog-modal frame, 3 static edge, 4 client edge and
// dialog-modal frame, 5 one-pixel window border. The other decorations are removed first; the
// window is neither moved, sized, reordered nor activated.
inline constexpr int kMaxBorderStyle = 5;
void ApplyBorderStyle(HWND window, int style);

}  // namespace quorlin::pictures
