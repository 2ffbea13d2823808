// The event records a unit fills to raise an event through the kernel (services 2008 and
// 2031), and the calls that raise them. The call returns after the handler has finished; the
// record then holds the handler's result when it gave one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "runtime/kernel/typed_value.h"

namespace quorlin::forms {

// Service 2008: up to five 32-bit argument words.
struct EventRecord {
  uint32_t formId = 0;
  uint32_t unitId = 0;
  int32_t eventIndex = 0;
  int32_t argumentCount = 0;  // 0 to 5
  uint32_t arguments[5] = {};
  uint32_t hasResult = 0;
  uint32_t result = 0;
};

// Argument flags of a typed argument slot.
inline constexpr uint32_t kArgumentByReference = 1u << 0;  // pass the low word unchanged
inline constexpr uint32_t kArgumentBothWords = 1u << 1;    // pass both words

struct EventArgument {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t tag = 0;
  uint32_t flags = 0;
};
static_assert(sizeof(EventArgument) == 16);

// Service 2031: up to twelve typed arguments.
struct TypedEventRecord {
  uint32_t formId = 0;
  uint32_t unitId = 0;
  int32_t eventIndex = 0;
  int32_t argumentCount = 0;  // 0 to 12
  EventArgument arguments[12] = {};
  uint32_t hasResult = 0;
  uint64_t result = 0;
};

// An argument slot from a typed value (a text or byte set stays the caller's).
inline EventArgument ArgumentOf(const TypedValue& value, uint32_t flags = 0) {
  return {value.low, value.high, value.tag, flags};
}

// Raises an event without arguments or with 32-bit words (service 2008): true if a handler ran.
bool RaiseEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex, std::span<const uint32_t> words = {});
// As RaiseEvent, with the handler's result when it returned one.
std::optional<uint32_t> RaiseEventForResult(uint32_t formId, uint32_t unitId, int32_t eventIndex,
                                            std::span<const uint32_t> words = {});
// Raises an event with typed arguments (service 2031): the handler's result when it returned
// one. `ran` (optional) tells whether a handler ran at all.
std::optional<uint64_t> RaiseTypedEvent(uint32_t formId, uint32_t unitId, int32_t eventIndex,
                                        std::span<const EventArgument> arguments, bool* ran = nullptr);

}  // namespace quorlin::forms
