#include "runtime/forms/units/component_unit.h"

#include "platform/user/window_core.h"

namespace quorlin::forms {
namespace {

constexpr const char* kComponentClass = "QuorlinComponent";

void RegisterComponentClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UnitWindowProcedure;
    windowClass.lpszClassName = kComponentClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

bool ComponentUnit::MakeWindow(const UnitCreation& creation) {
  RegisterComponentClass();
  window_ = CreateWindowExA(0, kComponentClass, "", WS_CHILD | WS_DISABLED, creation.left, creation.top,
                            creation.width, creation.height, creation.parent, 0, 0, nullptr);
  if (!window_) return false;
  AttachUnit(window_, *this, *this);
  return true;
}

}  // namespace quorlin::forms
