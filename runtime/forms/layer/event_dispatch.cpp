// DispatchEvent: from a unit's event record to the application's handler.
#include "platform/user/message_queue.h"
#include "runtime/forms/layer/event_handlers.h"
#include "runtime/forms/layer/forms_layer_impl.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::forms {
namespace {

namespace Message {
constexpr const char* FormNotFound = "未找到引发事件的窗口";
constexpr const char* UnitNotFound = "未找到引发事件的窗口组件";
constexpr const char* UnitCannotRaise = "引发事件的窗口组件无效";
}  // namespace Message

// Follows the event source links while the linked unit exists and has the same data type.
// A chain that comes back on itself stops where it started to repeat.
const UnitRecord* EventSourceOf(const LoadedForm& form, const UnitRecord& unit) {
  const UnitRecord* current = &unit;
  for (size_t steps = 0; steps < form.units.size() && current->eventSourceLink != 0; ++steps) {
    const UnitRecord* linked = FindUnitRecord(form, current->eventSourceLink);
    if (!linked || linked == current || linked->dataType != current->dataType) break;
    current = linked;
  }
  return current;
}

bool TypeCanRaiseEvents(uint32_t dataType) {
  if (dataType == kTypeMenuItem) return true;
  // A type that is not there (a placeholder unit, the object and variant types) has no flags.
  const UnitType* type = FindUnitType(dataType);
  return type && (type->Flags() & (kTypeFlagFormUnit | kTypeFlagEventSource)) != 0;
}

}  // namespace

uint64_t HandlerValueOf(const EventArgument& argument) {
  const uint64_t both = static_cast<uint64_t>(argument.high) << 32 | argument.low;
  if (argument.flags & kArgumentByReference) return argument.low;
  if ((argument.flags & kArgumentBothWords) || argument.tag == kTypeMenuItem) return both;
  switch (argument.tag) {
    case Tag::Byte: return static_cast<uint8_t>(argument.low);
    case Tag::Short: return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(argument.low)));
    case Tag::Long: case Tag::Double: case Tag::DateTime: case Tag::EightByteValue: return both;
    // A pointer fills both words in this build.
    case Tag::Text: case Tag::ByteSet: case Tag::SubroutinePointer: return both;
    default: return IsArrayTag(argument.tag) ? both : argument.low;
  }
}

bool FormsLayerImpl::DispatchEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex, const uint64_t* arguments,
                                   int32_t argumentCount, bool& hasResult, uint64_t& result) {
  RuntimeKernel& kernel = Kernel();
  hasResult = false;
  if (kernel.ErrorCount() > 0 || eventsHeld > 0) return false;
  LoadedForm* form = LoadedFormOf(formId);
  if (!form) kernel.ReportRuntimeError(Message::FormNotFound, 0);
  const UnitRecord* unit = FindUnitRecord(*form, unitId);
  if (!unit) kernel.ReportRuntimeError(Message::UnitNotFound, 0);
  const uint32_t sourceUnitId = unit->unitId;
  unit = EventSourceOf(*form, *unit);
  if (!TypeCanRaiseEvents(unit->dataType)) kernel.ReportRuntimeError(Message::UnitCannotRaise, 0);
  const EventHandler handler = HandlerAt(unit->HandlerFor(eventIndex));
  if (!handler) return false;

  HandlerArguments handlerArguments;
  handlerArguments.count = argumentCount < 0 ? 0 : argumentCount > 12 ? 12 : argumentCount;
  for (int32_t i = 0; i < handlerArguments.count; ++i) handlerArguments.values[i] = arguments[i];

  // A handler may let further events run (ProcessPendingMessages); each restores the source
  // of the one it interrupted.
  const EventSource outer = kernel.CurrentEventSource();
  kernel.SetCurrentEventSource({formId, sourceUnitId});
  const HandlerResult answer = handler(handlerArguments);
  kernel.SetCurrentEventSource(outer);
  if (answer.hasValue) {
    hasResult = true;
    result = answer.value;
  }
  return true;
}

void ProcessPendingMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;
    if (!PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (FormsLayerImpl::Instance().PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace quorlin::forms
