// The outcome of a member access, kept per thread as the last-call status: 0 for success and a
// value of its own for each way an access can fail.
#pragma once

#include <cstdint>

#include "platform/com/com_base.h"

namespace quorlin::automation {

enum class CallStatus : int32_t {
  Success = 0,
  // Before the member is found.
  NoObject = 1,           // the variable holds no interface
  NoDispatch = 2,         // the object refused IDispatch
  NoTypeInformation = 3,  // no type information or no type compiler
  MemberNotFound = 4,     // no invoke kind of the access bound the name
  MemberNotUsable = 5,    // the name bound to something that is neither function nor variable
  TooManyArguments = 6,
  ArgumentNotPassable = 7,  // an argument of a type that cannot be passed
  MissingValue = 8,         // a property put without a value
  // Invoke failed.
  InvokeMemberNotFound = 9,
  InvokeParamNotFound = 10,
  InvokeTypeMismatch = 11,
  InvokeNoNamedArgs = 12,
  InvokeBadVarType = 13,
  InvokeException = 14,
  InvokeOverflow = 15,
  InvokeBadParamCount = 16,
  InvokeParamNotOptional = 17,
  InvokeFailed = 18,  // any other failure code
  // After the invoke.
  ResultNotConvertible = 19,
};

// The status for a failure code of IDispatch::Invoke.
CallStatus StatusOfInvokeFailure(HRESULT hr);

void SetLastCallStatus(CallStatus status);
CallStatus LastCallStatusOfThisThread();

}  // namespace quorlin::automation
