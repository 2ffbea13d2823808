// The shell's drag-image helper, {4657278A-411B-11D2-839A-00C04FD918D0}, as an IUnknown: a
// platform without drag images has no such class, and the drop target then goes without.
#pragma once

#include "platform/com/com_base.h"

namespace quorlin::dragdrop {

// A new helper object (one reference, the caller's), or null when the class cannot be created.
IUnknown* CreateDragImageHelper();

}  // namespace quorlin::dragdrop
