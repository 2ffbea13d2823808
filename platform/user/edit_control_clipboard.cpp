// The EDIT class's clipboard commands: WM_COPY, WM_CUT and WM_PASTE with CF_TEXT.
#include <cstring>
#include <string>

#include "platform/shell/clipboard.h"
#include "platform/shell/global_memory.h"
#include "platform/user/edit_control.h"
#include "platform/user/edit_control_state.h"

namespace quorlin::platform {
namespace {

bool PutText(HWND hwnd, const std::string& text) {
  if (!OpenClipboard(hwnd)) return false;
  EmptyClipboard();
  const HGLOBAL memory = GlobalFromBytes(text.c_str(), text.size() + 1);
  const bool set = memory && SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  return set;
}

std::string TakeText(HWND hwnd) {
  std::string text;
  if (!OpenClipboard(hwnd)) return text;
  if (const HGLOBAL memory = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT))) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(memory))) {
      // The text ends at its NUL, or at the end of the block when a writer left it out.
      text.assign(bytes, strnlen(bytes, GlobalSize(memory)));
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

// A password stays in the field: neither copy nor cut hands it out.
void EditCopy(HWND hwnd, EditState& state) {
  if (!state.text.HasSelection() || IsPassword(hwnd, state)) return;
  PutText(hwnd, state.text.SelectedText());
}

void EditCut(HWND hwnd, EditState& state) {
  if (!state.text.HasSelection() || IsPassword(hwnd, state) || (EditStyle(hwnd) & ES_READONLY)) return;
  if (PutText(hwnd, state.text.SelectedText())) EditUserReplace(hwnd, state, "");
}

void EditPaste(HWND hwnd, EditState& state) {
  if (EditStyle(hwnd) & ES_READONLY) return;
  const std::string text = TakeText(hwnd);
  if (!text.empty()) EditUserReplace(hwnd, state, text);
}

}  // namespace quorlin::platform
