#include "runtime/automation/last_call_status.h"

#include "runtime/automation/automation_commands.h"

namespace quorlin::automation {
namespace {
thread_local CallStatus t_lastCallStatus = CallStatus::Success;
}

CallStatus StatusOfInvokeFailure(HRESULT hr) {
  switch (hr) {
    case DISP_E_MEMBERNOTFOUND: return CallStatus::InvokeMemberNotFound;
    case DISP_E_PARAMNOTFOUND: return CallStatus::InvokeParamNotFound;
    case DISP_E_TYPEMISMATCH: return CallStatus::InvokeTypeMismatch;
    case DISP_E_NONAMEDARGS: return CallStatus::InvokeNoNamedArgs;
    case DISP_E_BADVARTYPE: return CallStatus::InvokeBadVarType;
    case DISP_E_EXCEPTION: return CallStatus::InvokeException;
    case DISP_E_OVERFLOW: return CallStatus::InvokeOverflow;
    case DISP_E_BADPARAMCOUNT: return CallStatus::InvokeBadParamCount;
    case DISP_E_PARAMNOTOPTIONAL: return CallStatus::InvokeParamNotOptional;
    default: return CallStatus::InvokeFailed;
  }
}

void SetLastCallStatus(CallStatus status) { t_lastCallStatus = status; }
CallStatus LastCallStatusOfThisThread() { return t_lastCallStatus; }

int32_t LastCallStatus() { return static_cast<int32_t>(t_lastCallStatus); }

}  // namespace quorlin::automation
