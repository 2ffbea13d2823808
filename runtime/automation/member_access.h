// Reading, writing and calling a member of an automation object by name.
#pragma once

#include <cstdint>

#include "runtime/automation/member_binding.h"
#include "runtime/automation/result_conversion.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::automation {

// The member access of the object and variant commands: `variable` is the object variable,
// `name` the member name, then the member's `count` arguments in declaration order. Fills
// `result` with the requested type's value (its empty value on failure) and stores the
// status as the thread's last-call status, which it also returns.
CallStatus AccessMember(AccessKind kind, ResultType type, const TypedValue& variable, const TypedValue& name,
                        const TypedValue* arguments, int32_t count, TypedValue* result);

// A command's arguments (variable, name, member arguments…) handed to AccessMember.
CallStatus AccessMemberCommand(AccessKind kind, ResultType type, TypedValue* result, int32_t argCount,
                               TypedValue* args);

}  // namespace quorlin::automation
