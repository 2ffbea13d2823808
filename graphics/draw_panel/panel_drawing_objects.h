// The pen and brush a panel draws with, made from its properties.
#pragma once

#include <cstdint>

#include "platform/base/win_types.h"

namespace quorlin::drawpanel {

// PenType 0 is the alternate style (every other pixel) at width 0; 1..6 solid, dash, dot,
// dash-dot, dash-dot-dot, inside-frame at `width`. 0 when the system refuses it.
HPEN CreatePanelPen(int penType, int width, uint32_t colour);
// BrushType 0 hollow, 1 solid, 2..7 hatched (backward diagonal, cross, diagonal cross,
// forward diagonal, horizontal, vertical), 8..55 the pattern DrawPanelPatterns[type − 8].
HBRUSH CreatePanelBrush(int brushType, uint32_t colour);

}  // namespace quorlin::drawpanel
