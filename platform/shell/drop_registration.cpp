// RegisterDragDrop / RevokeDragDrop and the lookup of a window's drop target.
#include <map>
#include <mutex>

#include "platform/com/com_ptr.h"
#include "platform/shell/drag_drop.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

struct Registrations {
  std::mutex lock;
  std::map<HWND, IDropTarget*> targets;  // one reference each
};

Registrations& Registry() {
  static auto* registry = new Registrations;
  return *registry;
}

// Forgets the targets of windows that died without revoking them.
void ForgetDeadWindowsLocked(std::vector<IDropTarget*>& released) {
  auto& targets = Registry().targets;
  for (auto it = targets.begin(); it != targets.end();) {
    if (!IsWindow(it->first)) {
      released.push_back(it->second);
      it = targets.erase(it);
    } else {
      ++it;
    }
  }
}

void ReleaseAll(const std::vector<IDropTarget*>& targets) {
  for (IDropTarget* t : targets) t->Release();
}

}  // namespace

IDropTarget* FindDropTarget(HWND hwnd, HWND* window) {
  IDropTarget* found = nullptr;
  std::vector<IDropTarget*> released;
  {
    std::lock_guard lock(Registry().lock);
    ForgetDeadWindowsLocked(released);
    for (HWND h = hwnd; h; h = GetAncestor(h, GA_PARENT)) {
      const auto it = Registry().targets.find(h);
      if (it != Registry().targets.end()) {
        found = it->second;
        found->AddRef();
        if (window) *window = h;
        break;
      }
    }
  }
  ReleaseAll(released);
  return found;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target) {
  // Registration needs OLE on the calling thread, which also initialises COM.
  if (!ComInitializedOnThisThread()) return E_OUTOFMEMORY;
  if (!IsWindow(hwnd)) return DRAGDROP_E_INVALIDHWND;
  if (!target) return E_INVALIDARG;
  std::vector<IDropTarget*> released;
  HRESULT result = S_OK;
  {
    std::lock_guard lock(Registry().lock);
    ForgetDeadWindowsLocked(released);
    auto [it, inserted] = Registry().targets.emplace(hwnd, target);
    if (inserted) {
      target->AddRef();
    } else {
      result = DRAGDROP_E_ALREADYREGISTERED;
    }
  }
  ReleaseAll(released);
  return result;
}

HRESULT RevokeDragDrop(HWND hwnd) {
  IDropTarget* target = nullptr;
  {
    std::lock_guard lock(Registry().lock);
    const auto it = Registry().targets.find(hwnd);
    if (it == Registry().targets.end()) return DRAGDROP_E_NOTREGISTERED;
    target = it->second;
    Registry().targets.erase(it);
  }
  target->Release();
  return S_OK;
}
