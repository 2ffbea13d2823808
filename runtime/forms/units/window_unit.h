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

// The form's tab stops are its units that can receive the focus and are visible and enabled,
// in tab order (the unit table's order among equals).
//
// Gives the focus to the first tab stop of the form. False when there is none.
bool FocusUnitByTabOrder(uint32_t formId);
// Tab and Shift+Tab: moves the focus from the tab stop that holds it (the window that has it
// or one of its ancestors) to the next or, backwards, the previous one, wrapping; from anywhere
// else to the first or the last. False when `focus` lies in no form or the form has no stops.
bool MoveFocusByTab(HWND focus, bool backwards);

}  // namespace quorlin::forms
