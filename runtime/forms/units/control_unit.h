// The base of the units that are one platform control window (BUTTON, STATIC, EDIT, COMBOBOX):
// the window is created hidden as a child of the parent at the template's place and subclassed
// so the unit sees its messages (and its reflected notifications) first.
#pragma once

#include <string>

#include "runtime/forms/units/data_unit_type.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/forms/units/unit_type.h"

namespace quorlin::forms {

class ControlUnit : public Unit, public UnitMessageHandler {
 public:
  explicit ControlUnit(const UnitCreation& creation) : Unit(creation), stateFlags_(creation.stateFlags) {}
  HWND Window() const override { return window_; }
  bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    return false;
  }

 protected:
  // False when the window cannot be made.
  bool MakeWindow(const UnitCreation& creation, const char* className, const std::string& text, DWORD style,
                  DWORD exStyle = 0);
  // A reflected notification `code` of the control (BN_CLICKED, EN_CHANGE …) raises the unit's
  // event 0; true when the message was that notification.
  bool RaiseOnNotification(UINT message, WPARAM wParam, WORD code, LRESULT& result);

  HWND window_ = 0;
  uint32_t stateFlags_ = 0;
  OwnedFont font_;
};

// The font of a unit as a property value: the LOGFONT block, null when none is set.
inline TypedValue FontValue(const OwnedFont& font) { return ByteSetValue(font.Block()); }

}  // namespace quorlin::forms

