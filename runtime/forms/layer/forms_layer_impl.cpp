#include "runtime/forms/layer/forms_layer_impl.h"

#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "runtime/forms/layer/event_handlers.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/template/window_template_reader.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::forms {
namespace {

const EventHandler* g_handlers = nullptr;
size_t g_handlerCount = 0;

void OnWindowDestroying(WindowUnit& window) { FormsLayerImpl::Instance().WindowDestroying(window); }

}  // namespace

void RegisterEventHandlers(const EventHandler* table, size_t count) {
  g_handlers = table;
  g_handlerCount = table ? count : 0;
}

EventHandler HandlerAt(uintptr_t address) {
  const auto base = reinterpret_cast<uintptr_t>(g_handlers);
  if (!g_handlers || address < base || address - base >= g_handlerCount) return nullptr;
  return g_handlers[address - base];
}

FormsLayerImpl& FormsLayerImpl::Instance() {
  static auto* layer = new FormsLayerImpl;
  return *layer;
}

void InstallFormsLayer() {
  static const bool installed = [] {
    RegisterBuiltinUnitTypes();
    SetWindowDestroyingHook(&OnWindowDestroying);
    RegisterFormsLayer(&FormsLayerImpl::Instance());
    return true;
  }();
  (void)installed;
}

ScenarioHost& FormsScenarioHost() { return FormsLayerImpl::Instance(); }

LoadedForm* LoadedFormOf(uint32_t formId) { return FindFormTemplate(Kernel().Forms(), formId); }

bool FormsLayerImpl::ReadTemplates(const uint8_t* data, size_t length, uintptr_t codeBase, FormTable& forms) {
  return ReadTemplateSegment(data, length, codeBase, forms);
}

LiveForm* FormsLayerImpl::Live(uint32_t formId) {
  auto it = live_.find(formId);
  return it == live_.end() ? nullptr : &it->second;
}

bool FormsLayerImpl::AnyLiveWindow() {
  for (const auto& [formId, live] : live_) {
    if (live.window && IsWindow(live.window->Window())) return true;
  }
  return false;
}

void FormsLayerImpl::DestroyAllWindows() {
  while (!live_.empty()) {
    const uint32_t formId = live_.begin()->first;
    LiveForm& live = live_.begin()->second;
    if (live.window && IsWindow(live.window->Window())) DestroyWindow(live.window->Window());
    // A window destroyed through the platform has left the table; anything else goes now.
    if (Live(formId)) live_.erase(formId);
  }
}

Unit* FormsLayerImpl::LiveUnit(uint32_t formId, uint32_t unitId) {
  LoadedForm* form = LoadedFormOf(formId);
  UnitRecord* record = form ? FindUnitRecord(*form, unitId) : nullptr;
  if (!record || record->IsMenuItem() || record->liveObject == 0) return nullptr;
  return reinterpret_cast<Unit*>(record->liveObject);
}

bool FormsLayerImpl::IsLiveObject(const void* object) const {
  if (!object) return false;
  for (const auto& [formId, live] : live_) {
    for (const auto& [unitId, unit] : live.units) {
      if (unit.get() == object) return true;
    }
  }
  return false;
}

void FormsLayerImpl::WindowDestroying(WindowUnit& window) {
  if (observer_) observer_->WindowClosed(window.Window(), WindowText(window.Window()));
}

void FormsLayerImpl::UnitDestroyed(uint32_t formId, uint32_t unitId) {
  LiveForm* live = Live(formId);
  LoadedForm* form = LoadedFormOf(formId);
  if (!live) return;
  auto it = live->units.find(unitId);
  if (it == live->units.end()) return;
  if (UnitRecord* record = form ? FindUnitRecord(*form, unitId) : nullptr) {
    if (record->liveObject == reinterpret_cast<uintptr_t>(it->second.get())) {
      record->liveObject = 0;
      record->cursorHandle = 0;
    }
  }
  const bool isWindow = live->window == it->second.get();
  live->units.erase(it);
  if (!isWindow) return;
  // The window is gone: its units went before it. The form's values go back to the template's.
  live_.erase(formId);
  if (form) form->RestoreUnitTableCopy();
  if (!AnyLiveWindow() && Kernel().LoopStarted()) PostQuitMessage(0);
}

intptr_t FormsLayerImpl::Service(int32_t code, intptr_t p1, intptr_t p2, bool& handled) {
  switch (code) {
    case HostCode::UnitDestroyed:
      UnitDestroyed(static_cast<uint32_t>(p1), static_cast<uint32_t>(p2));
      return 0;
    case HostCode::LoadWindow: {
      const auto* request = reinterpret_cast<const LoadWindowRequest*>(p1);
      FormTemplate* form = request ? Kernel().FindFormTemplate(request->formId) : nullptr;
      if (!form) return -1;
      return CreateWindowFromTemplate(*form, false, request->modal != 0, request->parentWindowObject) ? 0 : -1;
    }
    case HostCode::FindLiveObject:
      return reinterpret_cast<intptr_t>(LiveUnit(static_cast<uint32_t>(p1), static_cast<uint32_t>(p2)));
    case HostCode::FindLiveObjectOrFail: {
      Unit* unit = LiveUnit(static_cast<uint32_t>(p1), static_cast<uint32_t>(p2));
      if (!unit || !IsWindow(unit->Window())) Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
      return reinterpret_cast<intptr_t>(unit);
    }
    case HostCode::RaiseEvent: {
      auto* record = reinterpret_cast<EventRecord*>(p1);
      if (!record) return 0;
      uint64_t words[5] = {};
      const int32_t count = record->argumentCount < 0 ? 0 : record->argumentCount > 5 ? 5 : record->argumentCount;
      for (int32_t i = 0; i < count; ++i) words[i] = record->arguments[i];
      bool hasResult = false;
      uint64_t result = 0;
      const bool ran = DispatchEvent(record->formId, record->unitId, record->eventIndex, words, count, hasResult, result);
      if (hasResult) {
        record->hasResult = 1;
        record->result = static_cast<uint32_t>(result);
      }
      return ran ? 1 : 0;
    }
    case HostCode::RaiseEventWithArguments: {
      auto* record = reinterpret_cast<TypedEventRecord*>(p1);
      if (!record) return 0;
      uint64_t values[12] = {};
      const int32_t count = record->argumentCount < 0 ? 0 : record->argumentCount > 12 ? 12 : record->argumentCount;
      for (int32_t i = 0; i < count; ++i) values[i] = HandlerValueOf(record->arguments[i]);
      bool hasResult = false;
      uint64_t result = 0;
      const bool ran = DispatchEvent(record->formId, record->unitId, record->eventIndex, values, count, hasResult, result);
      if (hasResult) {
        record->hasResult = 1;
        record->result = result;
      }
      return ran ? 1 : 0;
    }
    case HostCode::ProcessPendingMessages: ProcessPendingMessages(); return 0;
    case HostCode::WindowHandleOfForm: {
      LiveForm* live = Live(static_cast<uint32_t>(p1));
      return live && live->window ? static_cast<intptr_t>(live->window->Window()) : 0;
    }
    default: handled = false; return 0;
  }
}

}  // namespace quorlin::forms
