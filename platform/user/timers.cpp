#include "platform/user/timers.h"

#include <algorithm>
#include <atomic>

#include "platform/base/thread_services.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

constexpr size_t MaxTimersPerQueue = 10000;

bool IsTimer(const QueueTimer& timer, HWND hwnd, UINT_PTR id) { return timer.hwnd == hwnd && timer.id == id; }

UINT_PTR NewThreadTimerIdLocked(const ThreadQueue& queue) {
  static std::atomic<UINT_PTR> next{0x7FFE0000};  // out of the way of ids programs pick
  for (;;) {
    const UINT_PTR id = next.fetch_add(1, std::memory_order_relaxed);
    const bool used = std::any_of(queue.timers.begin(), queue.timers.end(),
                                  [id](const QueueTimer& t) { return IsTimer(t, 0, id); });
    if (id != 0 && !used) return id;
  }
}

// The queue a timer of hwnd lives in; null (with the error set) for a window that is gone.
std::shared_ptr<ThreadQueue> TimerQueueOf(HWND hwnd) {
  if (hwnd == 0) return CurrentQueueShared();
  const auto window = WindowRecordOrError(hwnd);
  return window ? window->queue : nullptr;
}

}  // namespace

void UpdateTimersLocked(ThreadQueue& queue, QueueClock::time_point now) {
  for (QueueTimer& timer : queue.timers) {
    if (now < timer.due) continue;
    if (!timer.ready) queue.newBits |= QS_TIMER;
    timer.ready = true;
    timer.due = now + std::chrono::milliseconds(timer.elapse);
  }
}

std::optional<QueueClock::time_point> NextTimerDueLocked(const ThreadQueue& queue) {
  std::optional<QueueClock::time_point> next;
  for (const QueueTimer& timer : queue.timers) {
    if (!timer.ready && (!next || timer.due < *next)) next = timer.due;
  }
  return next;
}

bool TakeTimerMessageLocked(ThreadQueue& queue, const MessageFilter& filter, bool remove, MSG* msg) {
  for (auto it = queue.timers.begin(); it != queue.timers.end(); ++it) {
    if (!it->ready || !filter.Accepts(it->hwnd, WM_TIMER)) continue;
    *msg = MSG{it->hwnd, WM_TIMER, it->id, reinterpret_cast<LPARAM>(it->proc), GetTickCount(), {}, 0};
    if (remove) {
      it->ready = false;
      std::rotate(it, it + 1, queue.timers.end());
    }
    return true;
  }
  return false;
}

bool TimerHasProcLocked(const ThreadQueue& queue, HWND hwnd, UINT_PTR id, TIMERPROC proc) {
  return std::any_of(queue.timers.begin(), queue.timers.end(),
                     [&](const QueueTimer& t) { return IsTimer(t, hwnd, id) && t.proc == proc; });
}

bool AnyTimerReadyLocked(const ThreadQueue& queue) {
  return std::any_of(queue.timers.begin(), queue.timers.end(), [](const QueueTimer& t) { return t.ready; });
}

void RemoveWindowTimersLocked(ThreadQueue& queue, HWND hwnd) {
  std::erase_if(queue.timers, [hwnd](const QueueTimer& t) { return t.hwnd == hwnd; });
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapseMs, TIMERPROC timerProc) {
  const auto queue = TimerQueueOf(hwnd);
  if (!queue) return 0;
  const UINT elapse = std::clamp(elapseMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  std::lock_guard lock(queue->mutex);
  if (!queue->alive) return 0;
  const auto due = QueueClock::now() + std::chrono::milliseconds(elapse);
  const UINT_PTR answer = hwnd != 0 && idEvent == 0 ? 1 : idEvent;
  auto existing = std::find_if(queue->timers.begin(), queue->timers.end(),
                               [&](const QueueTimer& t) { return IsTimer(t, hwnd, idEvent); });
  if (existing != queue->timers.end() && (hwnd != 0 || idEvent != 0)) {
    existing->elapse = elapse;
    existing->proc = timerProc;
    existing->due = due;
    existing->ready = false;
    queue->Wake();
    return answer;
  }
  if (queue->timers.size() >= MaxTimersPerQueue) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  QueueTimer timer;
  timer.hwnd = hwnd;
  timer.id = hwnd != 0 ? idEvent : NewThreadTimerIdLocked(*queue);
  timer.elapse = elapse;
  timer.proc = timerProc;
  timer.due = due;
  queue->timers.push_back(timer);
  queue->Wake();  // the owner may be waiting for a later deadline
  return hwnd != 0 ? answer : timer.id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR idEvent) {
  const auto queue = TimerQueueOf(hwnd);
  if (!queue) return FALSE;
  std::lock_guard lock(queue->mutex);
  const size_t removed =
      std::erase_if(queue->timers, [&](const QueueTimer& t) { return IsTimer(t, hwnd, idEvent); });
  if (removed == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
