#include "app/web/automation_variables.h"

#include <cstring>

#include "app/support/runtime_calls.h"
#include "platform/com/oleauto.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app::web {
namespace {

constexpr size_t kVariantBlockSize = sizeof(VARIANT);

void* ZeroedBlock(size_t bytes) {
  void* block = EntryTable().Allocate(bytes);
  std::memset(block, 0, bytes);
  return block;
}

}  // namespace

ObjectVariable::ObjectVariable()
    : record_(static_cast<automation::ObjectRecord*>(ZeroedBlock(sizeof(automation::ObjectRecord)))) {}

ObjectVariable::~ObjectVariable() {
  Clear();
  EntryTable().Free(record_);
}

void ObjectVariable::Clear() {
  if (record_->object || record_->recordData) CallCore(&automation::ObjectClearCommand, {Value()});
}

VariantVariable::VariantVariable() : block_(ZeroedBlock(kVariantBlockSize)) {}

VariantVariable::VariantVariable(void* block) : block_(block ? block : ZeroedBlock(kVariantBlockSize)) {}

VariantVariable::~VariantVariable() {
  CallCore(&automation::VariantResetCommand, {Value()});
  EntryTable().Free(block_);
}

}  // namespace quorlin::app::web
