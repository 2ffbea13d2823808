#include "runtime/forms/units/control_unit.h"

#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "runtime/forms/units/event_record.h"

namespace quorlin::forms {

bool ControlUnit::MakeWindow(const UnitCreation& creation, const char* className, const std::string& text,
                             DWORD style, DWORD exStyle) {
  platform::RegisterControlClasses();
  window_ = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | style | StyleOfStateFlags(creation.stateFlags),
                            creation.left, creation.top, creation.width, creation.height, creation.parent, 0, 0,
                            nullptr);
  if (!window_) return false;
  SubclassUnitWindow(window_, *this, *this);
  return true;
}

bool ControlUnit::RaiseOnNotification(UINT message, WPARAM wParam, WORD code, LRESULT& result) {
  if (message != kReflectedCommand || HIWORD(static_cast<DWORD>(wParam)) != code) return false;
  RaiseEvent(FormId(), UnitId(), 0);
  result = 0;
  return true;
}

}  // namespace quorlin::forms
