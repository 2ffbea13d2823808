// The core library's automation types as commands: the object type (对象, tag 0x10030) holding
// one automation object, and the variant type (变体型, tag 0x10031) holding one VARIANT.
//
// An object variable's value is a pointer to its ObjectRecord; a variant variable's value is a
// pointer to its VARIANT block (one VARIANT of platform/com). The first argument of every
// command is that variable, passed as {pointer, tag 0x10030 or 0x10031}. Member arguments
// follow the member name; a tag with the bit 0x20000000 carries the address of a variable of
// that type (read through it, and written back for output parameters). No command raises a
// runtime error or shows a message: failures are empty results and the thread's last-call status.
#pragma once

#include <cstdint>

#include "runtime/kernel/typed_value.h"

struct IUnknown;

namespace quorlin::automation {

inline constexpr uint32_t kObjectTag = 0x00010030;
inline constexpr uint32_t kVariantTag = 0x00010031;
inline constexpr uint32_t kByAddressFlag = 0x20000000;

struct ObjectRecord {
  IUnknown* object = nullptr;  // null when the variable is empty
  void* recordData = nullptr;  // set only when the object holds a structure record
};

// ObjectCreate (object variable, ProgID or CLSID text, type-library file optional) → boolean.
void ObjectCreateCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// ObjectClear (object variable).
void ObjectClearCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// Reads (object variable, member name) by requested result type.
void ObjectReadTextCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectReadDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectReadIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectReadBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectReadObjectCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectReadVariantCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// Calls (object variable, member name, arguments…) by requested result type.
void ObjectCallCommand(TypedValue* result, int32_t argCount, TypedValue* args);  // no result
void ObjectCallBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectCallIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectCallTextCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectCallDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectCallObjectCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void ObjectCallVariantCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// ObjectWrite (object variable, member name, value) → boolean.
void ObjectWriteCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// ObjectFromPicture (object variable, byte set holding a picture file) → boolean.
void ObjectFromPictureCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// VariantToByteSet (variant) → byte set.
void VariantToByteSetCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// VariantReset (variant variable).
void VariantResetCommand(TypedValue* result, int32_t argCount, TypedValue* args);
// Variant to a typed value (variant, element index optional for a variant array: 1-based, over
// all elements in memory order).
void VariantToTextCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void VariantToIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void VariantToDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args);
void VariantToBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args);

// The per-thread status of the last member access (0 = success).
int32_t LastCallStatus();

}  // namespace quorlin::automation
