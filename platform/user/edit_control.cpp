// The EDIT class's window procedure: its state, messages and notifications.
#include "platform/user/edit_control.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/control_classes.h"
#include "platform/user/cursors.h"
#include "platform/user/edit_control_caret.h"
#include "platform/user/edit_control_state.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

constexpr int kStateSlot = sizeof(LONG_PTR);  // slot 0 holds the font
constexpr size_t kLargestLimit = 0x7FFFFFFE;

std::string CaseOf(HWND hwnd, std::string_view text) {
  const DWORD style = EditStyle(hwnd);
  if (style & ES_UPPERCASE) return GbkToUpper(text);
  if (style & ES_LOWERCASE) return GbkToLower(text);
  return std::string(text);
}

// Keeps the state alive while the procedure runs, even if a notification destroys the window.
class StateUse {
 public:
  explicit StateUse(EditState* state) : state_(state) {
    if (state_) ++state_->busy;
  }
  ~StateUse() {
    if (state_ && --state_->busy == 0 && state_->destroyed) delete state_;
  }
  StateUse(const StateUse&) = delete;
  StateUse& operator=(const StateUse&) = delete;

 private:
  EditState* state_;
};

void Repaint(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

// EN_UPDATE, then EN_CHANGE, after a change of the text.
bool TextChanged(HWND hwnd, EditState& state) {
  EditScrollToCaret(hwnd, state);
  Repaint(hwnd);
  return EditNotify(hwnd, EN_UPDATE) && EditNotify(hwnd, EN_CHANGE);
}

void ProgramReplace(HWND hwnd, EditState& state, std::string_view inserted) {
  const EditText::Change change = state.text.ReplaceSelection(CaseOf(hwnd, inserted), true);
  if (change.truncated && !EditNotify(hwnd, EN_MAXTEXT)) return;
  if (change.changed) TextChanged(hwnd, state);
}

void SetText(HWND hwnd, EditState& state, LPCSTR text) {
  state.text.SetText(CaseOf(hwnd, text ? text : ""));
  state.scrollX = 0;
  state.firstLine = 0;
  state.modified = false;
  TextChanged(hwnd, state);
}

LRESULT CopyText(const EditState& state, size_t capacity, char* buffer) {
  if (!buffer || capacity == 0) return 0;
  const std::string& text = state.text.Text();
  size_t count = std::min(capacity - 1, text.size());
  // A cut never leaves half of a double-byte character behind.
  if (count < text.size()) count = state.text.Snap(count);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<LRESULT>(count);
}

void SetSelection(HWND hwnd, EditState& state, WPARAM wParam, LPARAM lParam) {
  const auto start = static_cast<intptr_t>(static_cast<int32_t>(wParam));
  const auto end = static_cast<intptr_t>(static_cast<int32_t>(lParam));
  const size_t size = state.text.Size();
  if (start < 0) {
    state.text.Select(state.text.Caret(), state.text.Caret());
  } else {
    const size_t anchor = std::min(static_cast<size_t>(start), size);
    const size_t caret = end < 0 ? size : std::min(static_cast<size_t>(end), size);
    state.text.Select(anchor, caret);
  }
  EditSelectionChanged(hwnd, state);
}

LRESULT Selection(const EditState& state, WPARAM wParam, LPARAM lParam) {
  const auto start = static_cast<DWORD>(state.text.SelectionStart());
  const auto end = static_cast<DWORD>(state.text.SelectionEnd());
  if (auto* out = reinterpret_cast<DWORD*>(wParam)) *out = start;
  if (auto* out = reinterpret_cast<DWORD*>(lParam)) *out = end;
  return MAKELONG(static_cast<WORD>(std::min<DWORD>(start, 0xFFFF)), static_cast<WORD>(std::min<DWORD>(end, 0xFFFF)));
}

void SetStyleBit(HWND hwnd, DWORD bit, bool on) {
  const DWORD style = EditStyle(hwnd);
  SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(on ? (style | bit) : (style & ~bit)));
  Repaint(hwnd);
}

void GainFocus(HWND hwnd, EditState& state) {
  state.focused = true;
  CreateCaret(hwnd, 0, 1, EditLineHeight(hwnd));
  EditScrollToCaret(hwnd, state);
  ShowCaret(hwnd);
  Repaint(hwnd);
  EditNotify(hwnd, EN_SETFOCUS);
}

void LoseFocus(HWND hwnd, EditState& state) {
  state.focused = false;
  state.pendingLead = 0;
  DestroyCaret();
  Repaint(hwnd);
  EditNotify(hwnd, EN_KILLFOCUS);
}

LRESULT LineMessage(HWND hwnd, const EditState& state, UINT message, WPARAM wParam) {
  const auto lines = state.text.Lines(IsMultiLine(hwnd));
  const auto lineOfPosition = [&](size_t position) {
    size_t index = 0;
    while (index + 1 < lines.size() && position > lines[index].end) ++index;
    return index;
  };
  const auto requested = static_cast<intptr_t>(static_cast<int32_t>(wParam));
  switch (message) {
    case EM_GETLINECOUNT: return static_cast<LRESULT>(lines.size());
    case EM_LINEINDEX: {
      const size_t index = requested < 0 ? lineOfPosition(state.text.Caret()) : static_cast<size_t>(requested);
      return index < lines.size() ? static_cast<LRESULT>(lines[index].start) : -1;
    }
    case EM_LINEFROMCHAR:
      return static_cast<LRESULT>(lineOfPosition(requested < 0 ? state.text.Caret() : static_cast<size_t>(requested)));
    case EM_LINELENGTH: {
      const EditText::Line& line = lines[lineOfPosition(requested < 0 ? state.text.Caret() : static_cast<size_t>(requested))];
      return static_cast<LRESULT>(line.end - line.start);
    }
    default: return 0;
  }
}

LRESULT HandleMessage(HWND hwnd, EditState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      state.text.SetText(CaseOf(hwnd, create && create->lpszName ? create->lpszName : ""));
      return 0;
    }
    case WM_PAINT: PaintEdit(hwnd, state); return 0;
    case WM_ERASEBKGND: return 1;  // the paint fills the field
    case WM_SETFOCUS: GainFocus(hwnd, state); return 0;
    case WM_KILLFOCUS: LoseFocus(hwnd, state); return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED: Repaint(hwnd); return 0;
    case WM_SIZE: EditScrollToCaret(hwnd, state); Repaint(hwnd); return 0;
    case WM_SETFONT:
      SetWindowLongPtrA(hwnd, 0, static_cast<LONG_PTR>(wParam));
      if (state.focused) {
        CreateCaret(hwnd, 0, 1, EditLineHeight(hwnd));
        ShowCaret(hwnd);
      }
      EditScrollToCaret(hwnd, state);
      if (LOWORD(static_cast<uintptr_t>(lParam))) Repaint(hwnd);
      return 0;
    case WM_GETFONT: return GetWindowLongPtrA(hwnd, 0);
    case WM_SETTEXT: SetText(hwnd, state, reinterpret_cast<LPCSTR>(lParam)); return TRUE;
    case WM_GETTEXT: return CopyText(state, static_cast<size_t>(wParam), reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(state.text.Size());
    case WM_KEYDOWN: EditKeyDown(hwnd, state, wParam); return 0;
    case WM_CHAR: EditCharacter(hwnd, state, static_cast<unsigned char>(wParam & 0xFF)); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: EditMouse(hwnd, state, message, wParam, lParam); return 0;
    case WM_CUT: EditCut(hwnd, state); return 0;
    case WM_COPY: EditCopy(hwnd, state); return 0;
    case WM_PASTE: EditPaste(hwnd, state); return 0;
    case WM_CLEAR:
      if (state.text.HasSelection()) EditUserReplace(hwnd, state, "");
      return 0;
    case EM_GETSEL: return Selection(state, wParam, lParam);
    case EM_SETSEL: SetSelection(hwnd, state, wParam, lParam); return 0;
    case EM_REPLACESEL: ProgramReplace(hwnd, state, lParam ? reinterpret_cast<LPCSTR>(lParam) : ""); return 0;
    case EM_LIMITTEXT: state.text.SetLimit(wParam == 0 ? kLargestLimit : std::min<size_t>(wParam, kLargestLimit)); return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(state.text.Limit());
    case EM_SETREADONLY: SetStyleBit(hwnd, ES_READONLY, wParam != 0); return TRUE;
    case EM_SETPASSWORDCHAR:
      state.passwordChar = static_cast<char>(wParam & 0xFF);
      SetStyleBit(hwnd, ES_PASSWORD, state.passwordChar != 0);
      EditScrollToCaret(hwnd, state);
      return 0;
    case EM_GETPASSWORDCHAR: return (EditStyle(hwnd) & ES_PASSWORD) ? static_cast<unsigned char>(state.passwordChar) : 0;
    case EM_GETMODIFY: return state.modified ? TRUE : FALSE;
    case EM_SETMODIFY: state.modified = wParam != 0; return 0;
    case EM_SCROLLCARET: EditScrollToCaret(hwnd, state); return TRUE;
    case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(state.firstLine);
    case EM_GETRECT:
      if (auto* rect = reinterpret_cast<RECT*>(lParam)) *rect = EditFormatRect(hwnd);
      return 0;
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINEFROMCHAR:
    case EM_LINELENGTH: return LineMessage(hwnd, state, message, wParam);
    case EM_POSFROMCHAR: {
      const auto position = static_cast<size_t>(wParam);
      if (position > state.text.Size()) return -1;
      const POINT point = EditPositionPoint(hwnd, state, position);
      return MAKELONG(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
    }
    case EM_CHARFROMPOS: {
      const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const size_t position = EditPositionFromPoint(hwnd, state, point);
      const LRESULT line = LineMessage(hwnd, state, EM_LINEFROMCHAR, static_cast<WPARAM>(position));
      return MAKELONG(static_cast<WORD>(std::min<size_t>(position, 0xFFFF)), static_cast<WORD>(line));
    }
    case EM_CANUNDO:
    case EM_UNDO:
    case WM_UNDO: return FALSE;
    case EM_EMPTYUNDOBUFFER: return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

LRESULT EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(hwnd, kStateSlot, reinterpret_cast<LONG_PTR>(new EditState));
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  EditState* state = EditStateOf(hwnd);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, kStateSlot, 0);
    if (state) {
      if (state->focused) DestroyCaret();
      state->destroyed = true;
      if (state->busy == 0) delete state;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  if (!state) return DefWindowProcA(hwnd, message, wParam, lParam);
  StateUse use(state);
  return HandleMessage(hwnd, *state, message, wParam, lParam);
}

}  // namespace

EditState* EditStateOf(HWND hwnd) { return reinterpret_cast<EditState*>(GetWindowLongPtrA(hwnd, kStateSlot)); }
DWORD EditStyle(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }
bool IsMultiLine(HWND hwnd) { return (EditStyle(hwnd) & ES_MULTILINE) != 0; }
bool IsPassword(HWND hwnd, const EditState& state) { return (EditStyle(hwnd) & ES_PASSWORD) && state.passwordChar; }

bool EditNotify(HWND hwnd, WORD code) {
  const HWND parent = GetParent(hwnd);
  if (parent && (EditStyle(hwnd) & WS_CHILD)) {
    const WORD id = LOWORD(static_cast<uintptr_t>(GetWindowLongPtrA(hwnd, GWLP_ID)));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), static_cast<LPARAM>(hwnd));
  }
  return IsWindow(hwnd) && EditStateOf(hwnd) != nullptr;
}

void EditSelectionChanged(HWND hwnd, EditState& state) {
  EditScrollToCaret(hwnd, state);
  Repaint(hwnd);
}

bool EditUserReplace(HWND hwnd, EditState& state, std::string_view inserted) {
  if (EditStyle(hwnd) & ES_READONLY) return true;
  std::string text = CaseOf(hwnd, inserted);
  if (!IsMultiLine(hwnd)) {
    // A single line takes what comes before the first line break.
    const size_t lineBreak = text.find_first_of("\r\n");
    if (lineBreak != std::string::npos) text.resize(lineBreak);
  }
  const EditText before = state.text;
  const EditText::Change change = state.text.ReplaceSelection(text, true);
  bool refused = change.truncated;
  if (change.changed && !IsMultiLine(hwnd) && !(EditStyle(hwnd) & ES_AUTOHSCROLL)) {
    const RECT format = EditFormatRect(hwnd);
    if (EditTextWidth(hwnd, state) > format.right - format.left && !text.empty()) {
      state.text = before;  // without ES_AUTOHSCROLL the line may not outgrow the field
      refused = true;
    }
  }
  if (refused && !EditNotify(hwnd, EN_MAXTEXT)) return false;
  if (state.text.Text() == before.Text()) {
    if (state.text.Caret() != before.Caret() || state.text.Anchor() != before.Anchor()) EditSelectionChanged(hwnd, state);
    return true;
  }
  state.modified = true;
  return TextChanged(hwnd, state);
}

void RegisterEditClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
  wc.lpfnWndProc = &EditProc;
  wc.hCursor = LoadCursorA(0, IDC_IBEAM);
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.lpszClassName = "EDIT";
  RegisterClassA(&wc);
}

}  // namespace quorlin::platform
