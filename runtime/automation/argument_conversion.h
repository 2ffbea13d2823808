// Command arguments as VARIANTs for a member call, and output values written back into the
// variables that were passed by address.
#pragma once

#include <cstdint>

#include "platform/com/oleauto.h"
#include "runtime/automation/parameter_types.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::automation {

// An argument as the member sees it: its value record, read through the variable when the tag
// carries the by-address flag, and the variable's address in that case.
struct GivenArgument {
  TypedValue value;         // the tag without the by-address flag
  void* address = nullptr;  // set only for an argument given by address
};

// False for a by-address argument whose address is null.
bool ReadGivenArgument(const TypedValue& argument, GivenArgument& out);

// Converts one value record into `out` (which must be empty): boolean, date-time, text, byte,
// short, integer, 64-bit integer (its low 32 bits), float, double, object (as the declared
// parameter allows), variant (a copy) and omitted (the missing-argument mark). False, with
// `out` empty, for every other type and for a value that cannot be copied.
bool ConvertArgument(const TypedValue& value, const ParameterType& parameter, VARIANT& out);

// Stores `result`, a record of the variable's own type, through the variable's address: the
// text, object or variant the variable held is released and the result's block taken over.
void StoreThroughAddress(void* address, const TypedValue& result);

}  // namespace quorlin::automation
