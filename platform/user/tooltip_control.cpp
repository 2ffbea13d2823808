// The tooltip class: its tools, the subclassing of tool windows, the delays and the pop-up.
#include "platform/user/tooltip_control.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/control_classes.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/timers.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr int kStateSlot = sizeof(LONG_PTR);  // slot 0 holds the font
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kLeaveTimer = 2;
constexpr UINT_PTR kPopTimer = 3;
constexpr UINT kLeaveCheckMs = 100;
constexpr UINT kDefaultInitialMs = 500;
constexpr int kMargin = 3;
constexpr int kCursorHeight = 20;  // the tip shows below the pointer's shape

struct Tool {
  UINT flags = 0;
  HWND hwnd = 0;
  UINT_PTR id = 0;
  RECT rect{};
  std::string text;
  bool callback = false;
  LPARAM lParam = 0;

  HWND Window() const { return (flags & TTF_IDISHWND) ? static_cast<HWND>(id) : hwnd; }
};

struct TipState {
  std::vector<Tool> tools;
  bool active = true;
  int maxWidth = -1;
  UINT initial = kDefaultInitialMs;
  UINT autopop = kDefaultInitialMs * 10;
  UINT reshow = kDefaultInitialMs / 5;
  int current = -1;        // the tool under the pointer
  bool shown = false;
  bool suppressed = false; // clicked: no tip until the pointer leaves the tool
  COLORREF back = CLR_INVALID;
  COLORREF text = CLR_INVALID;
  std::string shownText;
};

TipState* StateOf(HWND tip) { return reinterpret_cast<TipState*>(GetWindowLongPtrA(tip, kStateSlot)); }

// --- subclassed tool windows ---------------------------------------------------------------

struct Watch {
  WNDPROC previous = nullptr;
  std::vector<HWND> tips;
};

std::mutex& WatchLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

std::map<HWND, Watch>& Watches() {
  static auto* watches = new std::map<HWND, Watch>;
  return *watches;
}

void Relay(HWND tip, HWND window, UINT message, POINT point);
void ForgetWindow(HWND tip, HWND window);

bool IsMouseMessage(UINT message) {
  return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
         message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_MBUTTONDOWN ||
         message == WM_MBUTTONUP || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
}

LRESULT WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = nullptr;
  std::vector<HWND> tips;
  {
    std::lock_guard lock(WatchLock());
    const auto it = Watches().find(hwnd);
    if (it == Watches().end()) return DefWindowProcA(hwnd, message, wParam, lParam);
    previous = it->second.previous;
    tips = it->second.tips;
    if (message == WM_NCDESTROY) Watches().erase(it);
  }
  if (IsMouseMessage(message)) {
    for (const HWND tip : tips) {
      if (IsWindow(tip)) Relay(tip, hwnd, message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    }
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    for (const HWND tip : tips) {
      if (IsWindow(tip)) ForgetWindow(tip, hwnd);
    }
  }
  return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

void Subclass(HWND tip, HWND window) {
  if (!IsWindow(window)) return;
  std::lock_guard lock(WatchLock());
  auto [it, added] = Watches().try_emplace(window);
  if (added) {
    it->second.previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchProc));
  }
  if (std::find(it->second.tips.begin(), it->second.tips.end(), tip) == it->second.tips.end()) it->second.tips.push_back(tip);
}

// Stops watching when no tip needs the window any more. A procedure set over ours stays in
// place; ours then passes everything through.
void Unsubclass(HWND tip, HWND window) {
  std::lock_guard lock(WatchLock());
  const auto it = Watches().find(window);
  if (it == Watches().end()) return;
  auto& tips = it->second.tips;
  tips.erase(std::remove(tips.begin(), tips.end(), tip), tips.end());
  if (!tips.empty() || !IsWindow(window)) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) == &WatchProc) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
    Watches().erase(it);
  }
}

// --- the tip -------------------------------------------------------------------------------

bool Contains(const Tool& tool, HWND window, POINT point) {
  if (tool.Window() != window) return false;
  if (tool.flags & TTF_IDISHWND) return true;
  return PtInRect(&tool.rect, point);
}

int ToolAt(const TipState& state, HWND window, POINT point) {
  for (size_t i = 0; i < state.tools.size(); ++i) {
    if (Contains(state.tools[i], window, point)) return static_cast<int>(i);
  }
  return -1;
}

// Whether the pointer is still over the current tool.
bool PointerOnCurrent(const TipState& state) {
  if (state.current < 0) return false;
  POINT screen{};
  GetCursorPos(&screen);
  const Tool& tool = state.tools[static_cast<size_t>(state.current)];
  const HWND under = WindowFromPoint(screen);
  if (under != tool.Window()) return false;
  POINT client = screen;
  ScreenToClient(under, &client);
  return Contains(tool, under, client);
}

std::string TextOf(HWND tip, const Tool& tool) {
  if (!tool.callback) return tool.text;
  NMTTDISPINFOA info{};
  info.hdr = NMHDR{tip, tool.id, TTN_GETDISPINFOA};
  info.uFlags = tool.flags;
  info.lParam = tool.lParam;
  info.lpszText = info.szText;
  SendMessageA(tool.hwnd, WM_NOTIFY, static_cast<WPARAM>(tool.id), reinterpret_cast<LPARAM>(&info));
  if (!info.lpszText || reinterpret_cast<uintptr_t>(info.lpszText) < 0x10000) return std::string();
  if (info.lpszText == info.szText) return std::string(info.szText, strnlen(info.szText, sizeof info.szText));
  return info.lpszText;
}

UINT TextFormat(const TipState& state) { return DT_LEFT | DT_NOPREFIX | (state.maxWidth > 0 ? DT_WORDBREAK : 0); }

void Hide(HWND tip, TipState& state) {
  KillTimer(tip, kPopTimer);
  if (!state.shown) return;
  state.shown = false;
  SetWindowPos(tip, 0, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void Show(HWND tip, TipState& state) {
  if (state.current < 0) return;
  const std::string text = TextOf(tip, state.tools[static_cast<size_t>(state.current)]);
  if (!IsWindow(tip) || text.empty()) return;
  state.shownText = text;
  const HDC hdc = CreateCompatibleDC(0);
  if (const HFONT font = ControlFont(tip)) SelectObject(hdc, font);
  RECT extent{0, 0, state.maxWidth > 0 ? state.maxWidth : 0x7FFF, 0};
  DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &extent, TextFormat(state) | DT_CALCRECT);
  DeleteDC(hdc);
  RECT frame{0, 0, extent.right + 2 * kMargin + 2, extent.bottom + 2 * kMargin + 2};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(tip, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(tip, GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  POINT pointer{};
  GetCursorPos(&pointer);
  int x = pointer.x;
  int y = pointer.y + kCursorHeight;
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (x + width > screenWidth) x = std::max(0, screenWidth - width);
  if (y + height > screenHeight) y = std::max(0, pointer.y - height - 2);
  state.shown = true;
  SetWindowPos(tip, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(tip, nullptr, TRUE);
  SetTimer(tip, kPopTimer, std::max<UINT>(state.autopop, USER_TIMER_MINIMUM), nullptr);
}

void Leave(HWND tip, TipState& state) {
  Hide(tip, state);
  state.current = -1;
  state.suppressed = false;
  KillTimer(tip, kShowTimer);
  KillTimer(tip, kLeaveTimer);
}

void Relay(HWND tip, HWND window, UINT message, POINT point) {
  TipState* state = StateOf(tip);
  if (!state || !state->active) return;
  if (message != WM_MOUSEMOVE) {
    // A click on a tool puts its tip away until the pointer comes back.
    Hide(tip, *state);
    KillTimer(tip, kShowTimer);
    state->suppressed = true;
    return;
  }
  const int tool = ToolAt(*state, window, point);
  if (tool == state->current) return;
  const bool wasShown = state->shown;
  Hide(tip, *state);
  state->current = tool;
  state->suppressed = false;
  if (tool < 0) {
    Leave(tip, *state);
    return;
  }
  SetTimer(tip, kShowTimer, std::max<UINT>(wasShown ? state->reshow : state->initial, USER_TIMER_MINIMUM), nullptr);
  SetTimer(tip, kLeaveTimer, kLeaveCheckMs, nullptr);
}

void ForgetWindow(HWND tip, HWND window) {
  TipState* state = StateOf(tip);
  if (!state) return;
  Leave(tip, *state);
  auto& tools = state->tools;
  tools.erase(std::remove_if(tools.begin(), tools.end(), [&](const Tool& t) { return t.Window() == window || t.hwnd == window; }),
              tools.end());
}

void Timer(HWND tip, TipState& state, UINT_PTR id) {
  switch (id) {
    case kShowTimer:
      KillTimer(tip, kShowTimer);
      if (PointerOnCurrent(state) && !state.suppressed) Show(tip, state);
      return;
    case kLeaveTimer:
      if (!PointerOnCurrent(state)) Leave(tip, state);
      return;
    case kPopTimer:
      Hide(tip, state);
      state.suppressed = true;
      return;
    default: return;
  }
}

void Paint(HWND tip, const TipState& state) {
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(tip, &ps);
  if (!hdc) return;
  RECT client{};
  GetClientRect(tip, &client);
  const COLORREF back = state.back != CLR_INVALID ? state.back : GetSysColor(COLOR_INFOBK);
  const COLORREF text = state.text != CLR_INVALID ? state.text : GetSysColor(COLOR_INFOTEXT);
  const HBRUSH fill = CreateSolidBrush(back);
  FillRect(hdc, &client, fill);
  DeleteObject(fill);
  const HBRUSH edge = CreateSolidBrush(text);
  FrameRect(hdc, &client, edge);
  DeleteObject(edge);
  const HFONT font = ControlFont(tip);
  const HGDIOBJ oldFont = font ? SelectObject(hdc, font) : 0;
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, text);
  RECT inner = client;
  InflateRect(&inner, -(kMargin + 1), -(kMargin + 1));
  DrawTextA(hdc, state.shownText.c_str(), static_cast<int>(state.shownText.size()), &inner, TextFormat(state));
  if (oldFont) SelectObject(hdc, oldFont);
  EndPaint(tip, &ps);
}

Tool* FindTool(TipState& state, const TOOLINFOA* info) {
  if (!info) return nullptr;
  for (Tool& tool : state.tools) {
    if (tool.hwnd == info->hwnd && tool.id == info->uId) return &tool;
  }
  return nullptr;
}

void TakeText(Tool& tool, const TOOLINFOA& info) {
  tool.callback = info.lpszText == LPSTR_TEXTCALLBACKA;
  // Text given as a resource number is not supported: the tool has no text.
  const bool pointer = info.lpszText && !tool.callback && reinterpret_cast<uintptr_t>(info.lpszText) >= 0x10000;
  tool.text = pointer ? std::string(info.lpszText) : std::string();
}

LRESULT AddTool(HWND tip, TipState& state, const TOOLINFOA* info) {
  if (!info || info->cbSize < offsetof(TOOLINFOA, lParam)) return FALSE;
  Tool tool;
  tool.flags = info->uFlags;
  tool.hwnd = info->hwnd;
  tool.id = info->uId;
  tool.rect = info->rect;
  if (info->cbSize >= offsetof(TOOLINFOA, lpReserved)) tool.lParam = info->lParam;
  TakeText(tool, *info);
  if (!IsWindow(tool.Window())) return FALSE;
  state.tools.push_back(tool);
  if (tool.flags & TTF_SUBCLASS) Subclass(tip, tool.Window());
  return TRUE;
}

void DeleteTool(HWND tip, TipState& state, const TOOLINFOA* info) {
  Tool* tool = FindTool(state, info);
  if (!tool) return;
  const HWND window = tool->Window();
  Leave(tip, state);
  state.tools.erase(state.tools.begin() + (tool - state.tools.data()));
  const bool stillUsed = std::any_of(state.tools.begin(), state.tools.end(),
                                     [&](const Tool& t) { return t.Window() == window && (t.flags & TTF_SUBCLASS); });
  if (!stillUsed) Unsubclass(tip, window);
}

void SetDelay(TipState& state, WPARAM which, LPARAM lParam) {
  const auto value = static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))));
  const UINT ms = value < 0 ? kDefaultInitialMs : static_cast<UINT>(value);
  switch (which) {
    case TTDT_AUTOMATIC:
      state.initial = ms;
      state.autopop = ms * 10;
      state.reshow = ms / 5;
      return;
    case TTDT_RESHOW: state.reshow = value < 0 ? kDefaultInitialMs / 5 : ms; return;
    case TTDT_AUTOPOP: state.autopop = value < 0 ? kDefaultInitialMs * 10 : ms; return;
    case TTDT_INITIAL: state.initial = ms; return;
    default: return;
  }
}

LRESULT HandleMessage(HWND tip, TipState& state, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(tip, state); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER: Timer(tip, state, wParam); return 0;
    case WM_NCHITTEST: return -1;  // HTTRANSPARENT
    case WM_MOUSEACTIVATE: return 3;  // MA_NOACTIVATE
    case WM_SETFONT:
      SetWindowLongPtrA(tip, 0, static_cast<LONG_PTR>(wParam));
      return 0;
    case WM_GETFONT: return GetWindowLongPtrA(tip, 0);
    case TTM_ADDTOOLA: return AddTool(tip, state, reinterpret_cast<const TOOLINFOA*>(lParam));
    case TTM_DELTOOLA: DeleteTool(tip, state, reinterpret_cast<const TOOLINFOA*>(lParam)); return 0;
    case TTM_UPDATETIPTEXTA:
    case TTM_NEWTOOLRECTA: {
      const auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
      Tool* tool = FindTool(state, info);
      if (!tool) return 0;
      if (message == TTM_NEWTOOLRECTA) {
        tool->rect = info->rect;
        return 0;
      }
      TakeText(*tool, *info);
      if (state.shown && &state.tools[static_cast<size_t>(state.current)] == tool) Show(tip, state);
      return 0;
    }
    case TTM_GETTEXTA: {
      const auto* info = reinterpret_cast<const TOOLINFOA*>(lParam);
      Tool* tool = FindTool(state, info);
      if (!tool || !info->lpszText) return 0;
      const size_t capacity = wParam ? static_cast<size_t>(wParam) : 80;
      const size_t count = std::min(capacity - 1, tool->text.size());
      std::memcpy(info->lpszText, tool->text.data(), count);
      info->lpszText[count] = '\0';
      return static_cast<LRESULT>(count);
    }
    case TTM_GETTOOLCOUNT: return static_cast<LRESULT>(state.tools.size());
    case TTM_RELAYEVENT: {
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg && IsMouseMessage(msg->message)) Relay(tip, msg->hwnd, msg->message, POINT{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)});
      return 0;
    }
    case TTM_ACTIVATE:
      state.active = wParam != 0;
      if (!state.active) Leave(tip, state);
      return 0;
    case TTM_SETDELAYTIME: SetDelay(state, wParam, lParam); return 0;
    case TTM_GETDELAYTIME:
      switch (wParam) {
        case TTDT_RESHOW: return state.reshow;
        case TTDT_AUTOPOP: return state.autopop;
        default: return state.initial;
      }
    case TTM_SETMAXTIPWIDTH: {
      const int old = state.maxWidth;
      state.maxWidth = static_cast<int>(lParam);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return state.maxWidth;
    case TTM_SETTIPBKCOLOR: state.back = static_cast<COLORREF>(wParam); return 0;
    case TTM_SETTIPTEXTCOLOR: state.text = static_cast<COLORREF>(wParam); return 0;
    case TTM_GETTIPBKCOLOR: return state.back != CLR_INVALID ? state.back : GetSysColor(COLOR_INFOBK);
    case TTM_GETTIPTEXTCOLOR: return state.text != CLR_INVALID ? state.text : GetSysColor(COLOR_INFOTEXT);
    case TTM_POP: Hide(tip, state); return 0;
    case WM_DESTROY: {
      Leave(tip, state);
      for (const Tool& tool : state.tools) Unsubclass(tip, tool.Window());
      state.tools.clear();
      return 0;
    }
    default: return DefWindowProcA(tip, message, wParam, lParam);
  }
}

LRESULT TooltipProc(HWND tip, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(tip, kStateSlot, reinterpret_cast<LONG_PTR>(new TipState));
    return DefWindowProcA(tip, message, wParam, lParam);
  }
  TipState* state = StateOf(tip);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(tip, kStateSlot, 0);
    delete state;
    return DefWindowProcA(tip, message, wParam, lParam);
  }
  if (!state) return DefWindowProcA(tip, message, wParam, lParam);
  return HandleMessage(tip, *state, message, wParam, lParam);
}

}  // namespace

void RegisterTooltipClass() {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS | CS_SAVEBITS;
  wc.lpfnWndProc = &TooltipProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.lpszClassName = TOOLTIPS_CLASSA;
  RegisterClassA(&wc);
}

}  // namespace quorlin::platform
