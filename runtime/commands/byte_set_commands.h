// The core library's byte-set commands. The empty byte set is null; no command produces a
// byte set of length 0; results are new blocks owned by the caller.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

namespace quorlin::commands {

// (byte set) → integer.
void ByteSetLength(TypedValue* result, int32_t argCount, TypedValue* args);
// (any value) → byte set: a text's bytes, a copy of a byte set, a number's little-endian
// bytes, all elements of a number array.
void ToByteSet(TypedValue* result, int32_t argCount, TypedValue* args);
// (byte set, count) → byte set.
void ByteSetLeft(TypedValue* result, int32_t argCount, TypedValue* args);
// (byte set, find bytes, replacement?, start position?, replace count?) → byte set.
void ReplaceBytes(TypedValue* result, int32_t argCount, TypedValue* args);
// (count) → that many zero bytes.
void ZeroByteSet(TypedValue* result, int32_t argCount, TypedValue* args);
// (byte set, data type number 1..10, read position variable?) → a value of that type. The
// position argument is a reference: its record holds the address of the caller's integer
// variable, which is advanced past the value or set to -1 at the end of the byte set. A plain
// integer value is accepted as the start position and not written back.
void ReadFromByteSet(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::commands
