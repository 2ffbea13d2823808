#include "runtime/forms/units/event_record.h"

#include <algorithm>

#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {

std::optional<uint32_t> RaiseEventForResult(uint32_t formId, uint32_t unitId, int32_t eventIndex,
                                            std::span<const uint32_t> words) {
  EventRecord record;
  record.formId = formId;
  record.unitId = unitId;
  record.eventIndex = eventIndex;
  record.argumentCount = static_cast<int32_t>(std::min<size_t>(words.size(), 5));
  std::copy_n(words.begin(), record.argumentCount, record.arguments);
  LibraryHost::Call(HostCode::RaiseEvent, reinterpret_cast<intptr_t>(&record));
  if (!record.hasResult) return std::nullopt;
  return record.result;
}

bool RaiseEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex, std::span<const uint32_t> words) {
  EventRecord record;
  record.formId = formId;
  record.unitId = unitId;
  record.eventIndex = eventIndex;
  record.argumentCount = static_cast<int32_t>(std::min<size_t>(words.size(), 5));
  std::copy_n(words.begin(), record.argumentCount, record.arguments);
  return LibraryHost::Call(HostCode::RaiseEvent, reinterpret_cast<intptr_t>(&record)) != 0;
}

std::optional<uint64_t> RaiseTypedEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex,
                                        std::span<const EventArgument> arguments, bool* ran) {
  TypedEventRecord record;
  record.formId = formId;
  record.unitId = unitId;
  record.eventIndex = eventIndex;
  record.argumentCount = static_cast<int32_t>(std::min<size_t>(arguments.size(), 12));
  std::copy_n(arguments.begin(), record.argumentCount, record.arguments);
  const bool handled = LibraryHost::Call(HostCode::RaiseEventWithArguments, reinterpret_cast<intptr_t>(&record)) != 0;
  if (ran) *ran = handled;
  if (!record.hasResult) return std::nullopt;
  return record.result;
}

}  // namespace quorlin::forms
