#include "runtime/automation/member_access.h"

#include "platform/base/code_page.h"
#include "runtime/automation/dispatch_arguments.h"
#include "runtime/automation/object_variables.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"

namespace quorlin::automation {
namespace {

CallStatus Access(AccessKind kind, ResultType type, const TypedValue& variable, const TypedValue& name,
                  const TypedValue* arguments, size_t count, TypedValue* result) {
  const std::u16string memberName =
      name.tag == Tag::Text ? platform::GbkToUtf16(TextView(PointerOf<const char>(name))) : std::u16string();
  const ObjectRecord* record = ObjectVariableOf(variable);
  if (!record || !record->object) return CallStatus::NoObject;

  BoundMember member;
  if (const CallStatus bound = BindMember(record->object, memberName, kind, member); bound != CallStatus::Success) {
    return bound;
  }

  while (count > 0 && IsOmitted(arguments[count - 1])) --count;
  if (count > member.parameters.size() && !member.variableArguments) return CallStatus::TooManyArguments;
  const bool propertyPut = (member.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (propertyPut && count == 0) return CallStatus::MissingValue;

  DispatchArguments dispatchArguments;
  if (const CallStatus built = dispatchArguments.Build(arguments, count, member.parameters, propertyPut);
      built != CallStatus::Success) {
    return built;
  }

  platform::Variant returned;
  UINT argumentError = 0;
  const HRESULT hr = member.dispatch->Invoke(member.memberId, IID_NULL, member.locale, member.flags,
                                             dispatchArguments.Parameters(), returned.get(), nullptr, &argumentError);
  if (FAILED(hr)) return StatusOfInvokeFailure(hr);

  dispatchArguments.WriteBackOutputs();
  return ConvertResult(*returned.get(), type, *result) ? CallStatus::Success : CallStatus::ResultNotConvertible;
}

}  // namespace

CallStatus AccessMember(AccessKind kind, ResultType type, const TypedValue& variable, const TypedValue& name,
                        const TypedValue* arguments, int32_t count, TypedValue* result) {
  TypedValue value{};
  const size_t argumentCount = arguments && count > 0 ? static_cast<size_t>(count) : 0;
  const CallStatus status = Access(kind, type, variable, name, arguments, argumentCount, &value);
  *result = status == CallStatus::Success ? value : EmptyResult(type);
  SetLastCallStatus(status);
  return status;
}

CallStatus AccessMemberCommand(AccessKind kind, ResultType type, TypedValue* result, int32_t argCount,
                               TypedValue* args) {
  const TypedValue& variable = ArgumentAt(argCount, args, 0);
  const TypedValue& name = ArgumentAt(argCount, args, 1);
  const int32_t memberArguments = argCount > 2 ? argCount - 2 : 0;
  return AccessMember(kind, type, variable, name, memberArguments > 0 ? args + 2 : nullptr, memberArguments,
                      result);
}

}  // namespace quorlin::automation
