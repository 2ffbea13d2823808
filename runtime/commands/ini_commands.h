// The core library's ini-file commands, over the platform's private-profile calls.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// (ini file name, section, key, default text?) → text. Leading characters up to 0x20 of the
// three names are skipped; when one of them is then empty the result is empty. A key that is
// present with an empty value gives the empty text, not the default.
void ReadIniItem(TypedValue* result, int32_t argCount, TypedValue* args);
// (ini file name, section, key?, value?) → boolean. An omitted key deletes the section, an
// omitted value the key; a key or value supplied empty is written as given, never taken for
// a deletion.
void WriteIniItem(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
