// The core library's conversions between values and texts.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// (any value) → text: numbers in decimal ("%.6g" for a float, "%.13g" for a double), "真" or
// "假", a date-time as "Y年M月D日" with the time parts that are not zero, a text copied, a byte
// set or number array as its bytes up to the first 0 byte.
void ToText(TypedValue* result, int32_t argCount, TypedValue* args);
// (integer) → upper-case hexadecimal without prefix or leading zeros.
void ToHexText(TypedValue* result, int32_t argCount, TypedValue* args);
// (any value) → integer: a text is folded to half-width and read as a decimal number.
void ToInteger(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
