// The storage behind object and variant variables: finding it from a command argument,
// clearing and refilling an object record, and the new blocks results are made of.
#pragma once

#include "platform/com/oleauto.h"
#include "runtime/automation/automation_commands.h"

namespace quorlin::automation {

// The record of an object variable passed as {record pointer, object tag}; null otherwise.
ObjectRecord* ObjectVariableOf(const TypedValue& argument);
// The VARIANT of a variant variable passed as {block pointer, variant tag}; null otherwise.
VARIANT* VariantVariableOf(const TypedValue& argument);

// ObjectClear: destroys held record data through its IRecordInfo (or frees a lone data block),
// releases the interface; the record is left as two nulls.
void ClearObjectRecord(ObjectRecord& record);
// Clears the record, then keeps `object`, whose reference the record takes over.
void StoreObject(ObjectRecord& record, IUnknown* object);

// A new runtime block holding an object record of `object` (reference taken over).
ObjectRecord* NewObjectRecord(IUnknown* object = nullptr);
// A new runtime block holding one VARIANT, all zero (VT_EMPTY).
VARIANT* NewVariantBlock();

// VariantReset: clears the VARIANT and zeroes all its bytes.
void ResetVariant(VARIANT& variant);

}  // namespace quorlin::automation
