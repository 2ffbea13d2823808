// The text of any typed value as ToText makes it; also what ShowMessageBox shows.
#pragma once

#include <string>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands::detail {

// A new text block (null for the empty text).
char* NewTextOfValue(const TypedValue& value);

// The text of a value that is not a text or byte set (numbers, booleans, date-times);
// empty for other types.
std::string ScalarText(const TypedValue& value);

}  // namespace quorlin::commands::detail
