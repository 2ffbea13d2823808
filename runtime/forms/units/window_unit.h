// The window unit of a form (type 1, "窗口"): the top-level window with its frame, title and
// icon, and its events: 0 created (raised by the layer), 1 close query, 2 being destroyed,
// 3 moved, 4 resized, 5/6 active/inactive, 8 first activation, 10/11 shown/hidden, 12 close
// request. Events are raised only once the layer has started the window (event 0).
#pragma once

#include "runtime/forms/units/unit_type.h"

namespace quorlin::forms {

class WindowUnit;

// The layer is told when a form's window is about to be destroyed (before event 2).
using WindowDestroyingHook = void (*)(WindowUnit& window);
void SetWindowDestroyingHook(WindowDestroyingHook hook);

class WindowUnit : public Unit {
 public:
  using Unit::Unit;
  // From now on the window raises its events; the layer calls it right before event 0.
  virtual void StartEvents() = 0;
  // True once a close was accepted and the window's destruction is under way.
  virtual bool Closing() const = 0;
  // Shows the window as its start position says (normal, minimised or maximised).
  virtual void ShowAtStart() = 0;
};

const UnitType& WindowUnitType();

// Gives the focus to the visible, enabled unit of the form that can receive it and has the
// lowest tab order (the first in the unit table among equals). False when there is none.
bool FocusUnitByTabOrder(uint32_t formId);

}  // namespace quorlin::forms
