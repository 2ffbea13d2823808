// Focus, activation, the foreground window and attached thread input.
#include "platform/user/focus.h"

#include <algorithm>

#include "platform/base/thread_services.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

// Guarded by the tree lock.
struct InputGlobals {
  HWND foreground = 0;
  std::vector<std::pair<DWORD, DWORD>> attachments;
};

InputGlobals& Globals() {
  static InputGlobals* globals = new InputGlobals;
  return *globals;
}

bool Alive(HWND hwnd) {
  WindowRecord* window = RecordLocked(hwnd);
  return window && window->life != WindowLife::Gone;
}

// The input state the window's thread uses; tree lock held.
std::shared_ptr<InputState> StateOfLocked(const WindowRecord& window) { return window.queue->inputState; }

// Moves the focus within one input state: WM_KILLFOCUS to the old window (which can already
// ask GetFocus for the new one), then WM_SETFOCUS to the new one if it still has the focus.
HWND ChangeFocus(const std::shared_ptr<InputState>& state, HWND hwnd) {
  HWND old;
  {
    std::lock_guard lock(TreeLock());
    old = state->focus;
    if (old == hwnd) return old;
    state->focus = hwnd;
    if (!Alive(old)) old = 0;
  }
  if (old) SendMessageA(old, WM_KILLFOCUS, static_cast<WPARAM>(hwnd), 0);
  bool still;
  {
    std::lock_guard lock(TreeLock());
    still = state->focus == hwnd && Alive(hwnd);
  }
  if (hwnd && still) SendMessageA(hwnd, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
  return old;
}

// Activates a top-level window in its thread's input state and makes it the foreground.
HWND Activate(HWND root) {
  HWND old;
  WORD minimized;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(root);
    if (!window || window->life == WindowLife::Gone) return 0;
    const auto state = StateOfLocked(*window);
    old = state->active;
    Globals().foreground = root;
    if (old == root) return old;
    state->active = root;
    if (!Alive(old)) old = 0;
    minimized = (window->style & WS_MINIMIZE) ? 1 : 0;
  }
  if (old) SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), static_cast<LPARAM>(root));
  SendMessageA(root, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, minimized), static_cast<LPARAM>(old));
  // The focus is inside the active window or nowhere.
  std::shared_ptr<InputState> state;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(root);
    if (!window) return old;
    state = StateOfLocked(*window);
    if (state->active != root || state->focus == 0 || state->focus == root || IsDescendantLocked(root, state->focus)) {
      return old;
    }
  }
  ChangeFocus(state, 0);
  return old;
}

bool CanTakeActivation(const WindowRecord& window, const std::shared_ptr<InputState>& state) {
  return window.life == WindowLife::Alive && !window.destroyStarted && (window.style & WS_VISIBLE) &&
         !(window.style & WS_DISABLED) && !(window.exStyle & WS_EX_NOACTIVATE) && StateOfLocked(window) == state;
}

// The window that becomes active when the active one is hidden or destroyed: its owner, else
// the topmost other top-level window that can take it; 0 for none.
HWND SuccessorLocked(const WindowRecord& leaving, const std::shared_ptr<InputState>& state) {
  if (WindowRecord* owner = RecordLocked(leaving.owner); owner && CanTakeActivation(*owner, state)) {
    return leaving.owner;
  }
  for (HWND top : TopLevelWindowsLocked(false)) {
    WindowRecord* window = RecordLocked(top);
    if (top != leaving.handle && window && window->owner != leaving.handle && CanTakeActivation(*window, state)) {
      return top;
    }
  }
  return 0;
}

std::shared_ptr<ThreadQueue> QueueForAttach(DWORD threadId) {
  return threadId == GetCurrentThreadId() ? CurrentQueueShared() : QueueOfThread(threadId);
}

// After attachments were removed: every connected group of the threads that shared `state`
// gets a state of its own (the first keeps the old one), and focus and activation go with
// the thread that owns the window.
void RegroupLocked(const std::shared_ptr<InputState>& state, const std::vector<std::shared_ptr<ThreadQueue>>& all) {
  std::vector<std::shared_ptr<ThreadQueue>> members;
  for (const auto& queue : all) {
    if (queue->inputState == state) members.push_back(queue);
  }
  std::vector<bool> placed(members.size(), false);
  bool first = true;
  for (size_t start = 0; start < members.size(); ++start) {
    if (placed[start]) continue;
    // The threads connected to members[start].
    std::vector<DWORD> group{members[start]->threadId};
    placed[start] = true;
    for (bool grew = true; grew;) {
      grew = false;
      for (size_t i = 0; i < members.size(); ++i) {
        if (placed[i]) continue;
        const DWORD id = members[i]->threadId;
        const bool linked = std::any_of(Globals().attachments.begin(), Globals().attachments.end(), [&](auto& p) {
          const bool aIn = std::find(group.begin(), group.end(), p.first) != group.end();
          const bool bIn = std::find(group.begin(), group.end(), p.second) != group.end();
          return (aIn && p.second == id) || (bIn && p.first == id);
        });
        if (linked) {
          group.push_back(id);
          placed[i] = grew = true;
        }
      }
    }
    if (first) {
      first = false;
      continue;
    }
    auto own = std::make_shared<InputState>();
    const auto ownedByGroup = [&](HWND hwnd) {
      WindowRecord* window = RecordLocked(hwnd);
      return window && std::find(group.begin(), group.end(), window->threadId) != group.end();
    };
    if (ownedByGroup(state->focus)) std::swap(own->focus, state->focus);
    if (ownedByGroup(state->active)) std::swap(own->active, state->active);
    for (const auto& queue : members) {
      if (std::find(group.begin(), group.end(), queue->threadId) != group.end()) queue->inputState = own;
    }
  }
}

}  // namespace

void TakeFocusAwayFrom(HWND hwnd) {
  std::shared_ptr<InputState> state;
  HWND newFocus = 0;
  HWND successor = 0;
  bool moveFocus = false;
  bool wasActive = false;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return;
    state = StateOfLocked(*window);
    moveFocus = state->focus != 0 && (state->focus == hwnd || IsDescendantLocked(hwnd, state->focus));
    if (moveFocus && window->parent) {
      WindowRecord* parent = RecordLocked(window->parent);
      if (parent && parent->life == WindowLife::Alive && !parent->destroyStarted) newFocus = window->parent;
    }
    wasActive = state->active == hwnd;
    if (wasActive) successor = SuccessorLocked(*window, state);
    if (wasActive && !successor) state->active = 0;
    if (Globals().foreground == hwnd) Globals().foreground = 0;
  }
  if (moveFocus) ChangeFocus(state, newFocus);
  if (successor) {
    Activate(successor);
  } else if (wasActive) {
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  }
}

void ActivateTopLevel(HWND hwnd) { Activate(hwnd); }

void DropFocusWithin(HWND hwnd) {
  std::shared_ptr<InputState> state;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window) return;
    state = StateOfLocked(*window);
    if (state->focus == 0 || (state->focus != hwnd && !IsDescendantLocked(hwnd, state->focus))) return;
  }
  ChangeFocus(state, 0);
}

void ForgetInputStateLocked(HWND hwnd) {
  for (const auto& queue : AllQueues()) {
    InputState& state = *queue->inputState;
    if (state.focus == hwnd) state.focus = 0;
    if (state.active == hwnd) state.active = 0;
  }
  if (Globals().foreground == hwnd) Globals().foreground = 0;
}

void DetachThreadInputOnExit(DWORD threadId) {
  std::lock_guard lock(TreeLock());
  auto& attachments = Globals().attachments;
  const bool attached = std::any_of(attachments.begin(), attachments.end(), [threadId](auto& p) {
    return p.first == threadId || p.second == threadId;
  });
  if (!attached) return;
  std::erase_if(attachments, [threadId](auto& p) { return p.first == threadId || p.second == threadId; });
  const auto all = AllQueues();
  for (const auto& queue : all) {
    if (queue->threadId == threadId) RegroupLocked(queue->inputState, all);
  }
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

HWND SetFocus(HWND hwnd) {
  const std::shared_ptr<InputState> state = [] {
    std::lock_guard lock(TreeLock());
    return CurrentQueue().inputState;
  }();
  if (hwnd == 0) return ChangeFocus(state, 0);
  HWND previous;
  HWND root;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    if (!window || window->life == WindowLife::Gone) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (StateOfLocked(*window) != state) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
    previous = state->focus;
    if (previous == hwnd) return previous;
    root = RootLocked(hwnd);
    if (!Alive(previous)) previous = 0;
  }
  bool activate;
  {
    std::lock_guard lock(TreeLock());
    activate = state->active != root;
  }
  if (activate) Activate(root);
  ChangeFocus(state, hwnd);
  return previous;
}

HWND GetFocus() {
  std::lock_guard lock(TreeLock());
  const HWND focus = CurrentQueue().inputState->focus;
  return Alive(focus) ? focus : 0;
}

HWND SetActiveWindow(HWND hwnd) {
  std::shared_ptr<InputState> state;
  HWND root = 0;
  {
    std::lock_guard lock(TreeLock());
    state = CurrentQueue().inputState;
    if (hwnd != 0) {
      WindowRecord* window = RecordLocked(hwnd);
      if (!window || window->life == WindowLife::Gone) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
      }
      if (StateOfLocked(*window) != state) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
      }
      root = RootLocked(hwnd);
    }
  }
  if (root) return Activate(root);
  HWND old;
  {
    std::lock_guard lock(TreeLock());
    old = state->active;
    state->active = 0;
    if (!Alive(old)) old = 0;
    if (old && Globals().foreground == old) Globals().foreground = 0;
  }
  if (old) SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  return old;
}

HWND GetActiveWindow() {
  std::lock_guard lock(TreeLock());
  const HWND active = CurrentQueue().inputState->active;
  return Alive(active) ? active : 0;
}

HWND GetForegroundWindow() {
  std::lock_guard lock(TreeLock());
  const HWND foreground = Globals().foreground;
  return Alive(foreground) ? foreground : 0;
}

BOOL SetForegroundWindow(HWND hwnd) {
  HWND root;
  {
    std::lock_guard lock(TreeLock());
    if (!Alive(hwnd)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    root = RootLocked(hwnd);
  }
  Activate(root);
  return TRUE;
}

BOOL AttachThreadInput(DWORD idAttach, DWORD idAttachTo, BOOL attach) {
  const auto from = QueueForAttach(idAttach);
  const auto to = QueueForAttach(idAttachTo);
  if (idAttach == idAttachTo || !from || !to) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(TreeLock());
  auto& attachments = Globals().attachments;
  const auto pair = std::make_pair(idAttach, idAttachTo);
  if (!attach) {
    auto it = std::find_if(attachments.begin(), attachments.end(), [&](auto& p) {
      return p == pair || (p.first == idAttachTo && p.second == idAttach);
    });
    if (it == attachments.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    attachments.erase(it);
    RegroupLocked(from->inputState, AllQueues());
    return TRUE;
  }
  if (std::find(attachments.begin(), attachments.end(), pair) == attachments.end()) attachments.push_back(pair);
  std::shared_ptr<InputState> keep = to->inputState;
  std::shared_ptr<InputState> drop = from->inputState;
  if (keep == drop) return TRUE;
  // The merged state keeps the focus of the thread that has the foreground window, or else
  // of whichever has one.
  const HWND foreground = Globals().foreground;
  const auto holdsForeground = [foreground](const InputState& s) { return foreground && s.active == foreground; };
  if (holdsForeground(*drop) || (!holdsForeground(*keep) && !keep->focus && !keep->active)) std::swap(keep, drop);
  if (!keep->focus) keep->focus = drop->focus;
  if (!keep->active) keep->active = drop->active;
  for (const auto& queue : AllQueues()) {
    if (queue->inputState == drop) queue->inputState = keep;
  }
  from->inputState = keep;
  to->inputState = keep;
  return TRUE;
}
