// How the colour picker's button looks: a white face framed with a sunken edge, a drop-down
// arrow on the right and a swatch of the current colour.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::forms {

struct PickerLook {
  COLORREF color = 0;             // the stored colour, possibly the transparent marker
  bool transparentAllowed = false;
  bool droppedDown = false;
  bool enabled = true;
  bool focused = false;
};

// The colour a stored colour stands for in the pop-up and on the swatch: without the
// transparent box the marker is black.
COLORREF EffectiveColor(COLORREF stored, bool transparentAllowed);

// The drop-down arrow's and the swatch's rectangles in a client area.
RECT PickerArrowRect(const RECT& client);
RECT PickerSwatchRect(const RECT& client);

void DrawColorPicker(HDC dc, const RECT& client, const PickerLook& look);

}  // namespace quorlin::forms
