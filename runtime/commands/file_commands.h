// The core library's program-directory and whole-file commands. File names are runtime texts
// (GBK, '\' or '/' separators), handed to the platform's file calls as they are.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// () → text: the program's directory without a trailing separator.
void GetProgramDirectory(TypedValue* result, int32_t argCount, TypedValue* args);
// (file name) → byte set: the whole file; empty when it cannot be read.
void ReadFileBytes(TypedValue* result, int32_t argCount, TypedValue* args);
// (file name, byte set, further byte sets…) → boolean: the file created or replaced by the byte
// sets one after another. The replacement is atomic (platform/base/file_replace.h): a failed
// write leaves the old file, or none, and false.
void WriteFileBytes(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
