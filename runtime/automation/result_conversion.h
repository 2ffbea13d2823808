// A VARIANT taken as a typed value of the requested type, and the empty value of each type.
#pragma once

#include "platform/com/oleauto.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::automation {

enum class ResultType { None, Boolean, DateTime, Text, Byte, Short, Integer, Long, Float, Double, Object, Variant };

// The result type a variable of this tag (without the by-address flag) is written back as;
// ResultType::None for tags that have none.
ResultType ResultTypeOfTag(uint32_t tag);

// A copy of `source` changed to the type's VARIANT type and taken as a record of the type; a
// text, object record or variant block is a new runtime block. False, with `out` untouched,
// for a VT_RECORD value or a change that fails. ResultType::None gives the zero record.
bool ConvertResult(const VARIANT& source, ResultType type, TypedValue& out);

// 0, false, the empty text, a new object record of two nulls or a new zeroed variant block.
TypedValue EmptyResult(ResultType type);

}  // namespace quorlin::automation
