// Owners for the application's automation variables: an object variable (its ObjectRecord)
// and a variant variable (its VARIANT block), both allocated from the runtime allocator. On
// destruction the object is released (ObjectClear) and the variant cleared (VariantReset)
// before the block is freed.
#pragma once

#include "runtime/automation/automation_commands.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::app::web {

class ObjectVariable {
 public:
  ObjectVariable();
  ObjectVariable(const ObjectVariable&) = delete;
  ObjectVariable& operator=(const ObjectVariable&) = delete;
  ~ObjectVariable();

  // The variable as the automation commands take it: {record pointer, object tag}.
  TypedValue Value() const { return MakePointerValue(record_, automation::kObjectTag); }
  bool Holds() const { return record_->object != nullptr; }
  // ObjectClear: releases what the variable holds; the record stays.
  void Clear();

 private:
  automation::ObjectRecord* record_;
};

class VariantVariable {
 public:
  VariantVariable();
  // Takes over a variant block the runtime handed back (a read with a variant result).
  explicit VariantVariable(void* block);
  VariantVariable(const VariantVariable&) = delete;
  VariantVariable& operator=(const VariantVariable&) = delete;
  ~VariantVariable();

  TypedValue Value() const { return MakePointerValue(block_, automation::kVariantTag); }
  const void* Block() const { return block_; }

 private:
  void* block_;
};

}  // namespace quorlin::app::web
