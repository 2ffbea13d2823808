// The drop target (拖放对象, "DropTarget", type 1 of the drag-and-drop library, number 5): an
// invisible component that accepts text, HTML, URLs and files dropped on the window registered
// with it and raises TextDropped (0), HtmlDropped (1), UrlDropped (2) and FilesDropped (3).
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::dragdrop {

// Makes the unit type known to the forms layer; call once at program start.
void RegisterDropTargetUnitType();

// RegisterDropWindow (drop-target component, window handle as integer) → boolean. A command of
// the drag-and-drop library (called through the library-command slot).
void RegisterDropWindowCommand(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::dragdrop
