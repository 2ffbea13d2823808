// Window properties: named handles attached to a window. Names are matched without case; an
// atom given in place of a name is the name "#<atom>".
#include <algorithm>
#include <string>

#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

// The name a property is stored under; empty for no name.
std::string PropertyKey(LPCSTR name) {
  const auto value = reinterpret_cast<uintptr_t>(name);
  if (value == 0) return {};
  if (value < 0x10000) {
    std::string key(1, '#');
    key += std::to_string(value);
    return key;
  }
  return name;
}

auto FindProperty(WindowRecord& window, const std::string& key) {
  return std::find_if(window.properties.begin(), window.properties.end(),
                      [&key](const auto& entry) { return EqualNamesNoCase(entry.first, key); });
}

}  // namespace
}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
  const std::string key = PropertyKey(name);
  if (key.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window || window->life == WindowLife::Gone) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  auto it = FindProperty(*window, key);
  if (it != window->properties.end()) {
    it->second = data;
  } else {
    window->properties.emplace_back(key, data);
  }
  return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name) {
  const std::string key = PropertyKey(name);
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window || key.empty()) return 0;
  auto it = FindProperty(*window, key);
  return it == window->properties.end() ? 0 : it->second;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name) {
  const std::string key = PropertyKey(name);
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(hwnd);
  if (!window || key.empty()) return 0;
  auto it = FindProperty(*window, key);
  if (it == window->properties.end()) return 0;
  const HANDLE data = it->second;
  window->properties.erase(it);
  return data;
}
