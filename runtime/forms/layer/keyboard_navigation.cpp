// Keyboard navigation between the units of a form: Tab and Shift+Tab, with neither Ctrl nor Alt
// held, move the focus in tab order.
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/units/window_unit.h"

namespace quorlin::forms {
namespace {

bool Held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

bool FormsLayerImpl::PreTranslateMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || Held(VK_CONTROL) || Held(VK_MENU)) return false;
  return MoveFocusByTab(msg.hwnd, Held(VK_SHIFT));
}

}  // namespace quorlin::forms
