// Inside the COMBOBOX class: the state of one combo box and the pieces of its procedure.
#pragma once

#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

struct ComboItem {
  std::string text;
  LPARAM data = 0;
};

struct ComboState {
  std::vector<ComboItem> items;
  int selected = -1;
  int fieldHeight = 0;  // 0: from the font
  int itemHeight = 0;   // 0: from the font
  int dropHeight = 0;   // the height the window was given, list included
  HWND list = 0;        // the pop-up, while the list is open
  int hot = -1;         // the highlighted item of the open list
  int top = 0;          // the first item the open list shows
  HWND edit = 0;        // the field of CBS_DROPDOWN
  bool focused = false;
  int busy = 0;
  bool destroyed = false;
};

ComboState* ComboStateOf(HWND combo);
bool HasEditField(HWND combo);
// Heights in pixels.
int ComboItemHeight(HWND combo, const ComboState& state);
int ComboFieldHeight(HWND combo, const ComboState& state);
int ComboBoxHeight(HWND combo, const ComboState& state);
RECT ComboButtonRect(HWND combo);
// WM_COMMAND with the code to the parent; false when the combo box is gone afterwards.
bool ComboNotify(HWND combo, WORD code);
// The parent's brush (and colours on hdc) for the field and the list.
HBRUSH ComboBrush(HWND combo, HDC hdc);

// The closed box (combo_box_control_paint.cpp).
void PaintComboBox(HWND combo, ComboState& state);

// The list (combo_box_control_list.cpp). Opening sends CBN_DROPDOWN and captures the mouse;
// closing with a choice makes `hot` the current item.
void OpenComboList(HWND combo, ComboState& state);
void CloseComboList(HWND combo, ComboState& state, bool choose);
void InvalidateComboList(const ComboState& state);
// Moves the highlight of the open list, keeping it in view.
void SetComboHot(ComboState& state, int hot);
void RegisterComboListClass();

// Makes `index` the current item as the user's choice: CBN_SELCHANGE when it changed.
bool ComboUserSelect(HWND combo, ComboState& state, int index);

}  // namespace quorlin::platform
