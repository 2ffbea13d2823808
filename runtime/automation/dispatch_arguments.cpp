#include "runtime/automation/dispatch_arguments.h"

#include <cstring>

#include "runtime/automation/result_conversion.h"

namespace quorlin::automation {
namespace {

// Moves a VARIANT's value; the source is left empty.
void MoveVariant(VARIANT& to, VARIANT& from) {
  std::memcpy(static_cast<void*>(&to), &from, sizeof(VARIANT));
  VariantInit(&from);
}

// Types whose value sits in the VARIANT's value field, so that a VT_BYREF pointer to that
// field is the pointer the member expects.
bool HasReferableValue(VARTYPE type) {
  switch (type) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_UNKNOWN: case VT_I1: case VT_UI1:
    case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
      return true;
    default: return false;
  }
}

}  // namespace

DispatchArguments::~DispatchArguments() {
  for (VARIANT& v : passed_) VariantClear(&v);
  for (VARIANT& v : slots_) VariantClear(&v);
}

CallStatus DispatchArguments::Build(const TypedValue* arguments, size_t count,
                                    std::span<const ParameterType> declared, bool propertyPut) {
  // Sized once: by-reference arguments point into slots_.
  arguments_.resize(count);
  passed_.resize(count);
  slots_.resize(count);
  for (VARIANT& v : passed_) VariantInit(&v);
  for (VARIANT& v : slots_) VariantInit(&v);

  for (size_t i = 0; i < count; ++i) {
    Argument& argument = arguments_[i];
    if (i < declared.size()) {
      argument.parameter = declared[i];
    } else if (!declared.empty()) {
      argument.parameter = declared.back();
    }
    if (!ReadGivenArgument(arguments[i], argument.given)) return CallStatus::ArgumentNotPassable;
    platform::Variant value;
    if (!ConvertArgument(argument.given.value, argument.parameter, *value.get())) {
      return CallStatus::ArgumentNotPassable;
    }
    if (value->vt == VT_EMPTY) {
      value->vt = VT_ERROR;
      value->scode = DISP_E_PARAMNOTFOUND;
    }
    Pass(i, *value.get());
  }

  parameters_.rgvarg = passed_.empty() ? nullptr : passed_.data();
  parameters_.cArgs = static_cast<UINT>(count);
  if (propertyPut && count > 0) {
    parameters_.rgdispidNamedArgs = &namedPut_;
    parameters_.cNamedArgs = 1;
  }
  return CallStatus::Success;
}

void DispatchArguments::Pass(size_t index, VARIANT& value) {
  Argument& argument = arguments_[index];
  VARIANT& target = passed_[passed_.size() - 1 - index];
  VARIANT& slot = slots_[index];
  const ParameterType& parameter = argument.parameter;
  if (parameter.byReference) {
    if (parameter.isArray) {
      if (value.vt & VT_ARRAY) {
        MoveVariant(slot, value);
        target.vt = static_cast<VARTYPE>(VT_BYREF | slot.vt);
        target.pparray = &slot.parray;
        argument.passedByReference = true;
        return;
      }
    } else if (parameter.type == VT_VARIANT) {
      MoveVariant(slot, value);
      target.vt = VT_BYREF | VT_VARIANT;
      target.pvarVal = &slot;
      argument.passedByReference = true;
      return;
    } else if (value.vt != VT_ERROR && HasReferableValue(parameter.type) &&
               SUCCEEDED(VariantChangeType(&slot, &value, 0, parameter.type))) {
      target.vt = static_cast<VARTYPE>(VT_BYREF | parameter.type);
      target.byref = &slot.llVal;
      argument.passedByReference = true;
      return;
    }
  }
  MoveVariant(target, value);
}

void DispatchArguments::WriteBackOutputs() {
  for (size_t i = 0; i < arguments_.size(); ++i) {
    const Argument& argument = arguments_[i];
    if (!argument.given.address || !argument.passedByReference || !argument.parameter.isOutput) continue;
    TypedValue value;
    const ResultType type = ResultTypeOfTag(argument.given.value.tag);
    if (type != ResultType::None && ConvertResult(slots_[i], type, value)) {
      StoreThroughAddress(argument.given.address, value);
    }
  }
}

}  // namespace quorlin::automation
