// The command calling convention: a command of a support library fills a zeroed result record
// from argCount consecutive argument records, the first argument at the lowest address.
// Argument texts, byte sets and arrays stay the caller's; a text, byte set or array result is
// a new block the caller frees. A command with nothing to return leaves the result zero.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin {

using CommandEntry = void (*)(TypedValue* result, int32_t argCount, TypedValue* args);

// Argument i, or an omitted record when the caller passed fewer.
inline const TypedValue& ArgumentAt(int32_t argCount, const TypedValue* args, int32_t i) {
  static const TypedValue omitted{};
  return i < argCount && args ? args[i] : omitted;
}

}  // namespace quorlin
