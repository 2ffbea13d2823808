// Sent messages: a direct call on the window's own thread, a hand-over through the
// receiver's queue otherwise.
#include "platform/base/thread_services.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

// The message another thread sent that the calling thread is handling, or null.
thread_local SentMessage* t_handling = nullptr;

void HandleSentMessage(const std::shared_ptr<SentMessage>& sent) {
  SentMessage* outer = t_handling;
  t_handling = sent.get();
  LRESULT result = 0;
  if (auto window = FindWindowRecord(sent->hwnd); window && window->threadId == GetCurrentThreadId()) {
    result = CallProcedureOf(*window, sent->message, sent->wParam, sent->lParam);
  }
  t_handling = outer;
  AnswerSentMessage(*sent, result);
}

// Hands the message to the window's thread; false when that thread is gone.
bool Deliver(WindowRecord& window, std::shared_ptr<SentMessage> sent) {
  ThreadQueue& receiver = *window.queue;
  std::lock_guard lock(receiver.mutex);
  if (!receiver.alive) return false;
  receiver.incoming.push_back(std::move(sent));
  receiver.Arrived(QS_SENDMESSAGE);
  return true;
}

// Sends to a window of another thread and waits for the answer, handling messages sent to
// this thread meanwhile (unless SMTO_BLOCK). False when the receiver is gone or the deadline
// passed.
bool SendAcross(WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                std::optional<QueueClock::time_point> deadline, LRESULT& result) {
  const std::shared_ptr<ThreadQueue> self = CurrentQueueShared();
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = window.handle;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  sent->sender = self;
  if (!Deliver(window, sent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  std::unique_lock lock(self->mutex);
  for (;;) {
    if (sent->replied) {
      result = sent->result;
      return true;
    }
    if ((flags & SMTO_BLOCK) == 0 && !self->incoming.empty()) {
      lock.unlock();
      HandleIncomingSentMessages(*self);
      lock.lock();
      continue;
    }
    if (deadline && QueueClock::now() >= *deadline) {
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    self->WaitLocked(lock, deadline);
  }
}

}  // namespace

void HandleIncomingSentMessages(ThreadQueue& queue) {
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.incoming.empty()) return;
      sent = std::move(queue.incoming.front());
      queue.incoming.pop_front();
    }
    HandleSentMessage(sent);
  }
}

void AnswerSentMessage(SentMessage& sent, LRESULT result) {
  if (!sent.sender) return;
  ThreadQueue& sender = *sent.sender;
  std::lock_guard lock(sender.mutex);
  if (sent.replied) return;
  sent.result = result;
  sent.replied = true;
  sender.Wake();
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  if (window->threadId == GetCurrentThreadId()) return CallProcedureOf(*window, message, wParam, lParam);
  LRESULT result = 0;
  SendAcross(*window, message, wParam, lParam, SMTO_NORMAL, std::nullopt, result);
  return result;
}

LRESULT SendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                            DWORD_PTR* result) {
  if (result) *result = 0;
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  LRESULT answer = 0;
  if (window->threadId == GetCurrentThreadId()) {
    answer = CallProcedureOf(*window, message, wParam, lParam);
  } else if (!SendAcross(*window, message, wParam, lParam, flags,
                         QueueClock::now() + std::chrono::milliseconds(timeoutMs), answer)) {
    return 0;
  }
  if (result) *result = static_cast<DWORD_PTR>(answer);
  return 1;
}

BOOL SendNotifyMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return FALSE;
  if (window->threadId == GetCurrentThreadId()) {
    CallProcedureOf(*window, message, wParam, lParam);
    return TRUE;
  }
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  return Deliver(*window, std::move(sent)) ? TRUE : FALSE;
}

BOOL InSendMessage() { return t_handling != nullptr ? TRUE : FALSE; }

BOOL ReplyMessage(LRESULT result) {
  if (!t_handling || !t_handling->sender) return FALSE;
  AnswerSentMessage(*t_handling, result);
  return TRUE;
}
