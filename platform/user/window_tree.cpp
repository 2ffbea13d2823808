// The window tree: records by handle, the lists of top-level windows, and the questions
// about parents, children, owners and siblings.
#include <algorithm>
#include <cstring>

#include "platform/base/thread_services.h"
#include "platform/gdi/gdi.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

struct TopLevelLists {
  std::vector<HWND> ordinary;     // z-order, the top first
  std::vector<HWND> messageOnly;  // children of HWND_MESSAGE
};

TopLevelLists& Lists() {
  static TopLevelLists* lists = new TopLevelLists;  // lives past every thread's end
  return *lists;
}

bool IsAtom(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

bool ClassMatches(const WindowRecord& window, LPCSTR className) {
  if (!className) return true;
  if (IsAtom(className)) return window.windowClass->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(className));
  return EqualNamesNoCase(window.windowClass->name, className);
}

bool Matches(const WindowRecord& window, LPCSTR className, LPCSTR windowName) {
  return ClassMatches(window, className) && (!windowName || EqualNamesNoCase(window.text, windowName));
}

// The siblings list hwnd is in.
std::vector<HWND>* SiblingsLocked(const WindowRecord& window) {
  if (window.parent) {
    WindowRecord* parent = RecordLocked(window.parent);
    return parent ? &parent->children : nullptr;
  }
  return &TopLevelWindowsLocked(window.messageOnly);
}

void CollectAllLocked(std::vector<HWND>& out) {
  for (bool messageOnly : {false, true}) {
    for (HWND top : TopLevelWindowsLocked(messageOnly)) {
      out.push_back(top);
      CollectDescendantsLocked(top, out);
    }
  }
}

void ReleaseSubtreeLocked(HWND hwnd, std::vector<std::shared_ptr<WindowRecord>>& keep) {
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return;
  for (HWND child : std::vector<HWND>(window->children)) ReleaseSubtreeLocked(child, keep);
  keep.push_back(FindWindowRecord(hwnd));
  ReleaseWindowLocked(*window);
}

// Calls back for each window of a snapshot that is still there; stops at FALSE.
BOOL EnumerateSnapshot(const std::vector<HWND>& windows, WNDENUMPROC callback, LPARAM lParam) {
  if (!callback) return FALSE;
  for (HWND hwnd : windows) {
    if (!IsWindow(hwnd)) continue;
    if (!callback(hwnd, lParam)) return FALSE;
  }
  return TRUE;
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

unsigned char AsciiLower(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

std::mutex& TreeLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

std::shared_ptr<WindowRecord> FindWindowRecord(HWND hwnd) {
  if (hwnd == 0) return nullptr;
  return LookupHandleAs<WindowRecord>(hwnd, HandleKind::Window);
}

std::shared_ptr<WindowRecord> WindowRecordOrError(HWND hwnd) {
  auto window = FindWindowRecord(hwnd);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

WindowRecord* RecordLocked(HWND hwnd) {
  // Records are released only under the tree lock, so the table's reference outlives ours.
  return FindWindowRecord(hwnd).get();
}

LRESULT CallProcedureOf(const WindowRecord& window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC procedure = window.procedure.load(std::memory_order_acquire);
  return procedure ? procedure(window.handle, message, wParam, lParam) : 0;
}

std::vector<HWND>& TopLevelWindowsLocked(bool messageOnly) {
  return messageOnly ? Lists().messageOnly : Lists().ordinary;
}

HWND RootLocked(HWND hwnd) {
  WindowRecord* window = RecordLocked(hwnd);
  while (window && window->parent) {
    hwnd = window->parent;
    window = RecordLocked(hwnd);
  }
  return window ? hwnd : 0;
}

bool IsDescendantLocked(HWND ancestor, HWND hwnd) {
  WindowRecord* window = RecordLocked(hwnd);
  while (window && window->parent) {
    if (window->parent == ancestor) return true;
    window = RecordLocked(window->parent);
  }
  return false;
}

void CollectDescendantsLocked(HWND hwnd, std::vector<HWND>& out) {
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return;
  for (HWND child : window->children) {
    out.push_back(child);
    CollectDescendantsLocked(child, out);
  }
}

void LinkWindowLocked(WindowRecord& window) {
  if (window.parent) {
    if (WindowRecord* parent = RecordLocked(window.parent)) parent->children.push_back(window.handle);
  } else {
    auto& list = TopLevelWindowsLocked(window.messageOnly);
    list.insert(list.begin(), window.handle);
  }
}

void ReleaseWindowLocked(WindowRecord& window) {
  if (std::vector<HWND>* siblings = SiblingsLocked(window)) std::erase(*siblings, window.handle);
  for (bool messageOnly : {false, true}) {
    for (HWND top : TopLevelWindowsLocked(messageOnly)) {
      WindowRecord* other = RecordLocked(top);
      if (other && other->owner == window.handle) other->owner = 0;
    }
  }
  ForgetInputStateLocked(window.handle);
  --window.windowClass->liveWindows;
  window.life = WindowLife::Gone;
  window.children.clear();
  window.properties.clear();
  for (const auto& dc : window.deviceContexts) DeleteDC(dc.first);
  window.deviceContexts.clear();
  window.surface.reset();
  ForgetWindowInQueue(*window.queue, window.handle);
  ReleaseHandle(window.handle, HandleKind::Window);
}

void ReleaseWindowsOfThread(DWORD threadId) {
  std::vector<std::shared_ptr<WindowRecord>> released;  // destroyed after the lock is left
  std::lock_guard lock(TreeLock());
  std::vector<HWND> all;
  CollectAllLocked(all);
  for (HWND hwnd : all) {
    WindowRecord* window = RecordLocked(hwnd);
    if (window && window->threadId == threadId) ReleaseSubtreeLocked(hwnd, released);
  }
}

bool EqualNamesNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(ca) && i + 1 < a.size()) {
      if (ca != cb || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (AsciiLower(ca) != AsciiLower(cb)) {
      return false;
    }
  }
  return true;
}

size_t CharacterBoundaryPrefix(std::string_view text, size_t maxBytes) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t step = IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    if (at + step > maxBytes) break;
    at += step;
  }
  return at;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL IsWindow(HWND hwnd) {
  if (hwnd == 0) return FALSE;
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  return window && window->life != WindowLife::Gone ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->style & WS_CHILD) return window->parent;
  if (window->style & WS_POPUP) return window->owner;
  return 0;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) return 0;
  switch (flags) {
    case GA_PARENT: return window->parent;
    case GA_ROOT: return RootLocked(hwnd);
    case GA_ROOTOWNER: {
      HWND root = RootLocked(hwnd);
      for (WindowRecord* top = RecordLocked(root); top && top->owner; top = RecordLocked(root)) root = top->owner;
      return root;
    }
    default: return 0;
  }
}

HWND GetWindow(HWND hwnd, UINT command) {
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (command == GW_CHILD) return window->children.empty() ? 0 : window->children.front();
  if (command == GW_OWNER) return window->owner;
  const std::vector<HWND>* siblings = SiblingsLocked(*window);
  if (!siblings || siblings->empty()) return 0;
  const auto at = std::find(siblings->begin(), siblings->end(), hwnd);
  switch (command) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return at == siblings->end() || at + 1 == siblings->end() ? 0 : *(at + 1);
    case GW_HWNDPREV: return at == siblings->end() || at == siblings->begin() ? 0 : *(at - 1);
    case GW_ENABLEDPOPUP: return 0;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

BOOL IsChild(HWND parent, HWND hwnd) {
  std::lock_guard lock(TreeLock());
  return parent != 0 && IsDescendantLocked(parent, hwnd) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  const auto window = WindowRecordOrError(hwnd);
  if (!window) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return window->threadId;
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  std::lock_guard lock(TreeLock());
  const std::vector<HWND>* list;
  if (parent == 0 || parent == HWND_MESSAGE) {
    list = &TopLevelWindowsLocked(parent == HWND_MESSAGE);
  } else if (WindowRecord* window = RecordLocked(parent)) {
    list = &window->children;
  } else {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  auto at = list->begin();
  if (childAfter) {
    at = std::find(list->begin(), list->end(), childAfter);
    if (at == list->end()) return 0;
    ++at;
  }
  for (; at != list->end(); ++at) {
    WindowRecord* window = RecordLocked(*at);
    if (window && Matches(*window, className, windowName)) return *at;
  }
  return 0;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) { return FindWindowExA(0, 0, className, windowName); }

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
  if (parent == 0) return EnumWindows(callback, lParam);
  std::vector<HWND> windows;
  {
    std::lock_guard lock(TreeLock());
    CollectDescendantsLocked(parent, windows);
  }
  return EnumerateSnapshot(windows, callback, lParam);
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam) {
  std::vector<HWND> windows;
  {
    std::lock_guard lock(TreeLock());
    windows = TopLevelWindowsLocked(false);
  }
  return EnumerateSnapshot(windows, callback, lParam);
}
