#include "runtime/dragdrop/drop_effect.h"

#include "platform/shell/drag_drop.h"
#include "platform/user/messages.h"

namespace quorlin::dragdrop {

DWORD ChooseDropEffect(bool dropAllowed, DWORD keyState, DWORD allowedEffects) {
  if (!dropAllowed) return DROPEFFECT_NONE;
  const bool control = (keyState & MK_CONTROL) != 0;
  const bool shift = (keyState & MK_SHIFT) != 0;
  if (control && shift) return DROPEFFECT_NONE;  // a link is never made
  if (control) return (allowedEffects & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  if (shift) return (allowedEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
  for (const DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
    if (allowedEffects & effect) return effect;
  }
  return DROPEFFECT_NONE;
}

}  // namespace quorlin::dragdrop
