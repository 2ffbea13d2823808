#include "platform/user/input_held_wait.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/base/thread_services.h"
#include "platform/user/cursors.h"
#include "platform/user/thread_queue.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

constexpr auto kTickPeriod = std::chrono::milliseconds(10);

thread_local int t_holdingInput = 0;
thread_local uint64_t t_heldWaitSerial = 0;
std::atomic<uint64_t> g_heldWaitsBegun{0};

struct TickHook {
  std::mutex mutex;
  HeldWaitTick tick = nullptr;
  void* context = nullptr;
};

TickHook& TheTickHook() {
  static auto* hook = new TickHook;
  return *hook;
}

struct InputActions {
  std::mutex mutex;
  WPARAM next = 1;
  std::unordered_map<WPARAM, std::function<void()>> pending;
};

InputActions& TheInputActions() {
  static InputActions actions;
  return actions;
}

// Each window of the queue that waits for WM_PAINT gets it once.
void PaintWaitingWindows(ThreadQueue& queue) {
  std::vector<HWND> waiting;
  {
    std::lock_guard lock(queue.mutex);
    waiting = queue.needsPaint;
  }
  for (HWND hwnd : waiting) {
    const MSG paint{hwnd, WM_PAINT, 0, 0, GetTickCount(), {}, 0};
    DispatchMessageA(&paint);
  }
}

std::pair<HeldWaitTick, void*> CurrentTick() {
  TickHook& hook = TheTickHook();
  std::lock_guard lock(hook.mutex);
  return {hook.tick, hook.context};
}

}  // namespace

void RunWithInputHeld(const std::function<void()>& work) {
  const std::shared_ptr<ThreadQueue> queue = CurrentQueueShared();
  bool done = false;  // guarded by the queue's mutex
  std::thread worker([&work, &done, queue] {
    work();
    std::lock_guard lock(queue->mutex);
    done = true;
    queue->Wake();
  });
  ++t_holdingInput;
  const uint64_t outerWait = std::exchange(t_heldWaitSerial, ++g_heldWaitsBegun);
  const HCURSOR shownBefore = SetCursor(LoadCursorA(0, IDC_WAIT));
  for (;;) {
    PaintWaitingWindows(*queue);
    const auto [tick, context] = CurrentTick();
    if (tick) tick(context);
    std::unique_lock lock(queue->mutex);
    if (done) break;
    std::optional<QueueClock::time_point> deadline;
    if (tick) deadline = QueueClock::now() + kTickPeriod;
    // Input arriving wakes this wait too; it stays queued and the wait goes on.
    queue->WaitLocked(lock, deadline);
  }
  worker.join();
  SetCursor(shownBefore);
  t_heldWaitSerial = outerWait;
  --t_holdingInput;
}

bool InputHeld() { return t_holdingInput > 0; }

uint64_t HeldWaitSerial() { return t_heldWaitSerial; }

BOOL PostInputAction(HWND hwnd, std::function<void()> action) {
  if (!IsWindow(hwnd)) return FALSE;
  InputActions& actions = TheInputActions();
  WPARAM id = 0;
  {
    std::lock_guard lock(actions.mutex);
    id = actions.next++;
    actions.pending.emplace(id, std::move(action));
  }
  if (PostInputMessage(MSG{hwnd, WM_INPUT_ACTION, id, 0, 0, {}, 0})) return TRUE;
  std::lock_guard lock(actions.mutex);
  actions.pending.erase(id);
  return FALSE;
}

void RunInputAction(WPARAM id) {
  std::function<void()> action;
  {
    InputActions& actions = TheInputActions();
    std::lock_guard lock(actions.mutex);
    const auto it = actions.pending.find(id);
    if (it == actions.pending.end()) return;
    action = std::move(it->second);
    actions.pending.erase(it);
  }
  action();
}

void SetHeldWaitTick(HeldWaitTick tick, void* context) {
  TickHook& hook = TheTickHook();
  std::lock_guard lock(hook.mutex);
  hook.tick = tick;
  hook.context = context;
}

}  // namespace quorlin::platform
