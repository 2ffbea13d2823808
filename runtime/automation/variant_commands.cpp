// The variant commands: the byte array a variant holds as a byte set, resetting a variant,
// and a variant (or one element of a variant array) as a typed value.
#include <cstring>
#include <limits>

#include "runtime/automation/automation_commands.h"
#include "runtime/automation/command_values.h"
#include "runtime/automation/object_variables.h"
#include "runtime/automation/result_conversion.h"
#include "runtime/automation/safe_array_elements.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"

namespace quorlin::automation {
namespace {

// The largest byte set a block can describe: its length field is a signed 32-bit value and
// the block holds an 8-byte header.
constexpr size_t kMaxByteSetLength = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - ByteSetHeaderSize;

void* ByteSetOfVariant(const VARIANT& variant) {
  const VARTYPE element = variant.vt & VT_TYPEMASK;
  if (element != VT_UI1 && element != VT_I1) return nullptr;
  SAFEARRAY* array = ArrayOfVariant(variant);
  if (!array || SafeArrayGetElemsize(array) != 1) return nullptr;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return nullptr;
  void* byteSet = nullptr;
  const std::optional<size_t> count = CheckedElementCount(array, kMaxByteSetLength);
  if (data && count && *count > 0) byteSet = NewByteSet(data, *count);
  SafeArrayUnaccessData(array);
  return byteSet;
}

// The variant argument, or with an element index (1-based, in memory order) that element of
// the variant's array, as the requested type; the type's empty value when there is none.
TypedValue VariantAs(ResultType type, int32_t argCount, const TypedValue* args) {
  const VARIANT* variant = VariantVariableOf(ArgumentAt(argCount, args, 0));
  if (!variant) return EmptyResult(type);
  TypedValue value;
  const TypedValue& indexArgument = ArgumentAt(argCount, args, 1);
  if (IsOmitted(indexArgument)) {
    return ConvertResult(*variant, type, value) ? value : EmptyResult(type);
  }
  int64_t index = 0;
  SAFEARRAY* array = ArrayOfVariant(*variant);
  if (!array || !IntegerArgument(indexArgument, index) || index < 1) return EmptyResult(type);
  const std::optional<size_t> count = CheckedElementCount(array, std::numeric_limits<int32_t>::max());
  if (!count || static_cast<uint64_t>(index) > *count) return EmptyResult(type);
  platform::Variant element;
  if (!ReadArrayElement(array, variant->vt & VT_TYPEMASK, static_cast<size_t>(index - 1), *element.get())) {
    return EmptyResult(type);
  }
  return ConvertResult(*element.get(), type, value) ? value : EmptyResult(type);
}

}  // namespace

void VariantToByteSetCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const VARIANT* variant = VariantVariableOf(ArgumentAt(argCount, args, 0));
  *result = MakeByteSet(variant ? ByteSetOfVariant(*variant) : nullptr);
}

void VariantResetCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = {};
  if (VARIANT* variant = VariantVariableOf(ArgumentAt(argCount, args, 0))) ResetVariant(*variant);
}

void VariantToTextCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = VariantAs(ResultType::Text, argCount, args);
}
void VariantToIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = VariantAs(ResultType::Integer, argCount, args);
}
void VariantToDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = VariantAs(ResultType::Double, argCount, args);
}
void VariantToBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  *result = VariantAs(ResultType::Boolean, argCount, args);
}

}  // namespace quorlin::automation
