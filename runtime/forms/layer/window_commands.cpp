// The unit methods LoadWindow, GetWindowHandle and ProcessPendingMessages.
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {

void LoadWindowCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const TypedValue& window = ArgumentAt(argCount, args, 0);
  const TypedValue& parent = ArgumentAt(argCount, args, 1);
  const TypedValue& modal = ArgumentAt(argCount, args, 2);
  LoadWindowRequest request;
  request.formId = window.low;
  if (!IsOmitted(parent)) {
    request.parentWindowObject = reinterpret_cast<void*>(LibraryHost::Call(HostCode::FindLiveObject, parent.low, 0));
    // A parent that is not loaded makes the load fail, as a parent without live window does.
    if (!request.parentWindowObject) return (void)(*result = MakeBoolean(false));
  }
  request.modal = !IsOmitted(modal) && modal.low != 0;
  *result = MakeBoolean(LibraryHost::Call(HostCode::LoadWindow, reinterpret_cast<intptr_t>(&request)) == 0);
}

void GetWindowHandleCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const TypedValue& unit = ArgumentAt(argCount, args, 0);
  auto* object = reinterpret_cast<Unit*>(LibraryHost::Call(HostCode::FindLiveObjectOrFail, unit.low, unit.high));
  *result = MakeInteger(static_cast<int32_t>(object->Window()));
}

void ProcessPendingMessagesCommand(TypedValue*, int32_t, TypedValue*) {
  LibraryHost::Call(HostCode::ProcessPendingMessages);
}

}  // namespace quorlin::forms
