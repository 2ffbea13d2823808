// The EDIT class's keyboard and mouse: caret moves, selection with Shift and the mouse,
// editing keys, typed bytes (a double-byte character arrives as its lead, then its trail byte).
#include <string>
#include <utility>

#include "platform/user/edit_control.h"
#include "platform/user/edit_control_state.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

bool Down(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Home and End of the caret's line (of the text with Ctrl).
size_t LineStart(HWND hwnd, const EditState& state, bool wholeText) {
  if (wholeText) return 0;
  for (const EditText::Line& line : state.text.Lines(IsMultiLine(hwnd))) {
    if (state.text.Caret() <= line.end) return line.start;
  }
  return 0;
}

size_t LineEnd(HWND hwnd, const EditState& state, bool wholeText) {
  if (wholeText) return state.text.Size();
  for (const EditText::Line& line : state.text.Lines(IsMultiLine(hwnd))) {
    if (state.text.Caret() <= line.end) return line.end;
  }
  return state.text.Size();
}

// The position one line up or down, at the caret's x.
size_t VerticalMove(HWND hwnd, const EditState& state, int lines) {
  POINT point = EditPositionPoint(hwnd, state, state.text.Caret());
  point.y += lines * EditLineHeight(hwnd);
  if (point.y < EditFormatRect(hwnd).top && state.firstLine == 0) return state.text.Caret();
  return EditPositionFromPoint(hwnd, state, point);
}

void Move(HWND hwnd, EditState& state, size_t caret, bool extend) {
  state.text.MoveCaret(caret, extend);
  EditSelectionChanged(hwnd, state);
}

// Left and Right without Shift collapse a selection to its near end.
void Horizontal(HWND hwnd, EditState& state, bool right, bool shift, bool control) {
  if (!shift && !control && state.text.HasSelection()) {
    Move(hwnd, state, right ? state.text.SelectionEnd() : state.text.SelectionStart(), false);
    return;
  }
  const size_t caret = state.text.Caret();
  size_t target;
  if (control) target = right ? state.text.NextWord(caret) : state.text.PreviousWord(caret);
  else target = right ? state.text.Next(caret) : state.text.Previous(caret);
  Move(hwnd, state, target, shift);
}

void DeleteForward(HWND hwnd, EditState& state) {
  if (!state.text.HasSelection()) {
    if (state.text.Caret() >= state.text.Size()) return;
    if (EditStyle(hwnd) & ES_READONLY) return;
    state.text.Select(state.text.Caret(), state.text.Next(state.text.Caret()));
  }
  EditUserReplace(hwnd, state, "");
}

void DeleteBackward(HWND hwnd, EditState& state) {
  if (!state.text.HasSelection()) {
    if (state.text.Caret() == 0) return;
    if (EditStyle(hwnd) & ES_READONLY) return;
    state.text.Select(state.text.Caret(), state.text.Previous(state.text.Caret()));
  }
  EditUserReplace(hwnd, state, "");
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

void EditKeyDown(HWND hwnd, EditState& state, WPARAM key) {
  const bool shift = Down(VK_SHIFT);
  const bool control = Down(VK_CONTROL);
  switch (static_cast<int>(key)) {
    case VK_LEFT: Horizontal(hwnd, state, false, shift, control); return;
    case VK_RIGHT: Horizontal(hwnd, state, true, shift, control); return;
    case VK_HOME: Move(hwnd, state, LineStart(hwnd, state, control), shift); return;
    case VK_END: Move(hwnd, state, LineEnd(hwnd, state, control), shift); return;
    case VK_UP:
    case VK_DOWN:
      if (IsMultiLine(hwnd)) Move(hwnd, state, VerticalMove(hwnd, state, key == VK_UP ? -1 : 1), shift);
      return;
    case VK_DELETE:
      if (shift) EditCut(hwnd, state);
      else DeleteForward(hwnd, state);
      return;
    case VK_INSERT:
      if (control) EditCopy(hwnd, state);
      else if (shift) EditPaste(hwnd, state);
      return;
    default: break;
  }
  if (!control || Down(VK_MENU)) return;
  switch (static_cast<int>(key)) {
    case 'A':
      state.text.Select(0, state.text.Size());
      EditSelectionChanged(hwnd, state);
      return;
    case 'C': EditCopy(hwnd, state); return;
    case 'X': EditCut(hwnd, state); return;
    case 'V': EditPaste(hwnd, state); return;
    default: return;
  }
}

void EditCharacter(HWND hwnd, EditState& state, unsigned char c) {
  if (state.pendingLead) {
    const unsigned char lead = std::exchange(state.pendingLead, 0);
    if (IsGbkTrailByte(c)) {
      if (EditStyle(hwnd) & ES_NUMBER) return;
      const char character[2] = {static_cast<char>(lead), static_cast<char>(c)};
      EditUserReplace(hwnd, state, std::string_view(character, 2));
      return;
    }
    // Not a trail byte: the lone lead byte is dropped and c stands on its own.
  }
  // Ctrl with a letter is a shortcut, already handled as a key (Ctrl+Alt gives real characters).
  if (c >= 0x20 && c < 0x80 && Down(VK_CONTROL) && !Down(VK_MENU)) return;
  if (c == '\b') {
    DeleteBackward(hwnd, state);
    return;
  }
  if (c == '\r') {
    if (IsMultiLine(hwnd)) EditUserReplace(hwnd, state, "\r\n");
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  if (IsGbkLeadByte(c)) {
    state.pendingLead = c;
    return;
  }
  if ((EditStyle(hwnd) & ES_NUMBER) && (c < '0' || c > '9')) return;
  const char character = static_cast<char>(c);
  EditUserReplace(hwnd, state, std::string_view(&character, 1));
}

void EditMouse(HWND hwnd, EditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      if (!IsWindow(hwnd) || EditStateOf(hwnd) != &state) return;
      const size_t position = EditPositionFromPoint(hwnd, state, PointOf(lParam));
      Move(hwnd, state, position, (wParam & MK_SHIFT) != 0);
      state.tracking = true;
      SetCapture(hwnd);
      return;
    }
    case WM_LBUTTONDBLCLK: {
      size_t start = 0;
      size_t end = 0;
      state.text.WordAround(EditPositionFromPoint(hwnd, state, PointOf(lParam)), start, end);
      state.text.Select(start, end);
      EditSelectionChanged(hwnd, state);
      state.tracking = true;
      SetCapture(hwnd);
      return;
    }
    case WM_MOUSEMOVE:
      if (state.tracking) Move(hwnd, state, EditPositionFromPoint(hwnd, state, PointOf(lParam)), true);
      return;
    case WM_LBUTTONUP:
      if (state.tracking) {
        state.tracking = false;
        ReleaseCapture();
      }
      return;
    case WM_CAPTURECHANGED: state.tracking = false; return;
    default: return;
  }
}

}  // namespace quorlin::platform
