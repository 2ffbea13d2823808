#include "runtime/automation/result_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/automation/automation_commands.h"
#include "runtime/automation/object_variables.h"
#include "runtime/automation/text_bstr.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::automation {
namespace {

VARTYPE VariantTypeOf(ResultType type) {
  switch (type) {
    case ResultType::Boolean: return VT_BOOL;
    case ResultType::DateTime: return VT_DATE;
    case ResultType::Text: return VT_BSTR;
    case ResultType::Byte: return VT_UI1;
    case ResultType::Short: return VT_I2;
    case ResultType::Integer: case ResultType::Long: return VT_I4;
    case ResultType::Float: return VT_R4;
    case ResultType::Double: return VT_R8;
    case ResultType::Object: return VT_UNKNOWN;
    case ResultType::None: case ResultType::Variant: break;
  }
  return VT_EMPTY;
}

bool IsRecord(const VARIANT& v) { return (v.vt & VT_TYPEMASK) == VT_RECORD; }

TypedValue DoubleRecord(double d, uint32_t tag) {
  TypedValue v = MakeDouble(d);
  v.tag = tag;
  return v;
}

}  // namespace

ResultType ResultTypeOfTag(uint32_t tag) {
  switch (tag) {
    case Tag::Boolean: return ResultType::Boolean;
    case Tag::DateTime: return ResultType::DateTime;
    case Tag::Text: return ResultType::Text;
    case Tag::Byte: return ResultType::Byte;
    case Tag::Short: return ResultType::Short;
    case Tag::Integer: return ResultType::Integer;
    case Tag::Long: return ResultType::Long;
    case Tag::Float: return ResultType::Float;
    case Tag::Double: return ResultType::Double;
    case kObjectTag: return ResultType::Object;
    case kVariantTag: return ResultType::Variant;
    default: return ResultType::None;
  }
}

bool ConvertResult(const VARIANT& source, ResultType type, TypedValue& out) {
  if (type == ResultType::None) {
    out = {};
    return true;
  }
  if (IsRecord(source)) return false;

  platform::Variant copy;
  if (FAILED(VariantCopyInd(copy.get(), &source))) return false;
  if (type == ResultType::Variant) {
    if (IsRecord(*copy.get())) return false;  // a reference to a record
    VARIANT* block = NewVariantBlock();
    std::memcpy(static_cast<void*>(block), copy.get(), sizeof(VARIANT));
    VariantInit(copy.get());  // the block owns the value now
    out = MakePointerValue(block, kVariantTag);
    return true;
  }

  platform::Variant changed;
  if (IsRecord(*copy.get()) || FAILED(VariantChangeType(changed.get(), copy.get(), 0, VariantTypeOf(type)))) {
    return false;
  }
  const VARIANT& v = *changed.get();
  switch (type) {
    case ResultType::Boolean: out = MakeBoolean(v.boolVal != 0); break;
    case ResultType::DateTime:
      out = DoubleRecord(std::isnan(v.date) ? 0.0 : std::clamp(v.date, MinDateTime, MaxDateTime), Tag::DateTime);
      break;
    case ResultType::Text: out = MakeText(NewTextFromBstr(v.bstrVal)); break;
    case ResultType::Byte: out = {v.bVal, 0, Tag::Byte}; break;
    case ResultType::Short: out = {static_cast<uint16_t>(v.iVal), 0, Tag::Short}; break;
    case ResultType::Integer: out = MakeInteger(v.lVal); break;
    case ResultType::Long: out = MakeLong(v.lVal); break;
    case ResultType::Float: out = MakeFloat(v.fltVal); break;
    case ResultType::Double: out = MakeDouble(v.dblVal); break;
    case ResultType::Object:
      if (v.punkVal) v.punkVal->AddRef();
      out = MakePointerValue(NewObjectRecord(v.punkVal), kObjectTag);
      break;
    case ResultType::None: case ResultType::Variant: break;
  }
  return true;
}

TypedValue EmptyResult(ResultType type) {
  switch (type) {
    case ResultType::None: return {};
    case ResultType::Boolean: return MakeBoolean(false);
    case ResultType::DateTime: return DoubleRecord(0.0, Tag::DateTime);
    case ResultType::Text: return MakeText(nullptr);
    case ResultType::Byte: return {0, 0, Tag::Byte};
    case ResultType::Short: return {0, 0, Tag::Short};
    case ResultType::Integer: return MakeInteger(0);
    case ResultType::Long: return MakeLong(0);
    case ResultType::Float: return MakeFloat(0.0f);
    case ResultType::Double: return MakeDouble(0.0);
    case ResultType::Object: return MakePointerValue(NewObjectRecord(), kObjectTag);
    case ResultType::Variant: return MakePointerValue(NewVariantBlock(), kVariantTag);
  }
  return {};
}

}  // namespace quorlin::automation
