// The registry of window classes.
#include <algorithm>
#include <cstring>

#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

constexpr int MaxExtraBytes = 4096;
constexpr size_t MaxClassNameLength = 256;
constexpr ATOM FirstClassAtom = 0xC000;

struct ClassRegistry {
  std::vector<std::shared_ptr<WindowClassRecord>> classes;  // guarded by the tree lock
  ATOM nextAtom = FirstClassAtom;
};

ClassRegistry& Classes() {
  static ClassRegistry* registry = new ClassRegistry;
  return *registry;
}

bool IsAtom(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

ATOM NewAtomLocked() {
  ClassRegistry& registry = Classes();
  for (int tries = 0; tries < 0x4000; ++tries) {
    const ATOM atom = registry.nextAtom;
    registry.nextAtom = atom == 0xFFFF ? FirstClassAtom : static_cast<ATOM>(atom + 1);
    const bool used = std::any_of(registry.classes.begin(), registry.classes.end(),
                                  [atom](const auto& c) { return c->atom == atom; });
    if (!used) return atom;
  }
  return 0;
}

ATOM Register(const WNDCLASSEXA& wc) {
  const size_t nameLength = wc.lpszClassName && !IsAtom(wc.lpszClassName)
                                ? strnlen(wc.lpszClassName, MaxClassNameLength + 1)
                                : 0;
  if (nameLength == 0 || nameLength > MaxClassNameLength || !wc.lpfnWndProc || wc.cbClsExtra < 0 ||
      wc.cbWndExtra < 0 || wc.cbClsExtra > MaxExtraBytes || wc.cbWndExtra > MaxExtraBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(TreeLock());
  if (FindClassLocked(wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  const ATOM atom = NewAtomLocked();
  if (atom == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto record = std::make_shared<WindowClassRecord>();
  record->name.assign(wc.lpszClassName, nameLength);
  record->atom = atom;
  record->instance = wc.hInstance;
  record->style = wc.style;
  record->procedure = wc.lpfnWndProc;
  record->windowExtra = wc.cbWndExtra;
  record->icon = wc.hIcon;
  record->smallIcon = wc.hIconSm;
  record->cursor = wc.hCursor;
  record->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IsAtom(wc.lpszMenuName)) {
    record->menuNameText = wc.lpszMenuName;
    record->menuName = record->menuNameText.c_str();
  } else {
    record->menuName = wc.lpszMenuName;
  }
  record->classExtra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
  Classes().classes.push_back(std::move(record));
  return atom;
}

std::shared_ptr<WindowClassRecord> ClassOfLocked(HWND hwnd) {
  WindowRecord* window = RecordLocked(hwnd);
  if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window ? window->windowClass : nullptr;
}

void FillClassInfo(const WindowClassRecord& record, LPCSTR className, WNDCLASSEXA& wc) {
  wc.style = record.style;
  wc.lpfnWndProc = record.procedure;
  wc.cbClsExtra = static_cast<int>(record.classExtra.size());
  wc.cbWndExtra = record.windowExtra;
  wc.hInstance = record.instance;
  wc.hIcon = record.icon;
  wc.hIconSm = record.smallIcon;
  wc.hCursor = record.cursor;
  wc.hbrBackground = record.background;
  wc.lpszMenuName = record.menuName;
  wc.lpszClassName = className;
}

}  // namespace

std::shared_ptr<WindowClassRecord> FindClassLocked(LPCSTR className) {
  if (!className) return nullptr;
  for (const auto& record : Classes().classes) {
    if (IsAtom(className) ? record->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(className))
                          : EqualNamesNoCase(record->name, className)) {
      return record;
    }
  }
  return nullptr;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (!windowClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = windowClass->style;
  wc.lpfnWndProc = windowClass->lpfnWndProc;
  wc.cbClsExtra = windowClass->cbClsExtra;
  wc.cbWndExtra = windowClass->cbWndExtra;
  wc.hInstance = windowClass->hInstance;
  wc.hIcon = windowClass->hIcon;
  wc.hCursor = windowClass->hCursor;
  wc.hbrBackground = windowClass->hbrBackground;
  wc.lpszMenuName = windowClass->lpszMenuName;
  wc.lpszClassName = windowClass->lpszClassName;
  return Register(wc);
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*windowClass);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
  std::lock_guard lock(TreeLock());
  const auto record = FindClassLocked(className);
  if (!record) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (record->liveWindows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::erase(Classes().classes, record);
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR className, WNDCLASSEXA* windowClass) {
  if (!windowClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(TreeLock());
  const auto record = FindClassLocked(className);
  if (!record) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  FillClassInfo(*record, className, *windowClass);
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass) {
  if (!windowClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, className, &wc)) return FALSE;
  *windowClass = WNDCLASSA{wc.style,   wc.lpfnWndProc,   wc.cbClsExtra,    wc.cbWndExtra,   wc.hInstance,
                           wc.hIcon,   wc.hCursor,       wc.hbrBackground, wc.lpszMenuName, wc.lpszClassName};
  return TRUE;
}

int GetClassNameA(HWND hwnd, LPSTR className, int maxCount) {
  if (!className || maxCount <= 0) return 0;
  std::lock_guard lock(TreeLock());
  const auto record = ClassOfLocked(hwnd);
  if (!record) return 0;
  const size_t n = std::min(record->name.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(className, record->name.data(), n);
  className[n] = '\0';
  return static_cast<int>(n);
}

ULONG_PTR GetClassLongPtrA(HWND hwnd, int index) {
  std::lock_guard lock(TreeLock());
  const auto record = ClassOfLocked(hwnd);
  if (!record) return 0;
  if (index >= 0) {
    ULONG_PTR value = 0;
    if (static_cast<size_t>(index) + sizeof value > record->classExtra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    std::memcpy(&value, record->classExtra.data() + index, sizeof value);
    return value;
  }
  switch (index) {
    case GCL_STYLE: return record->style;
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(record->procedure);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(record->windowExtra);
    case GCL_CBCLSEXTRA: return record->classExtra.size();
    case GCLP_HBRBACKGROUND: return record->background;
    case GCLP_HCURSOR: return record->cursor;
    case GCLP_HICON: return record->icon;
    case GCLP_HICONSM: return record->smallIcon;
    case GCLP_HMODULE: return record->instance;
    case GCLP_MENUNAME: return reinterpret_cast<ULONG_PTR>(record->menuName);
    case GCW_ATOM: return record->atom;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

ULONG_PTR SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  std::lock_guard lock(TreeLock());
  const auto record = ClassOfLocked(hwnd);
  if (!record) return 0;
  const auto newValue = static_cast<ULONG_PTR>(value);
  if (index >= 0) {
    ULONG_PTR old = 0;
    if (static_cast<size_t>(index) + sizeof old > record->classExtra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    std::memcpy(&old, record->classExtra.data() + index, sizeof old);
    std::memcpy(record->classExtra.data() + index, &newValue, sizeof newValue);
    return old;
  }
  ULONG_PTR old = 0;
  switch (index) {
    case GCL_STYLE: old = record->style; record->style = static_cast<UINT>(newValue); return old;
    case GCLP_WNDPROC:
      old = reinterpret_cast<ULONG_PTR>(record->procedure);
      record->procedure = reinterpret_cast<WNDPROC>(newValue);
      return old;
    case GCLP_HBRBACKGROUND: old = record->background; record->background = static_cast<HBRUSH>(newValue); return old;
    case GCLP_HCURSOR: old = record->cursor; record->cursor = static_cast<HCURSOR>(newValue); return old;
    case GCLP_HICON: old = record->icon; record->icon = static_cast<HICON>(newValue); return old;
    case GCLP_HICONSM: old = record->smallIcon; record->smallIcon = static_cast<HICON>(newValue); return old;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}
