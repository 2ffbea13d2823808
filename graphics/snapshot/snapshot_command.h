// Snapshot as a core-library command: window handle, width and height (each an optional
// integer) in, the BMP file image out as a byte set (the empty byte set on failure).
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::snapshot {

void SnapshotCommand(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::snapshot
