// The read, call and write commands: one command per access kind and requested result type.
#include "runtime/automation/automation_commands.h"
#include "runtime/automation/member_access.h"

namespace quorlin::automation {

void ObjectReadTextCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Text, result, argCount, args);
}
void ObjectReadDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Double, result, argCount, args);
}
void ObjectReadIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Integer, result, argCount, args);
}
void ObjectReadBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Boolean, result, argCount, args);
}
void ObjectReadObjectCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Object, result, argCount, args);
}
void ObjectReadVariantCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Read, ResultType::Variant, result, argCount, args);
}

void ObjectCallCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::None, result, argCount, args);
}
void ObjectCallBooleanCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Boolean, result, argCount, args);
}
void ObjectCallIntegerCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Integer, result, argCount, args);
}
void ObjectCallTextCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Text, result, argCount, args);
}
void ObjectCallDoubleCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Double, result, argCount, args);
}
void ObjectCallObjectCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Object, result, argCount, args);
}
void ObjectCallVariantCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  AccessMemberCommand(AccessKind::Call, ResultType::Variant, result, argCount, args);
}

void ObjectWriteCommand(TypedValue* result, int32_t argCount, TypedValue* args) {
  const CallStatus status = AccessMemberCommand(AccessKind::Write, ResultType::None, result, argCount, args);
  *result = MakeBoolean(status == CallStatus::Success);
}

}  // namespace quorlin::automation
