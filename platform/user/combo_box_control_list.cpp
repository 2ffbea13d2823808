// The COMBOBOX class's list: a topmost pop-up ("ComboLBox") below the box, or above it when
// the screen has no room below. While it is open it holds the mouse capture: moving over it
// highlights an item, a release on an item chooses it, a press outside closes it.
#include <algorithm>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/combo_box_control_state.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/input.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr int kComboSlot = 0;
constexpr int kBorder = 1;  // WS_BORDER

HWND ComboOf(HWND list) { return static_cast<HWND>(GetWindowLongPtrA(list, kComboSlot)); }

// The combo box's state when `list` is its open list.
ComboState* OpenStateOf(HWND list, HWND& combo) {
  combo = ComboOf(list);
  if (!IsWindow(combo)) return nullptr;
  ComboState* state = ComboStateOf(combo);
  return state && state->list == list ? state : nullptr;
}

int VisibleRows(HWND list, HWND combo, const ComboState& state) {
  RECT client{};
  GetClientRect(list, &client);
  return std::max(1, static_cast<int>(client.bottom) / ComboItemHeight(combo, state));
}

int ItemAt(HWND list, HWND combo, const ComboState& state, POINT point) {
  RECT client{};
  GetClientRect(list, &client);
  if (!PtInRect(&client, point)) return -1;
  const int index = state.top + point.y / ComboItemHeight(combo, state);
  return index < static_cast<int>(state.items.size()) ? index : -1;
}

void PaintList(HWND list) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(list, &ps);
  if (!hdc) return;
  HWND combo = 0;
  if (ComboState* state = OpenStateOf(list, combo)) {
    const HFONT font = ControlFont(combo);
    const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
    RECT client{};
    GetClientRect(list, &client);
    FillRect(hdc, &client, ComboBrush(combo, hdc));
    const COLORREF text = GetTextColor(hdc);
    SetBkMode(hdc, TRANSPARENT);
    const int height = ComboItemHeight(combo, *state);
    for (int i = state->top, y = 0; i < static_cast<int>(state->items.size()) && y < client.bottom; ++i, y += height) {
      RECT row{0, y, client.right, y + height};
      if (i == state->hot) {
        FillRect(hdc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      } else {
        SetTextColor(hdc, text);
      }
      const std::string& item = state->items[static_cast<size_t>(i)].text;
      row.left += 2;
      DrawTextA(hdc, item.c_str(), static_cast<int>(item.size()), &row, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (oldFont) SelectObject(hdc, oldFont);
  }
  EndPaint(list, &ps);
}

LRESULT ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(list, kComboSlot, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return DefWindowProcA(list, message, wParam, lParam);
  }
  HWND combo = 0;
  ComboState* state = OpenStateOf(list, combo);
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_PAINT: PaintList(list); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return 3;  // MA_NOACTIVATE: the focus stays in the combo box
    case WM_MOUSEMOVE:
      if (state) {
        const int item = ItemAt(list, combo, *state, point);
        if (item >= 0) SetComboHot(*state, item);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (state) {
        const int item = ItemAt(list, combo, *state, point);
        if (item >= 0) SetComboHot(*state, item);
        else CloseComboList(combo, *state, false);  // outside, the box included: closed, nothing chosen
      }
      return 0;
    case WM_LBUTTONUP:
      // A release outside (the one of the press that opened the list) leaves it open.
      if (state && ItemAt(list, combo, *state, point) >= 0) {
        SetComboHot(*state, ItemAt(list, combo, *state, point));
        CloseComboList(combo, *state, true);
      }
      return 0;
    case WM_MOUSEWHEEL:
      if (state) {
        const int rows = VisibleRows(list, combo, *state);
        const int most = std::max(0, static_cast<int>(state->items.size()) - rows);
        const int step = static_cast<SHORT>(HIWORD(wParam)) > 0 ? -1 : 1;
        state->top = std::clamp(state->top + step, 0, most);
        InvalidateRect(list, nullptr, FALSE);
      }
      return 0;
    case WM_NCDESTROY:
      // Destroyed with its owner: the combo box's list is closed.
      if (state) state->list = 0;
      return DefWindowProcA(list, message, wParam, lParam);
    case WM_CAPTURECHANGED:
      if (state && static_cast<HWND>(lParam) != list) CloseComboList(combo, *state, false);
      return 0;
    default: return DefWindowProcA(list, message, wParam, lParam);
  }
}

}  // namespace

void InvalidateComboList(const ComboState& state) {
  if (state.list) InvalidateRect(state.list, nullptr, FALSE);
}

void SetComboHot(ComboState& state, int hot) {
  if (!state.list) {
    state.hot = hot;
    return;
  }
  HWND combo = ComboOf(state.list);
  const int rows = VisibleRows(state.list, combo, state);
  if (hot >= 0 && hot < state.top) state.top = hot;
  if (hot >= state.top + rows) state.top = hot - rows + 1;
  if (hot == state.hot) return;
  state.hot = hot;
  InvalidateRect(state.list, nullptr, FALSE);
}

void OpenComboList(HWND combo, ComboState& state) {
  if (state.list) return;
  if (!ComboNotify(combo, CBN_DROPDOWN) || state.destroyed) return;
  RECT box{};
  GetWindowRect(combo, &box);
  const int itemHeight = ComboItemHeight(combo, state);
  const int count = static_cast<int>(state.items.size());
  const int room = std::max(1, (state.dropHeight - ComboBoxHeight(combo, state) - 2 * kBorder) / itemHeight);
  const int rows = std::max(1, std::min(count, room));
  const int height = rows * itemHeight + 2 * kBorder;
  const int width = box.right - box.left;
  int y = box.bottom;
  if (y + height > GetSystemMetrics(SM_CYSCREEN) && box.top - height >= 0) y = box.top - height;

  state.hot = state.selected;
  state.top = std::clamp(state.selected - rows + 1, 0, std::max(0, count - rows));
  if (state.selected >= 0 && state.selected < state.top) state.top = state.selected;
  const HWND list = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "ComboLBox", "", WS_POPUP | WS_BORDER, box.left, y,
                                    width, height, GetAncestor(combo, GA_ROOT), 0, 0,
                                    reinterpret_cast<LPVOID>(static_cast<uintptr_t>(combo)));
  if (!list) return;
  state.list = list;
  SetWindowPos(list, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetCapture(list);
  InvalidateRect(combo, nullptr, FALSE);
}

void CloseComboList(HWND combo, ComboState& state, bool choose) {
  const HWND list = state.list;
  if (!list) return;
  state.list = 0;  // first, so that losing the capture below does not close it again
  const int before = state.selected;
  choose = choose && state.hot >= 0 && state.hot < static_cast<int>(state.items.size());
  if (choose) {
    state.selected = state.hot;
    if (state.edit) {
      SetWindowTextA(state.edit, state.items[static_cast<size_t>(state.selected)].text.c_str());
    }
  }
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  InvalidateRect(combo, nullptr, FALSE);
  if (!ComboNotify(combo, choose ? CBN_SELENDOK : CBN_SELENDCANCEL) || state.destroyed) return;
  if (!ComboNotify(combo, CBN_CLOSEUP) || state.destroyed) return;
  if (state.selected != before) ComboNotify(combo, CBN_SELCHANGE);
}

void RegisterComboListClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_SAVEBITS;
  wc.lpfnWndProc = &ListProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  wc.lpszClassName = "ComboLBox";
  RegisterClassA(&wc);
}

}  // namespace quorlin::platform
