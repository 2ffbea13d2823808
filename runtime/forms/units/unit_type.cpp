#include "runtime/forms/units/unit_type.h"

#include <map>

#include "platform/user/window_core.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {
namespace {

std::map<uint32_t, const UnitType*>& Registry() {
  static auto* types = new std::map<uint32_t, const UnitType*>;
  return *types;
}

struct Attachment {
  Unit* unit;
  UnitMessageHandler* handler;
  WNDPROC previous;
};

// Window properties hold 32-bit handles, so the attachments live in a table of their own.
std::map<HWND, Attachment>& Attachments() {
  static auto* table = new std::map<HWND, Attachment>;
  return *table;
}

LRESULT CallNext(const Attachment& attachment, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (attachment.previous) return CallWindowProcA(attachment.previous, window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool Unit::GetProperty(int, TypedValue&) { return false; }
WriteOutcome Unit::SetProperty(int, const TypedValue&) { return WriteOutcome::Ignored; }

void RegisterUnitType(const UnitType& type) { Registry()[type.DataType()] = &type; }

const UnitType* FindUnitType(uint32_t dataType) {
  auto it = Registry().find(dataType);
  return it == Registry().end() ? nullptr : it->second;
}

Unit* UnitOfWindow(HWND window) {
  auto it = Attachments().find(window);
  return it == Attachments().end() ? nullptr : it->second.unit;
}

void AttachUnit(HWND window, Unit& unit, UnitMessageHandler& handler) {
  Attachments()[window] = {&unit, &handler, nullptr};
}

void SubclassUnitWindow(HWND window, Unit& unit, UnitMessageHandler& handler) {
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  Attachments()[window] = {&unit, &handler, previous};
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitWindowProcedure));
}

LRESULT UnitWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = Attachments().find(window);
  if (it == Attachments().end()) return DefWindowProcA(window, message, wParam, lParam);
  const Attachment attachment = it->second;
  if (message == WM_NCDESTROY) {
    Attachments().erase(window);
    const LRESULT result = CallNext(attachment, window, message, wParam, lParam);
    // The last act: the layer deletes the unit object.
    LibraryHost::Call(HostCode::UnitDestroyed, attachment.unit->FormId(), attachment.unit->UnitId());
    return result;
  }
  if (message == WM_COMMAND && lParam != 0) {
    // A control's notification goes to the control's own unit first.
    const HWND control = static_cast<HWND>(lParam);
    if (control != window && Attachments().count(control) != 0) {
      SendMessageA(control, kReflectedCommand, wParam, lParam);
    }
  }
  LRESULT result = 0;
  if (attachment.handler->HandleMessage(window, message, wParam, lParam, result)) return result;
  return CallNext(attachment, window, message, wParam, lParam);
}

}  // namespace quorlin::forms
