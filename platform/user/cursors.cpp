#include "platform/user/cursors.h"

#include <array>
#include <mutex>
#include <utility>

#include "platform/base/handle_table.h"
#include "platform/base/last_error.h"
#include "platform/user/window_core.h"
#include "platform/user/window_frame.h"

namespace quorlin::platform {
namespace {

struct StandardCursor : HandleObject {
  CursorShape shape;
  explicit StandardCursor(CursorShape s) : shape(s) {}
};

struct CursorId {
  WORD id;
  CursorShape shape;
};

constexpr CursorId kStandardCursors[] = {
    {32512, CursorShape::Arrow},   {32513, CursorShape::IBeam},    {32514, CursorShape::Wait},
    {32515, CursorShape::Cross},   {32516, CursorShape::UpArrow},  {32640, CursorShape::SizeAll},
    {32641, CursorShape::Arrow},   {32642, CursorShape::SizeNWSE}, {32643, CursorShape::SizeNESW},
    {32644, CursorShape::SizeWE},  {32645, CursorShape::SizeNS},   {32646, CursorShape::SizeAll},
    {32648, CursorShape::No},      {32649, CursorShape::Hand},     {32650, CursorShape::AppStarting},
    {32651, CursorShape::Help},
};
constexpr size_t kCursorCount = std::size(kStandardCursors);

struct CursorState {
  std::mutex lock;
  std::array<HCURSOR, kCursorCount> handles{};  // made on first use
  HCURSOR current = 0;
  bool set = false;  // until the first SetCursor the pointer shows the arrow
  int showCount = 0;
};

CursorState& State() {
  static auto* state = new CursorState;
  return *state;
}

HCURSOR StandardCursorHandle(size_t index) {
  CursorState& s = State();
  std::lock_guard lock(s.lock);
  if (!s.handles[index]) {
    s.handles[index] =
        RegisterHandle(HandleKind::Cursor, std::make_shared<StandardCursor>(kStandardCursors[index].shape));
  }
  return s.handles[index];
}

bool IsStandard(HCURSOR cursor) {
  CursorState& s = State();
  std::lock_guard lock(s.lock);
  for (HCURSOR h : s.handles) {
    if (h && h == cursor) return true;
  }
  return false;
}

HCURSOR LoadById(HINSTANCE instance, uintptr_t name) {
  if (instance == 0 && name < 0x10000) {
    for (size_t i = 0; i < kCursorCount; ++i) {
      if (kStandardCursors[i].id == name) return StandardCursorHandle(i);
    }
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return 0;
}

}  // namespace

CursorShape ShapeOfCursor(HCURSOR cursor) {
  if (!cursor) return CursorShape::Hidden;
  CursorState& s = State();
  {
    std::lock_guard lock(s.lock);
    for (size_t i = 0; i < kCursorCount; ++i) {
      if (s.handles[i] == cursor) return kStandardCursors[i].shape;
    }
  }
  return CursorShape::Arrow;
}

CursorShape CurrentCursorShape() {
  HCURSOR current;
  {
    CursorState& s = State();
    std::lock_guard lock(s.lock);
    if (s.showCount < 0) return CursorShape::Hidden;
    if (!s.set) return CursorShape::Arrow;
    current = s.current;
  }
  return ShapeOfCursor(current);
}

LRESULT DefaultSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) {
    const HWND parent = GetParent(hwnd);
    if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  }
  const auto hit = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)));
  if (hit == HTCLIENT) {
    const auto cursor = static_cast<HCURSOR>(GetClassLongPtrA(hwnd, GCLP_HCURSOR));
    if (!cursor) return FALSE;
    SetCursor(cursor);
    return TRUE;
  }
  if (hit != HTERROR && hit != HTNOWHERE) SetCursor(LoadCursorA(0, IDC_ARROW));
  return FALSE;
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return LoadById(instance, reinterpret_cast<uintptr_t>(name)); }

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) { return LoadById(instance, reinterpret_cast<uintptr_t>(name)); }

HCURSOR SetCursor(HCURSOR cursor) {
  if (cursor && !LookupHandle(cursor, HandleKind::Cursor) && !LookupHandle(cursor, HandleKind::Icon)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  CursorState& s = State();
  std::lock_guard lock(s.lock);
  s.set = true;
  return std::exchange(s.current, cursor);
}

HCURSOR GetCursor() {
  CursorState& s = State();
  std::lock_guard lock(s.lock);
  return s.current;
}

int ShowCursor(BOOL show) {
  CursorState& s = State();
  std::lock_guard lock(s.lock);
  s.showCount += show ? 1 : -1;
  return s.showCount;
}

BOOL DestroyCursor(HCURSOR cursor) {
  if (IsStandard(cursor)) return TRUE;
  return ReleaseHandle(cursor, HandleKind::Cursor) ? TRUE : FALSE;
}
