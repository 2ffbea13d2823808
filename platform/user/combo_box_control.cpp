// The COMBOBOX class's window procedure: items, the current item, sizing, keys and focus.
#include "platform/user/combo_box_control.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/combo_box_control_state.h"
#include "platform/user/control_classes.h"
#include "platform/user/edit_control.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr int kStateSlot = sizeof(LONG_PTR);  // slot 0 holds the font
constexpr int kEditId = 1001;
constexpr int kVkF4 = VK_F1 + 3;
constexpr int kBoxFrame = 6;  // the sunken edge and the field's margin, top and bottom

class StateUse {
 public:
  explicit StateUse(ComboState* state) : state_(state) { ++state_->busy; }
  ~StateUse() {
    if (--state_->busy == 0 && state_->destroyed) delete state_;
  }
  StateUse(const StateUse&) = delete;
  StateUse& operator=(const StateUse&) = delete;

 private:
  ComboState* state_;
};

DWORD StyleOf(HWND combo) { return static_cast<DWORD>(GetWindowLongPtrA(combo, GWL_STYLE)); }

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Without case for ASCII letters; other bytes compare as unsigned values.
int CompareNoCase(const std::string& a, const std::string& b, size_t length = std::string::npos) {
  const size_t n = std::min({a.size(), b.size(), length});
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Fold(a[i]));
    const auto y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (length != std::string::npos && n == length) return 0;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string TextParam(LPARAM lParam) { return lParam ? std::string(reinterpret_cast<LPCSTR>(lParam)) : std::string(); }

int Count(const ComboState& state) { return static_cast<int>(state.items.size()); }

int Find(const ComboState& state, WPARAM after, const std::string& text, bool exact) {
  const int count = Count(state);
  if (count == 0) return static_cast<int>(CB_ERR);
  int start = static_cast<int>(static_cast<int32_t>(after));
  if (start < -1 || start >= count) start = -1;
  for (int step = 1; step <= count; ++step) {
    const int i = (start + step) % count;
    const std::string& item = state.items[static_cast<size_t>(i)].text;
    if (exact ? CompareNoCase(item, text) == 0 : CompareNoCase(item, text, text.size()) == 0) return i;
  }
  return static_cast<int>(CB_ERR);
}

void ShowSelectionInField(HWND combo, ComboState& state) {
  if (state.edit) {
    const std::string text = state.selected >= 0 ? state.items[static_cast<size_t>(state.selected)].text : "";
    SetWindowTextA(state.edit, text.c_str());
    SendMessageA(state.edit, EM_SETSEL, 0, -1);
  }
  InvalidateRect(combo, nullptr, FALSE);
}

void Resize(HWND combo, ComboState& state) {
  RECT rect{};
  GetWindowRect(combo, &rect);
  SetWindowPos(combo, 0, 0, 0, rect.right - rect.left, state.dropHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceEdit(HWND combo, const ComboState& state) {
  if (!state.edit) return;
  RECT client{};
  GetClientRect(combo, &client);
  const RECT button = ComboButtonRect(combo);
  MoveWindow(state.edit, 3, 3, std::max(0, static_cast<int>(button.left) - 4), std::max(0, static_cast<int>(client.bottom) - 6), TRUE);
}

LRESULT Insert(HWND combo, ComboState& state, int index, const std::string& text) {
  if (index < 0 || index > Count(state)) return CB_ERR;
  state.items.insert(state.items.begin() + index, ComboItem{text, 0});
  if (state.selected >= index) ++state.selected;
  InvalidateComboList(state);
  return index;
}

LRESULT Add(HWND combo, ComboState& state, const std::string& text) {
  int index = Count(state);
  if (StyleOf(combo) & CBS_SORT) {
    index = static_cast<int>(std::upper_bound(state.items.begin(), state.items.end(), text,
                                              [](const std::string& t, const ComboItem& item) {
                                                return CompareNoCase(t, item.text) < 0;
                                              }) -
                             state.items.begin());
  }
  return Insert(combo, state, index, text);
}

LRESULT Delete(HWND combo, ComboState& state, int index) {
  if (index < 0 || index >= Count(state)) return CB_ERR;
  state.items.erase(state.items.begin() + index);
  if (state.selected == index) {
    state.selected = -1;
    ShowSelectionInField(combo, state);
  } else if (state.selected > index) {
    --state.selected;
  }
  if (state.hot >= Count(state)) state.hot = Count(state) - 1;
  InvalidateComboList(state);
  return Count(state);
}

LRESULT SetCurrent(HWND combo, ComboState& state, WPARAM wParam) {
  const int index = static_cast<int>(static_cast<int32_t>(wParam));
  state.selected = index >= 0 && index < Count(state) ? index : -1;
  if (state.list) SetComboHot(state, state.selected);
  ShowSelectionInField(combo, state);
  return state.selected >= 0 ? state.selected : CB_ERR;
}

LRESULT CopyItemText(const ComboState& state, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<int32_t>(wParam));
  if (index < 0 || index >= Count(state)) return CB_ERR;
  const std::string& text = state.items[static_cast<size_t>(index)].text;
  if (auto* buffer = reinterpret_cast<char*>(lParam)) std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

LRESULT CopyCurrentText(HWND combo, const ComboState& state, size_t capacity, char* buffer) {
  if (state.edit) return SendMessageA(state.edit, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(buffer));
  if (!buffer || capacity == 0) return 0;
  const std::string text = state.selected >= 0 ? state.items[static_cast<size_t>(state.selected)].text : "";
  const size_t count = std::min(capacity - 1, text.size());
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<LRESULT>(count);
}

void Toggle(HWND combo, ComboState& state) {
  if (state.list) CloseComboList(combo, state, true);
  else OpenComboList(combo, state);
}

// Arrow keys, Home and End: the highlight of the open list, else the current item itself.
bool MoveByKey(HWND combo, ComboState& state, int key) {
  const int count = Count(state);
  if (count == 0) return false;
  const int from = state.list ? state.hot : state.selected;
  const int page = std::max(1, (state.dropHeight - ComboBoxHeight(combo, state)) / ComboItemHeight(combo, state) - 1);
  int to;
  switch (key) {
    case VK_UP: to = from < 0 ? 0 : from - 1; break;
    case VK_DOWN: to = from + 1; break;
    case VK_HOME: to = 0; break;
    case VK_END: to = count - 1; break;
    case VK_PRIOR: to = from - page; break;
    case VK_NEXT: to = from < 0 ? page - 1 : from + page; break;
    default: return false;
  }
  to = std::clamp(to, 0, count - 1);
  if (state.list) SetComboHot(state, to);
  else ComboUserSelect(combo, state, to);
  return true;
}

void KeyDown(HWND combo, ComboState& state, UINT message, WPARAM key) {
  const bool alt = message == WM_SYSKEYDOWN || (GetKeyState(VK_MENU) & 0x8000);
  const int vk = static_cast<int>(key);
  if (vk == kVkF4 || (alt && (vk == VK_DOWN || vk == VK_UP))) {
    Toggle(combo, state);
    return;
  }
  if (message == WM_SYSKEYDOWN) return;
  if (vk == VK_ESCAPE && state.list) CloseComboList(combo, state, false);
  else if (vk == VK_RETURN && state.list) CloseComboList(combo, state, true);
  else MoveByKey(combo, state, vk);
}

// A typed character picks the next item that starts with it.
void Character(HWND combo, ComboState& state, unsigned char c) {
  if (c < 0x20 || state.edit) return;
  const std::string prefix(1, static_cast<char>(c));
  const int found = Find(state, static_cast<WPARAM>(state.list ? state.hot : state.selected), prefix, false);
  if (found < 0) return;
  if (state.list) SetComboHot(state, found);
  else ComboUserSelect(combo, state, found);
}

// The procedure of the EDIT class, which the combo box's own field is subclassed from.
WNDPROC EditClassProc() {
  static const WNDPROC proc = [] {
    WNDCLASSA wc{};
    GetClassInfoA(0, "EDIT", &wc);
    return wc.lpfnWndProc;
  }();
  return proc;
}

// The list keys typed in the edit field work the combo box: F4, Alt+Up/Down and the arrows,
// and Escape or Return while the list is open.
LRESULT ComboEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND combo = GetParent(edit);
  if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && IsWindow(combo)) {
    const int vk = static_cast<int>(wParam);
    const ComboState* state = ComboStateOf(combo);
    const bool listKey = vk == kVkF4 || vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT ||
                         (state && state->list && (vk == VK_ESCAPE || vk == VK_RETURN));
    if (listKey) return SendMessageA(combo, message, wParam, lParam);
  }
  return CallWindowProcA(EditClassProc(), edit, message, wParam, lParam);
}

void CreateEditField(HWND combo, ComboState& state) {
  if (!HasEditField(combo)) return;
  state.edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, combo,
                               static_cast<HMENU>(kEditId), 0, nullptr);
  if (!state.edit || !EditClassProc()) return;
  SetWindowLongPtrA(state.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditProc));
  PlaceEdit(combo, state);
}

// Notifications of the edit field, passed on as the combo box's own.
void EditNotification(HWND combo, ComboState& state, WORD code) {
  switch (code) {
    case EN_SETFOCUS:
      if (!state.focused) {
        state.focused = true;
        ComboNotify(combo, CBN_SETFOCUS);
      }
      return;
    case EN_KILLFOCUS: {
      const HWND focus = GetFocus();
      if (focus == combo) return;
      if (state.list) CloseComboList(combo, state, false);
      if (!IsWindow(combo)) return;
      state.focused = false;
      ComboNotify(combo, CBN_KILLFOCUS);
      return;
    }
    case EN_CHANGE: ComboNotify(combo, CBN_EDITCHANGE); return;
    case EN_UPDATE: ComboNotify(combo, CBN_EDITUPDATE); return;
    default: return;
  }
}

LRESULT HandleMessage(HWND combo, ComboState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      state.dropHeight = create ? create->cy : 0;
      CreateEditField(combo, state);
      Resize(combo, state);
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos && !(pos->flags & SWP_NOSIZE)) {
        state.dropHeight = pos->cy;
        pos->cy = ComboBoxHeight(combo, state);
      }
      return 0;
    }
    case WM_SIZE: PlaceEdit(combo, state); InvalidateRect(combo, nullptr, FALSE); return 0;
    case WM_PAINT: PaintComboBox(combo, state); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_ENABLE: InvalidateRect(combo, nullptr, FALSE); return 0;
    case WM_SETFONT:
      SetWindowLongPtrA(combo, 0, static_cast<LONG_PTR>(wParam));
      if (state.edit) SendMessageA(state.edit, WM_SETFONT, wParam, lParam);
      Resize(combo, state);
      if (LOWORD(static_cast<uintptr_t>(lParam))) InvalidateRect(combo, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return GetWindowLongPtrA(combo, 0);
    case WM_SETTEXT: {
      if (state.edit) return SendMessageA(state.edit, WM_SETTEXT, wParam, lParam);
      const int found = Find(state, static_cast<WPARAM>(-1), TextParam(lParam), true);
      if (found < 0) return CB_ERR;
      SetCurrent(combo, state, static_cast<WPARAM>(found));
      return TRUE;
    }
    case WM_GETTEXT: return CopyCurrentText(combo, state, static_cast<size_t>(wParam), reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH:
      if (state.edit) return SendMessageA(state.edit, WM_GETTEXTLENGTH, 0, 0);
      return state.selected >= 0 ? static_cast<LRESULT>(state.items[static_cast<size_t>(state.selected)].text.size()) : 0;
    case WM_SETFOCUS:
      if (state.edit) {
        SetFocus(state.edit);
        return 0;
      }
      state.focused = true;
      InvalidateRect(combo, nullptr, FALSE);
      ComboNotify(combo, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      if (state.edit && static_cast<HWND>(wParam) == state.edit) return 0;
      if (state.list) CloseComboList(combo, state, false);
      if (!IsWindow(combo) || state.edit) return 0;
      state.focused = false;
      InvalidateRect(combo, nullptr, FALSE);
      ComboNotify(combo, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != combo && GetFocus() != state.edit) SetFocus(combo);
      if (!IsWindow(combo) || state.destroyed) return 0;
      const RECT button = ComboButtonRect(combo);
      if (!state.edit || PtInRect(&button, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) Toggle(combo, state);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyDown(combo, state, message, wParam);
      return message == WM_SYSKEYDOWN ? DefWindowProcA(combo, message, wParam, lParam) : 0;
    case WM_CHAR: Character(combo, state, static_cast<unsigned char>(wParam & 0xFF)); return 0;
    case WM_COMMAND:
      if (state.edit && static_cast<HWND>(lParam) == state.edit) EditNotification(combo, state, HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // The edit field takes the combo box's colours.
      const HWND parent = GetParent(combo);
      return parent ? SendMessageA(parent, WM_CTLCOLORLISTBOX, wParam, static_cast<LPARAM>(combo)) : 0;
    }
    case WM_DESTROY:
      // Going away: the list goes without notifications to a parent that may be going too.
      if (const HWND list = std::exchange(state.list, HWND{0})) {
        if (GetCapture() == list) ReleaseCapture();
        DestroyWindow(list);
      }
      return 0;
    case CB_ADDSTRING: return Add(combo, state, TextParam(lParam));
    case CB_INSERTSTRING: {
      const int index = static_cast<int>(static_cast<int32_t>(wParam));
      return Insert(combo, state, index == -1 ? Count(state) : index, TextParam(lParam));
    }
    case CB_DELETESTRING: return Delete(combo, state, static_cast<int>(static_cast<int32_t>(wParam)));
    case CB_RESETCONTENT:
      state.items.clear();
      state.selected = state.hot = -1;
      state.top = 0;
      ShowSelectionInField(combo, state);
      InvalidateComboList(state);
      return CB_OKAY;
    case CB_GETCOUNT: return Count(state);
    case CB_SETCURSEL: return SetCurrent(combo, state, wParam);
    case CB_GETCURSEL: return state.selected;
    case CB_GETLBTEXT: return CopyItemText(state, wParam, lParam);
    case CB_GETLBTEXTLEN: {
      const int index = static_cast<int>(static_cast<int32_t>(wParam));
      return index >= 0 && index < Count(state) ? static_cast<LRESULT>(state.items[static_cast<size_t>(index)].text.size()) : CB_ERR;
    }
    case CB_FINDSTRING: return Find(state, wParam, TextParam(lParam), false);
    case CB_FINDSTRINGEXACT: return Find(state, wParam, TextParam(lParam), true);
    case CB_SELECTSTRING: {
      const int found = Find(state, wParam, TextParam(lParam), false);
      return found < 0 ? CB_ERR : SetCurrent(combo, state, static_cast<WPARAM>(found));
    }
    case CB_GETITEMDATA:
    case CB_SETITEMDATA: {
      const int index = static_cast<int>(static_cast<int32_t>(wParam));
      if (index < 0 || index >= Count(state)) return CB_ERR;
      if (message == CB_GETITEMDATA) return state.items[static_cast<size_t>(index)].data;
      state.items[static_cast<size_t>(index)].data = lParam;
      return TRUE;
    }
    case CB_SETITEMHEIGHT: {
      const int height = static_cast<int>(lParam);
      if (height < 1 || height > 255) return CB_ERR;
      if (static_cast<int32_t>(wParam) == -1) state.fieldHeight = height;
      else state.itemHeight = height;
      Resize(combo, state);
      InvalidateComboList(state);
      return CB_OKAY;
    }
    case CB_GETITEMHEIGHT:
      return static_cast<int32_t>(wParam) == -1 ? ComboFieldHeight(combo, state) : ComboItemHeight(combo, state);
    case CB_SHOWDROPDOWN:
      if (wParam && !state.list) OpenComboList(combo, state);
      else if (!wParam && state.list) CloseComboList(combo, state, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return state.list ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
      if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
        GetWindowRect(combo, rect);
        rect->bottom = rect->top + state.dropHeight;
        if (state.list) GetWindowRect(state.list, rect);
      }
      return TRUE;
    case CB_LIMITTEXT: return state.edit ? SendMessageA(state.edit, EM_LIMITTEXT, wParam, 0) : CB_ERR;
    case CB_GETEDITSEL: return state.edit ? SendMessageA(state.edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
      if (!state.edit) return CB_ERR;
      SendMessageA(state.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)))),
                   static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(lParam))));
      return TRUE;
    default: return DefWindowProcA(combo, message, wParam, lParam);
  }
}

LRESULT ComboProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(combo, kStateSlot, reinterpret_cast<LONG_PTR>(new ComboState));
    return DefWindowProcA(combo, message, wParam, lParam);
  }
  ComboState* state = ComboStateOf(combo);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(combo, kStateSlot, 0);
    if (state) {
      state->destroyed = true;
      if (state->busy == 0) delete state;
    }
    return DefWindowProcA(combo, message, wParam, lParam);
  }
  if (!state) return DefWindowProcA(combo, message, wParam, lParam);
  StateUse use(state);
  return HandleMessage(combo, *state, message, wParam, lParam);
}

}  // namespace

ComboState* ComboStateOf(HWND combo) { return reinterpret_cast<ComboState*>(GetWindowLongPtrA(combo, kStateSlot)); }

bool HasEditField(HWND combo) { return (StyleOf(combo) & CBS_TYPEMASK) != CBS_DROPDOWNLIST; }

int ComboItemHeight(HWND combo, const ComboState& state) {
  if (state.itemHeight > 0) return state.itemHeight;
  const HDC hdc = CreateCompatibleDC(0);
  if (const HFONT font = ControlFont(combo)) SelectObject(hdc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(hdc, &metrics);
  DeleteDC(hdc);
  return std::max(1, static_cast<int>(metrics.tmHeight) + 2);
}

int ComboFieldHeight(HWND combo, const ComboState& state) {
  return state.fieldHeight > 0 ? state.fieldHeight : ComboItemHeight(combo, state);
}

int ComboBoxHeight(HWND combo, const ComboState& state) { return ComboFieldHeight(combo, state) + kBoxFrame; }

RECT ComboButtonRect(HWND combo) {
  RECT client{};
  GetClientRect(combo, &client);
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  RECT button{client.right - 2 - width, client.top + 2, client.right - 2, client.bottom - 2};
  if (button.left < client.left + 2) button.left = client.left + 2;
  return button;
}

bool ComboNotify(HWND combo, WORD code) {
  const HWND parent = GetParent(combo);
  if (parent && (StyleOf(combo) & WS_CHILD)) {
    const WORD id = LOWORD(static_cast<uintptr_t>(GetWindowLongPtrA(combo, GWLP_ID)));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), static_cast<LPARAM>(combo));
  }
  return IsWindow(combo) && ComboStateOf(combo) != nullptr;
}

HBRUSH ComboBrush(HWND combo, HDC hdc) {
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
  LRESULT brush = 0;
  if (const HWND parent = GetParent(combo)) {
    brush = SendMessageA(parent, WM_CTLCOLORLISTBOX, static_cast<WPARAM>(hdc), static_cast<LPARAM>(combo));
  }
  return brush ? static_cast<HBRUSH>(brush) : GetSysColorBrush(COLOR_WINDOW);
}

bool ComboUserSelect(HWND combo, ComboState& state, int index) {
  if (index < 0 || index >= Count(state) || index == state.selected) return true;
  state.selected = index;
  ShowSelectionInField(combo, state);
  return ComboNotify(combo, CBN_SELCHANGE);
}

void RegisterComboBoxClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &ComboProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.lpszClassName = "COMBOBOX";
  RegisterClassA(&wc);
  RegisterComboListClass();
}

}  // namespace quorlin::platform
