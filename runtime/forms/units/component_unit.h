// The base of units that are invisible at run time (a common dialog): they keep a window of
// their own class at the template's place, which is never shown, so that they have a live
// window like every unit.
#pragma once

#include "runtime/forms/units/unit_type.h"

namespace quorlin::forms {

class ComponentUnit : public Unit, public UnitMessageHandler {
 public:
  using Unit::Unit;
  HWND Window() const override { return window_; }
  bool IsComponent() const override { return true; }
  bool HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

 protected:
  bool MakeWindow(const UnitCreation& creation);
  HWND window_ = 0;
};

}  // namespace quorlin::forms
