#include "runtime/automation/member_binding.h"

#include <span>

namespace quorlin::automation {
namespace {

std::span<const WORD> InvokeKindsOf(AccessKind kind) {
  static constexpr WORD read[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
  static constexpr WORD write[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
  static constexpr WORD call[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
  switch (kind) {
    case AccessKind::Read: return read;
    case AccessKind::Write: return write;
    case AccessKind::Call: break;
  }
  return call;
}

}  // namespace

BoundMember::~BoundMember() {
  if (function_) boundTypeInfo_->ReleaseFuncDesc(function_);
  if (variable_) boundTypeInfo_->ReleaseVarDesc(variable_);
  boundTypeInfo_.Reset();
  typeComp_.Reset();
  dispatch.Reset();
}

CallStatus BindMember(IUnknown* object, std::u16string name, AccessKind kind, BoundMember& out) {
  if (!object) return CallStatus::NoObject;
  if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out.dispatch.Receive()))) ||
      !out.dispatch) {
    return CallStatus::NoDispatch;
  }
  out.locale = GetUserDefaultLCID();
  {
    platform::ComPtr<ITypeInfo> typeInfo;
    if (FAILED(out.dispatch->GetTypeInfo(0, out.locale, typeInfo.Receive())) || !typeInfo) {
      return CallStatus::NoTypeInformation;
    }
    if (FAILED(typeInfo->GetTypeComp(out.typeComp_.Receive())) || !out.typeComp_) {
      return CallStatus::NoTypeInformation;
    }
  }

  const ULONG hash = LHashValOfNameSys(SYS_WIN32, out.locale, name.c_str());
  DESCKIND bound = DESCKIND_NONE;
  BINDPTR what{};
  for (const WORD invokeKind : InvokeKindsOf(kind)) {
    bound = DESCKIND_NONE;
    what = {};
    ITypeInfo* boundInfo = nullptr;
    const HRESULT hr = out.typeComp_->Bind(name.data(), hash, invokeKind, &boundInfo, &bound, &what);
    out.boundTypeInfo_ = platform::ComPtr<ITypeInfo>::Adopt(boundInfo);
    if (SUCCEEDED(hr) && bound != DESCKIND_NONE) break;
    bound = DESCKIND_NONE;
  }

  switch (bound) {
    case DESCKIND_FUNCDESC: {
      out.function_ = what.lpfuncdesc;
      if (!out.function_ || !out.boundTypeInfo_) return CallStatus::MemberNotUsable;
      const FUNCDESC& function = *out.function_;
      out.memberId = function.memid;
      out.flags = static_cast<WORD>(function.invkind);
      const int count = function.cParams > 0 && function.lprgelemdescParam ? function.cParams : 0;
      for (int i = 0; i < count; ++i) {
        out.parameters.push_back(DescribeParameter(out.boundTypeInfo_.Get(), function.lprgelemdescParam[i]));
      }
      out.variableArguments = function.cParamsOpt == -1;
      return CallStatus::Success;
    }
    case DESCKIND_VARDESC:
    case DESCKIND_IMPLICITAPPOBJ: {
      out.variable_ = what.lpvardesc;
      if (!out.variable_ || !out.boundTypeInfo_) return CallStatus::MemberNotUsable;
      out.memberId = out.variable_->memid;
      if (kind == AccessKind::Write) {
        const ParameterType type = DescribeType(out.boundTypeInfo_.Get(), out.variable_->elemdescVar.tdesc);
        const bool byReference = type.isArray || type.type == VT_UNKNOWN || type.type == VT_DISPATCH;
        out.flags = byReference ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        out.parameters.push_back(type);
      } else {
        out.flags = DISPATCH_PROPERTYGET;
      }
      return CallStatus::Success;
    }
    case DESCKIND_TYPECOMP:
      if (what.lptcomp) what.lptcomp->Release();
      return CallStatus::MemberNotUsable;
    case DESCKIND_NONE: break;
    default: return CallStatus::MemberNotUsable;
  }
  return CallStatus::MemberNotFound;
}

}  // namespace quorlin::automation
