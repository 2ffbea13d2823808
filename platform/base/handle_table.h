// The process-wide table behind every platform handle: a 32-bit value naming a shared object
// of one kind. Handles are never 0 or INVALID_HANDLE_VALUE and are not reused while the table
// has values left, so a stale handle finds nothing instead of a newer object.
#pragma once

#include <memory>
#include <optional>

#include "platform/base/win_types.h"

namespace quorlin::platform {

enum class HandleKind : uint8_t {
  Heap,
  File,
  FindFile,
  Module,
  Window,
  DeviceContext,
  Bitmap,
  Pen,
  Brush,
  Font,
  Region,
  Palette,
  Icon,
  Cursor,
  Menu,
  GlobalMemory,
  Event,
};

struct HandleObject {
  virtual ~HandleObject() = default;
};

// Registers an object and returns its new handle.
HANDLE RegisterHandle(HandleKind kind, std::shared_ptr<HandleObject> object);

// The object of a live handle of that kind, or null.
std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, HandleKind kind);

template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle, HandleKind kind) {
  return std::static_pointer_cast<T>(LookupHandle(handle, kind));
}

// The kind of a live handle.
std::optional<HandleKind> HandleKindOf(HANDLE handle);

// Removes a live handle of that kind; false when there was none. The object lives on while
// someone else still holds it.
bool ReleaseHandle(HANDLE handle, HandleKind kind);

}  // namespace quorlin::platform
