#include "platform/user/message_box.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/code_page.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/modal_loop.h"
#include "platform/user/painting.h"
#include "platform/user/user_errors.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::platform {
namespace {

constexpr const char* DefaultCaption = "\xB4\xED\xCE\xF3";  // 错误

struct ButtonSpec {
  int id;
  const char* label;  // GBK
};

constexpr ButtonSpec kOk{IDOK, "\xC8\xB7\xB6\xA8"};          // 确定
constexpr ButtonSpec kCancel{IDCANCEL, "\xC8\xA1\xCF\xFB"};  // 取消
constexpr ButtonSpec kYes{IDYES, "\xCA\xC7"};                // 是
constexpr ButtonSpec kNo{IDNO, "\xB7\xF1"};                  // 否
constexpr ButtonSpec kAbort{IDABORT, "\xD6\xD0\xD6\xB9"};    // 中止
constexpr ButtonSpec kRetry{IDRETRY, "\xD6\xD8\xCA\xD4"};    // 重试
constexpr ButtonSpec kIgnore{IDIGNORE, "\xBA\xF6\xC2\xD4"};  // 忽略
constexpr ButtonSpec kTryAgain{IDTRYAGAIN, "\xD6\xD8\xCA\xD4"};
constexpr ButtonSpec kContinue{IDCONTINUE, "\xBC\xCC\xD0\xF8"};  // 继续

std::vector<ButtonSpec> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {kOk};
    case MB_OKCANCEL: return {kOk, kCancel};
    case MB_ABORTRETRYIGNORE: return {kAbort, kRetry, kIgnore};
    case MB_YESNOCANCEL: return {kYes, kNo, kCancel};
    case MB_YESNO: return {kYes, kNo};
    case MB_RETRYCANCEL: return {kRetry, kCancel};
    case MB_CANCELTRYCONTINUE: return {kCancel, kTryAgain, kContinue};
    default: return {};
  }
}

// --- answers and observer ----------------------------------------------------------------------

std::mutex& HookLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

std::deque<int>& QueuedAnswers() {
  static auto* answers = new std::deque<int>;
  return *answers;
}

MessageBoxObserver& Observer() {
  static auto* observer = new MessageBoxObserver;
  return *observer;
}

int TakeAnswer(UINT type) {
  std::lock_guard lock(HookLock());
  if (QueuedAnswers().empty()) return FirstButtonOf(type);
  const int answer = QueuedAnswers().front();
  QueuedAnswers().pop_front();
  return BoxOffersAnswer(type, answer) ? answer : FirstButtonOf(type);
}

// --- the box drawn as a window -------------------------------------------------------------------

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 480;
constexpr const char* kBoxClass = "QuorlinMessageBox";

struct BoxContent {
  std::string text;
  std::vector<ButtonSpec> buttons;
  int defaultButton = 0;
};

RECT ButtonRect(const RECT& client, size_t count, size_t index) {
  const int total = static_cast<int>(count) * kButtonWidth + static_cast<int>(count - 1) * kButtonGap;
  const int left = (client.right - total) / 2 + static_cast<int>(index) * (kButtonWidth + kButtonGap);
  const int top = client.bottom - kMargin - kButtonHeight;
  return RECT{left, top, left + kButtonWidth, top + kButtonHeight};
}

void PaintBox(HWND hwnd, const BoxContent& box) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd, &paint);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  RECT text{kMargin, kMargin, client.right - kMargin, client.bottom - 2 * kMargin - kButtonHeight};
  DrawTextA(dc, box.text.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  for (size_t i = 0; i < box.buttons.size(); ++i) {
    RECT button = ButtonRect(client, box.buttons.size(), i);
    DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH);
    DrawTextA(dc, box.buttons[i].label, -1, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (static_cast<int>(i) == box.defaultButton) {
      RECT focus{button.left + 3, button.top + 3, button.right - 3, button.bottom - 3};
      DrawFocusRect(dc, &focus);
    }
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &paint);
}

LRESULT BoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<BoxContent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
      break;
    case WM_PAINT:
      if (box) {
        PaintBox(hwnd, *box);
        return 0;
      }
      break;
    case WM_ERASEBKGND: return TRUE;
    case WM_CLOSE: return 0;  // the box closes when it is answered
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterBoxClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &BoxProcedure;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kBoxClass;
    RegisterClassA(&windowClass);
  });
}

// The client size that fits the text and the buttons.
SIZE MeasureBox(HWND hwnd, const BoxContent& box) {
  RECT text{0, 0, kMaxTextWidth, 0};
  if (const HDC dc = GetDC(hwnd)) {
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, box.text.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd, dc);
  }
  const int count = static_cast<int>(box.buttons.size());
  const int buttons = count * kButtonWidth + (count - 1) * kButtonGap;
  return SIZE{std::max<LONG>(text.right, buttons) + 2 * kMargin, text.bottom + 3 * kMargin + kButtonHeight};
}

// Shows the box as a window of ours while the modal loop runs; it is answered already, so the
// loop only lets the screen catch up (the box and whatever it covers paint) before it goes.
void ShowBoxWindow(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  RegisterBoxClass();
  BoxContent box{text ? text : "", ButtonsOf(type), static_cast<int>((type & MB_DEFMASK) >> 8)};
  if (box.defaultButton >= static_cast<int>(box.buttons.size())) box.defaultButton = 0;
  const HWND root = owner ? GetAncestor(owner, GA_ROOT) : 0;
  const HWND hwnd = CreateWindowExA(WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0), kBoxClass,
                                    caption, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100, root, 0, 0, &box);
  if (!hwnd) return;
  const SIZE client = MeasureBox(hwnd, box);
  RECT outer{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&outer, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (root) GetWindowRect(root, &around);
  const int x = around.left + (around.right - around.left - width) / 2;
  const int y = around.top + (around.bottom - around.top - height) / 2;
  SetWindowPos(hwnd, HWND_TOP, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RunModalLoop(owner, [] { return true; }, (type & MB_TASKMODAL) && !owner ? ModalScope::Thread : ModalScope::Owner);
  DestroyWindow(hwnd);
}

void AppendEscaped(std::string& line, const std::string& text) {
  for (char c : text) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
}

int StandardPresenter(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  std::string line = "msgbox ";
  AppendEscaped(line, GbkToUtf8(caption ? caption : DefaultCaption));
  line += " | ";
  AppendEscaped(line, GbkToUtf8(text ? text : ""));
  line += '\n';
  {
    static std::mutex lock;  // one whole line per box, whichever thread shows it
    std::lock_guard guard(lock);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
  }
  const int answer = TakeAnswer(type);
  ShowBoxWindow(owner, text, caption ? caption : DefaultCaption, type);
  return answer;
}

std::atomic<MessageBoxPresenter> g_presenter{&StandardPresenter};

}  // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  return g_presenter.exchange(presenter ? presenter : &StandardPresenter);
}

int FirstButtonOf(UINT type) {
  const auto buttons = ButtonsOf(type);
  return buttons.empty() ? 0 : buttons.front().id;
}

bool BoxOffersAnswer(UINT type, int answer) {
  const auto buttons = ButtonsOf(type);
  // Closing a box answers Cancel when it has that button, and OK for a lone OK: both are buttons.
  return std::any_of(buttons.begin(), buttons.end(), [&](const ButtonSpec& b) { return b.id == answer; });
}

void QueueMessageBoxAnswer(int answer) {
  std::lock_guard lock(HookLock());
  QueuedAnswers().push_back(answer);
}

void ClearMessageBoxAnswers() {
  std::lock_guard lock(HookLock());
  QueuedAnswers().clear();
}

void SetMessageBoxObserver(MessageBoxObserver observer) {
  std::lock_guard lock(HookLock());
  Observer() = std::move(observer);
}

}  // namespace quorlin::platform

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  using namespace quorlin::platform;
  if (FirstButtonOf(type) == 0) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  const int answer = g_presenter.load()(owner, text, caption, type);
  MessageBoxObserver observer;
  {
    std::lock_guard lock(HookLock());
    observer = Observer();
  }
  if (observer) {
    observer(ShownMessageBox{owner, GbkToUtf8(caption ? caption : DefaultCaption), GbkToUtf8(text ? text : ""), type,
                             answer});
  }
  return answer;
}
