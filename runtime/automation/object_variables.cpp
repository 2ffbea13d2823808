#include "runtime/automation/object_variables.h"

#include <cstring>

#include "platform/com/typeinfo.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::automation {

ObjectRecord* ObjectVariableOf(const TypedValue& argument) {
  return argument.tag == kObjectTag ? PointerOf<ObjectRecord>(argument) : nullptr;
}

VARIANT* VariantVariableOf(const TypedValue& argument) {
  return argument.tag == kVariantTag ? PointerOf<VARIANT>(argument) : nullptr;
}

void ClearObjectRecord(ObjectRecord& record) {
  if (record.object) {
    if (record.recordData) {
      // With record data the interface is that record's IRecordInfo.
      static_cast<IRecordInfo*>(record.object)->RecordDestroy(record.recordData);
      record.recordData = nullptr;
    }
    record.object->Release();
    record.object = nullptr;
  } else if (record.recordData) {
    LibraryHost::Free(record.recordData);
    record.recordData = nullptr;
  }
}

void StoreObject(ObjectRecord& record, IUnknown* object) {
  ClearObjectRecord(record);
  record.object = object;
}

ObjectRecord* NewObjectRecord(IUnknown* object) {
  auto* record = static_cast<ObjectRecord*>(LibraryHost::Allocate(sizeof(ObjectRecord)));
  record->object = object;
  record->recordData = nullptr;
  return record;
}

VARIANT* NewVariantBlock() {
  auto* block = static_cast<VARIANT*>(LibraryHost::Allocate(sizeof(VARIANT)));
  std::memset(static_cast<void*>(block), 0, sizeof(VARIANT));
  return block;
}

void ResetVariant(VARIANT& variant) {
  VariantClear(&variant);
  std::memset(static_cast<void*>(&variant), 0, sizeof(VARIANT));
}

}  // namespace quorlin::automation
