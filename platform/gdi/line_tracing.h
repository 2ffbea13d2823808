// Pixels of lines as the platform draws them: one pixel per step of the major axis, the end
// point excluded.
#pragma once

#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform::gdi {

// Appends the pixels from a towards b (b itself excluded). Only pixels inside `limit` (widened
// by one pixel) need to be exact; a very long line is cut to that area first.
void TraceLine(POINT a, POINT b, const RECT& limit, std::vector<POINT>* out);

// The on/off run lengths of a cosmetic pen style, or empty for solid lines.
std::vector<int> PenDashes(int style);

}  // namespace quorlin::platform::gdi
