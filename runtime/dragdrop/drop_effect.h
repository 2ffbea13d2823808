// The effect a drag over a drop target gets, from the keys held and the effects the source
// allows.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::dragdrop {

// None when nothing can be dropped. Ctrl+Shift asks for a link (which a drop target never
// makes), Ctrl for a copy, Shift for a move; an asked-for effect the source does not allow is
// none. With neither key: copy, else move, else link, as the source allows.
DWORD ChooseDropEffect(bool dropAllowed, DWORD keyState, DWORD allowedEffects);

}  // namespace quorlin::dragdrop
