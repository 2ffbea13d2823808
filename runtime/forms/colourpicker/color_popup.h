// ColorPopup: the colour picker's pop-up palette. A topmost pop-up window in screen coordinates
// that holds the mouse capture and the focus while it is open; it tells the notify window
// kSelectionChanged while the pointer or the arrow keys move over it, and once kChoiceConfirmed
// or kChoiceCancelled with the resulting colour, after it has destroyed itself.
#pragma once

#include "platform/base/win_types.h"
#include "runtime/forms/colourpicker/popup_layout.h"

namespace quorlin::forms {

inline constexpr char kColorPopupClass[] = "QuorlinColorPopup";

struct ColorPopupRequest {
  COLORREF color = 0;      // the opening colour
  bool transparent = false;  // offer the transparent box
  HWND notify = 0;         // the picker
  HWND owner = 0;          // the picker's top-level window
  POINT origin{};          // the wanted top-left corner, screen coordinates
};

// The pop-up's state, for whoever holds its window.
struct ColorPopupState {
  int currentCell = kNoCell;
  int chosenCell = kNoCell;
  COLORREF openingColor = 0;
  COLORREF resultColor = 0;
  PopupLayout layout;
};

// Creates and shows the pop-up; 0 when its window cannot be made.
HWND OpenColorPopup(const ColorPopupRequest& request);
// Destroys an open pop-up without telling its notify window.
void DismissColorPopup(HWND popup);
// The state of an open pop-up window; false for any other window.
bool ColorPopupStateOf(HWND popup, ColorPopupState& state);

}  // namespace quorlin::forms
