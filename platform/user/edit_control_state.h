// Inside the EDIT class: the state of one field and the pieces its procedure is made of.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/win_types.h"
#include "platform/user/edit_control_text.h"

namespace quorlin::platform {

struct EditState {
  EditText text;
  char passwordChar = '*';
  int scrollX = 0;      // pixels of the line scrolled out at the left
  size_t firstLine = 0; // the top visible line of a multi-line field
  bool focused = false;
  bool tracking = false;  // a mouse selection holds the capture
  bool modified = false;
  unsigned char pendingLead = 0;  // a lead byte typed alone, waiting for its trail
  int busy = 0;         // procedure calls running on this state
  bool destroyed = false;
};

EditState* EditStateOf(HWND hwnd);
DWORD EditStyle(HWND hwnd);
bool IsMultiLine(HWND hwnd);
bool IsPassword(HWND hwnd, const EditState& state);

// Layout and drawing (edit_control_paint.cpp). Positions are byte offsets into the text.
int EditLineHeight(HWND hwnd);
RECT EditFormatRect(HWND hwnd);
POINT EditPositionPoint(HWND hwnd, const EditState& state, size_t position);
size_t EditPositionFromPoint(HWND hwnd, const EditState& state, POINT point);
// The width of the text as shown: single-line fields only.
int EditTextWidth(HWND hwnd, const EditState& state);
// Scrolls so that the caret is inside the field, repaints when it scrolled and moves the caret.
void EditScrollToCaret(HWND hwnd, EditState& state);
void PaintEdit(HWND hwnd, EditState& state);

// Changes (edit_control.cpp). The user's changes honour ES_READONLY, the limit and the field's
// width; each change notifies EN_UPDATE and EN_CHANGE. false when the window went away
// inside a notification.
bool EditUserReplace(HWND hwnd, EditState& state, std::string_view inserted);
void EditSelectionChanged(HWND hwnd, EditState& state);
// Sends WM_COMMAND with the code to the parent; false when the window is gone afterwards.
bool EditNotify(HWND hwnd, WORD code);

// Input (edit_control_input.cpp).
void EditKeyDown(HWND hwnd, EditState& state, WPARAM key);
void EditCharacter(HWND hwnd, EditState& state, unsigned char c);
void EditMouse(HWND hwnd, EditState& state, UINT message, WPARAM wParam, LPARAM lParam);

// The clipboard (edit_control_clipboard.cpp).
void EditCopy(HWND hwnd, EditState& state);
void EditCut(HWND hwnd, EditState& state);
void EditPaste(HWND hwnd, EditState& state);

}  // namespace quorlin::platform
