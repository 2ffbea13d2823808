// Posting, looking at and waiting for the calling thread's queue.
#include "platform/user/message_queue.h"

#include <algorithm>

#include "platform/base/thread_services.h"
#include "platform/user/input.h"
#include "platform/user/input_held_wait.h"
#include "platform/user/thread_queue.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {

bool MessageFilter::Accepts(HWND hwnd, UINT message) const {
  // A reversed range filters nothing.
  if ((min != 0 || max != 0) && min <= max && (message < min || message > max)) return false;
  if (anyWindow) return true;
  if (threadOnly) return hwnd == 0;
  return std::find(windows.begin(), windows.end(), hwnd) != windows.end();
}

namespace {

thread_local LONG t_lastMessageTime = 0;
thread_local POINT t_lastMessagePos{};

constexpr HWND ThreadMessagesOnly = static_cast<HWND>(-1);

// False when hwnd names no window.
bool MakeFilter(HWND hwnd, UINT min, UINT max, MessageFilter& filter) {
  filter.min = min;
  filter.max = max;
  if (hwnd == 0) return true;
  filter.anyWindow = false;
  if (hwnd == ThreadMessagesOnly) {
    filter.threadOnly = true;
    return true;
  }
  std::lock_guard lock(TreeLock());
  if (!RecordLocked(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  filter.windows.push_back(hwnd);
  CollectDescendantsLocked(hwnd, filter.windows);
  return true;
}

UINT InputKindOf(UINT message) {
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return QS_KEY;
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) return QS_MOUSEMOVE;
  if ((message > WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
      (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK)) {
    return QS_MOUSEBUTTON;
  }
  return QS_POSTMESSAGE;
}

bool TakeFrom(std::deque<MSG>& messages, const MessageFilter& filter, bool remove, MSG* msg) {
  for (auto it = messages.begin(); it != messages.end(); ++it) {
    if (!filter.Accepts(it->hwnd, it->message)) continue;
    *msg = *it;
    if (remove) messages.erase(it);
    return true;
  }
  return false;
}

// The next message in the queue's order of kinds; sent messages are handled before.
bool TakeLocked(ThreadQueue& queue, const MessageFilter& filter, bool remove, MSG* msg) {
  queue.Looked();
  if (TakeFrom(queue.posted, filter, remove, msg)) return true;
  if (TakeFrom(queue.input, filter, remove, msg)) return true;
  if (queue.quitPending) {
    *msg = MSG{0, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, GetTickCount(), {}, 0};
    if (remove) queue.quitPending = false;
    return true;
  }
  for (HWND hwnd : queue.needsPaint) {
    if (filter.Accepts(hwnd, WM_PAINT)) {
      *msg = MSG{hwnd, WM_PAINT, 0, 0, GetTickCount(), {}, 0};
      return true;
    }
  }
  UpdateTimersLocked(queue, QueueClock::now());
  return TakeTimerMessageLocked(queue, filter, remove, msg);
}

// Keyboard input goes to the focus of the moment it is taken (when that is a window of ours).
void BindKeyboardInput(ThreadQueue& queue, MSG& msg) {
  if (msg.lPrivate != kToKeyboardFocus) return;
  msg.lPrivate = 0;
  std::lock_guard lock(TreeLock());
  const InputState& state = *queue.inputState;
  const HWND target = state.focus ? state.focus : state.active;
  WindowRecord* window = RecordLocked(target);
  if (window && window->threadId == queue.threadId) msg.hwnd = target;
}

void Remember(const MSG& msg) {
  t_lastMessageTime = static_cast<LONG>(msg.time);
  t_lastMessagePos = msg.pt;
}

BOOL Post(ThreadQueue& queue, const MSG& msg, bool asInput) {
  std::lock_guard lock(queue.mutex);
  if (!queue.alive) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  if (asInput) {
    queue.input.push_back(msg);
    queue.Arrived(InputKindOf(msg.message));
  } else {
    queue.posted.push_back(msg);
    queue.Arrived(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
  }
  return TRUE;
}

// Waits until content of the mask's kinds is new in the queue, or the deadline.
bool WaitForNew(UINT mask, std::optional<QueueClock::time_point> deadline) {
  ThreadQueue& queue = CurrentQueue();
  std::unique_lock lock(queue.mutex);
  for (;;) {
    const auto now = QueueClock::now();
    UpdateTimersLocked(queue, now);
    if (queue.newBits & mask) return true;
    if (deadline && now >= *deadline) return false;
    std::optional<QueueClock::time_point> until = NextTimerDueLocked(queue);
    if (deadline && (!until || *deadline < *until)) until = deadline;
    queue.WaitLocked(lock, until);
  }
}

}  // namespace

char CharacterOfKey(WPARAM wParam, bool control) {
  if (wParam > 0xFF) return 0;
  const int key = static_cast<int>(wParam);
  if (key >= 'A' && key <= 'Z') return static_cast<char>(control ? key - 'A' + 1 : key - 'A' + 'a');
  if (control) return 0;
  if (key >= '0' && key <= '9') return static_cast<char>(key);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return static_cast<char>('0' + (key - VK_NUMPAD0));
  switch (key) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return ';';
    case VK_OEM_PLUS: return '=';
    case VK_OEM_COMMA: return ',';
    case VK_OEM_MINUS: return '-';
    case VK_OEM_PERIOD: return '.';
    case VK_OEM_2: return '/';
    case VK_OEM_3: return '`';
    case VK_OEM_4: return '[';
    case VK_OEM_5: return '\\';
    case VK_OEM_6: return ']';
    case VK_OEM_7: return '\'';
    default: return 0;
  }
}

int QueueWakeFd() {
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard lock(queue.mutex);
  return queue.WakeFd();
}

QueueWaitFunction SetQueueWaitFunction(QueueWaitFunction wait) {
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard lock(queue.mutex);
  const QueueWaitFunction previous = queue.WaitFunction();
  queue.SetWaitFunction(wait);
  return previous;
}

BOOL PostInputMessage(const MSG& msg) {
  MSG stamped = msg;
  if (stamped.time == 0) stamped.time = GetTickCount();
  if (msg.hwnd == 0) return Post(CurrentQueue(), stamped, true);
  const auto window = WindowRecordOrError(msg.hwnd);
  return window ? Post(*window->queue, stamped, true) : FALSE;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const MSG msg{hwnd, message, wParam, lParam, GetTickCount(), {}, 0};
  if (hwnd == 0) return Post(CurrentQueue(), msg, false);
  const auto window = WindowRecordOrError(hwnd);
  return window ? Post(*window->queue, msg, false) : FALSE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto queue = QueueOfThread(threadId);
  if (!queue) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return Post(*queue, MSG{0, message, wParam, lParam, GetTickCount(), {}, 0}, false);
}

void PostQuitMessage(int exitCode) {
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard lock(queue.mutex);
  queue.quitPending = true;
  queue.quitCode = exitCode;
  queue.Arrived(QS_POSTMESSAGE | QS_ALLPOSTMESSAGE);
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MessageFilter filter;
  if (!MakeFilter(hwnd, filterMin, filterMax, filter)) return FALSE;
  ThreadQueue& queue = CurrentQueue();
  HandleIncomingSentMessages(queue);
  {
    std::lock_guard lock(queue.mutex);
    if (!TakeLocked(queue, filter, (removeFlags & PM_REMOVE) != 0, msg)) return FALSE;
  }
  BindKeyboardInput(queue, *msg);
  Remember(*msg);
  return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  ThreadQueue& queue = CurrentQueue();
  for (;;) {
    MessageFilter filter;
    if (!MakeFilter(hwnd, filterMin, filterMax, filter)) return -1;
    HandleIncomingSentMessages(queue);
    std::unique_lock lock(queue.mutex);
    if (TakeLocked(queue, filter, true, msg)) {
      lock.unlock();
      BindKeyboardInput(queue, *msg);
      Remember(*msg);
      return msg->message == WM_QUIT ? 0 : 1;
    }
    if (!queue.incoming.empty()) continue;
    queue.WaitLocked(lock, NextTimerDueLocked(queue));
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (const char c = CharacterOfKey(msg->wParam, GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0)) {
        PostMessageA(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                     static_cast<WPARAM>(static_cast<unsigned char>(c)), msg->lParam);
      }
      return TRUE;
    case WM_KEYUP:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    // Only the procedure of a live timer is called: a WM_TIMER posted by anyone must not make
    // us jump to an address it chose.
    const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    bool known;
    {
      ThreadQueue& queue = CurrentQueue();
      std::lock_guard lock(queue.mutex);
      known = TimerHasProcLocked(queue, msg->hwnd, msg->wParam, proc);
    }
    if (known) {
      proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
      return 0;
    }
  }
  if (msg->message == WM_INPUT_ACTION) {
    RunInputAction(msg->wParam);
    return 0;
  }
  if (msg->hwnd == 0) return 0;
  const auto window = WindowRecordOrError(msg->hwnd);
  if (!window) return 0;
  if (window->threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
    return 0;
  }
  return CallProcedureOf(*window, msg->message, msg->wParam, msg->lParam);
}

BOOL WaitMessage() {
  WaitForNew(QS_ALLINPUT, std::nullopt);
  return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask) {
  if (nCount != 0) {
    // No waitable kernel objects exist here.
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::optional<QueueClock::time_point> deadline;
  if (timeoutMs != INFINITE) deadline = QueueClock::now() + std::chrono::milliseconds(timeoutMs);
  return WaitForNew(wakeMask, deadline) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD GetQueueStatus(UINT flags) {
  ThreadQueue& queue = CurrentQueue();
  std::lock_guard lock(queue.mutex);
  UpdateTimersLocked(queue, QueueClock::now());
  UINT present = 0;
  if (!queue.posted.empty() || queue.quitPending) present |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  for (const MSG& msg : queue.input) present |= InputKindOf(msg.message);
  if (!queue.incoming.empty()) present |= QS_SENDMESSAGE;
  if (!queue.needsPaint.empty()) present |= QS_PAINT;
  if (AnyTimerReadyLocked(queue)) present |= QS_TIMER;
  const UINT arrived = queue.newBits & flags;
  queue.newBits &= ~flags;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(arrived), static_cast<WORD>(present & flags)));
}

LONG GetMessageTime() { return t_lastMessageTime; }

DWORD GetMessagePos() {
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(t_lastMessagePos.x), static_cast<WORD>(t_lastMessagePos.y)));
}
