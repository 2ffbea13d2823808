// Inside the window layer: a thread's message queue and the records it holds.
//
// Lock order: the window tree lock (window_record.h) before a queue's mutex, and never two
// queue mutexes at once. No lock is held while a window procedure or callback runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/user/message_queue.h"
#include "platform/user/timers.h"

namespace quorlin::platform {

class ThreadQueue;
using QueueClock = std::chrono::steady_clock;

// A message sent to a window of another thread, alive until both sides are done with it.
struct SentMessage {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::shared_ptr<ThreadQueue> sender;  // null: nobody waits for the answer
  // Guarded by the sender's mutex.
  LRESULT result = 0;
  bool replied = false;
};

struct QueueTimer {
  HWND hwnd = 0;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  QueueClock::time_point due;
  bool ready = false;  // expired, WM_TIMER not yet taken
};

// Which messages a PeekMessageA or GetMessageA call takes.
struct MessageFilter {
  bool anyWindow = true;            // hwnd 0
  bool threadOnly = false;          // hwnd -1
  std::vector<HWND> windows;        // a window and its descendants
  UINT min = 0;
  UINT max = 0;

  bool Accepts(HWND hwnd, UINT message) const;
};

// Focus and activation, shared by threads whose input is attached.
struct InputState {
  HWND focus = 0;
  HWND active = 0;
};

class ThreadQueue {
 public:
  explicit ThreadQueue(DWORD threadId);
  ~ThreadQueue();
  ThreadQueue(const ThreadQueue&) = delete;
  ThreadQueue& operator=(const ThreadQueue&) = delete;

  const DWORD threadId;
  std::mutex mutex;

  // Guarded by mutex.
  std::deque<MSG> posted;
  std::deque<MSG> input;
  std::deque<std::shared_ptr<SentMessage>> incoming;
  std::vector<QueueTimer> timers;
  std::vector<HWND> needsPaint;
  bool quitPending = false;
  int quitCode = 0;
  UINT newBits = 0;  // QS_ kinds that arrived since the owner last looked
  bool alive = true;

  // Guarded by the window tree lock.
  std::shared_ptr<InputState> inputState = std::make_shared<InputState>();

  // Records new content of these kinds and wakes the owner. Call with mutex held.
  void Arrived(UINT kinds);
  // Wakes the owner without new content (a timer changed). Call with mutex held.
  void Wake();
  // The owner looked at the queue: clears the new kinds and drains the wake fd.
  void Looked();
  // Sleeps until woken or until the deadline; mutex held on entry and on return.
  void WaitLocked(std::unique_lock<std::mutex>& lock, std::optional<QueueClock::time_point> deadline);

  int WakeFd();  // made on first use
  void SetWaitFunction(QueueWaitFunction wait) { waitFunction_ = wait; }
  QueueWaitFunction WaitFunction() const { return waitFunction_; }

 private:
  void DrainFd();

  std::condition_variable wakeup_;
  bool waiting_ = false;
  int wakeFd_ = -1;
  bool fdSignalled_ = false;
  QueueWaitFunction waitFunction_ = nullptr;  // owner thread only
};

// MSG.lPrivate of keyboard input: the message goes to the keyboard focus of the moment it is
// taken from the queue, so that keys typed while the thread was busy reach the window an earlier
// click in the queue gave the focus.
inline constexpr DWORD kToKeyboardFocus = 1;

// The calling thread's queue, made on first use.
ThreadQueue& CurrentQueue();
std::shared_ptr<ThreadQueue> CurrentQueueShared();
// The queue of a thread that has one, or null.
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
// Every live queue.
std::vector<std::shared_ptr<ThreadQueue>> AllQueues();

// Handles every message other threads sent to the calling thread.
void HandleIncomingSentMessages(ThreadQueue& queue);
// Answers a sent message once; later answers are dropped.
void AnswerSentMessage(SentMessage& sent, LRESULT result);

// Timers (timers.cpp); all with the queue's mutex held.
// Marks expired timers ready (and QS_TIMER new); the next period starts now.
void UpdateTimersLocked(ThreadQueue& queue, QueueClock::time_point now);
// When the next timer that is not ready expires.
std::optional<QueueClock::time_point> NextTimerDueLocked(const ThreadQueue& queue);
// WM_TIMER of the first ready timer the filter accepts. Taking it clears the timer's ready
// mark and moves the timer behind the others, so that every timer gets its turn.
bool TakeTimerMessageLocked(ThreadQueue& queue, const MessageFilter& filter, bool remove, MSG* msg);
bool TimerHasProcLocked(const ThreadQueue& queue, HWND hwnd, UINT_PTR id, TIMERPROC proc);
bool AnyTimerReadyLocked(const ThreadQueue& queue);
void RemoveWindowTimersLocked(ThreadQueue& queue, HWND hwnd);

// The queue's window had its last message: drops its queued messages, timers and paint flag.
void ForgetWindowInQueue(ThreadQueue& queue, HWND hwnd);

}  // namespace quorlin::platform
