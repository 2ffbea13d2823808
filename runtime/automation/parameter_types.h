// What a member's declared parameter (or a data member's type) asks for, read from its type
// description: the base VARIANT type, whether it is passed by reference, whether it is an
// array of that type, and whether it is an output parameter.
#pragma once

#include "platform/com/typeinfo.h"

namespace quorlin::automation {

struct ParameterType {
  VARTYPE type = VT_VARIANT;  // for an array, the element type
  bool byReference = false;
  bool isArray = false;
  bool isOutput = false;
};

// Pointers make the parameter by reference to the pointed-to type, safe and fixed arrays an
// array of their element type; aliases are followed through `owner`, enumerations count as
// VT_I4, dispatch interfaces as VT_DISPATCH and every other user-defined type (or one that
// cannot be read) as VT_UNKNOWN; int and unsigned int are VT_I4 and VT_UI4.
ParameterType DescribeType(ITypeInfo* owner, const TYPEDESC& description);
// As DescribeType, plus the output flag of the parameter's description.
ParameterType DescribeParameter(ITypeInfo* owner, const ELEMDESC& element);

}  // namespace quorlin::automation
