#include "platform/user/thread_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "platform/base/thread_services.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<DWORD, std::weak_ptr<ThreadQueue>> queues;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // lives past every thread's end
  return *registry;
}

// The end of a thread ends its queue: its windows go (without messages, the thread can run
// no procedure any more) and whoever waits for an answer from it gets 0.
void EndQueue(const std::shared_ptr<ThreadQueue>& queue) {
  ReleaseWindowsOfThread(queue->threadId);
  DetachThreadInputOnExit(queue->threadId);
  std::deque<std::shared_ptr<SentMessage>> unanswered;
  {
    std::lock_guard lock(queue->mutex);
    queue->alive = false;
    unanswered.swap(queue->incoming);
    queue->posted.clear();
    queue->input.clear();
    queue->timers.clear();
    queue->needsPaint.clear();
  }
  for (const auto& sent : unanswered) AnswerSentMessage(*sent, 0);
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.queues.find(queue->threadId);
  if (it != registry.queues.end() && it->second.lock() == queue) registry.queues.erase(it);
}

struct QueueOwner {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueOwner() {
    if (queue) EndQueue(queue);
  }
};

thread_local QueueOwner t_owner;

ThreadQueue& MakeCurrentQueue() {
  auto queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.queues[queue->threadId] = queue;
  }
  t_owner.queue = std::move(queue);
  return *t_owner.queue;
}

}  // namespace

ThreadQueue::ThreadQueue(DWORD id) : threadId(id) {}

ThreadQueue::~ThreadQueue() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

void ThreadQueue::Arrived(UINT kinds) {
  newBits |= kinds;
  Wake();
}

void ThreadQueue::Wake() {
  if (wakeFd_ >= 0 && !fdSignalled_) {
    const uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) == sizeof one) fdSignalled_ = true;
  }
  if (waiting_) wakeup_.notify_one();
}

void ThreadQueue::Looked() {
  newBits = 0;
  DrainFd();
}

void ThreadQueue::DrainFd() {
  if (!fdSignalled_) return;
  uint64_t count = 0;
  while (read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  fdSignalled_ = false;
}

int ThreadQueue::WakeFd() {
  if (wakeFd_ < 0) wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return wakeFd_;
}

void ThreadQueue::WaitLocked(std::unique_lock<std::mutex>& lock, std::optional<QueueClock::time_point> deadline) {
  waiting_ = true;
  if (waitFunction_ && WakeFd() >= 0) {
    int timeoutMs = -1;
    if (deadline) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - QueueClock::now()).count();
      timeoutMs = static_cast<int>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
    }
    const QueueWaitFunction wait = waitFunction_;
    const int fd = wakeFd_;
    lock.unlock();
    wait(fd, timeoutMs);
    lock.lock();
    DrainFd();
  } else if (deadline) {
    wakeup_.wait_until(lock, *deadline);
  } else {
    wakeup_.wait(lock);
  }
  waiting_ = false;
}

ThreadQueue& CurrentQueue() {
  ThreadQueue* queue = t_owner.queue.get();
  return queue ? *queue : MakeCurrentQueue();
}

std::shared_ptr<ThreadQueue> CurrentQueueShared() {
  if (!t_owner.queue) MakeCurrentQueue();
  return t_owner.queue;
}

std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId) {
  if (threadId == GetCurrentThreadId()) return CurrentQueueShared();
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.queues.find(threadId);
  return it == registry.queues.end() ? nullptr : it->second.lock();
}

std::vector<std::shared_ptr<ThreadQueue>> AllQueues() {
  std::vector<std::shared_ptr<ThreadQueue>> all;
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  all.reserve(registry.queues.size());
  for (const auto& [id, weak] : registry.queues) {
    if (auto queue = weak.lock()) all.push_back(std::move(queue));
  }
  return all;
}

void ForgetWindowInQueue(ThreadQueue& queue, HWND hwnd) {
  std::lock_guard lock(queue.mutex);
  const auto forWindow = [hwnd](const MSG& msg) { return msg.hwnd == hwnd; };
  std::erase_if(queue.posted, forWindow);
  std::erase_if(queue.input, forWindow);
  std::erase(queue.needsPaint, hwnd);
  RemoveWindowTimersLocked(queue, hwnd);
}

}  // namespace quorlin::platform
