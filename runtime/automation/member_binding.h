// Finding a member by name through the object's type information: the dispatch interface, the
// type compiler's Bind with the invoke kinds of the access kind in order, and what was bound.
#pragma once

#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/typeinfo.h"
#include "runtime/automation/last_call_status.h"
#include "runtime/automation/parameter_types.h"

namespace quorlin::automation {

enum class AccessKind { Read, Write, Call };

// A bound member with everything that has to be released after the call, released in the
// order description, bound type information, type compiler, dispatch interface.
class BoundMember {
 public:
  BoundMember() = default;
  BoundMember(const BoundMember&) = delete;
  BoundMember& operator=(const BoundMember&) = delete;
  ~BoundMember();

  platform::ComPtr<IDispatch> dispatch;
  LCID locale = 0;
  MEMBERID memberId = 0;
  WORD flags = 0;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET …
  std::vector<ParameterType> parameters;
  bool variableArguments = false;  // a function with an open argument list

 private:
  friend CallStatus BindMember(IUnknown*, std::u16string, AccessKind, BoundMember&);
  platform::ComPtr<ITypeComp> typeComp_;
  platform::ComPtr<ITypeInfo> boundTypeInfo_;
  FUNCDESC* function_ = nullptr;
  VARDESC* variable_ = nullptr;
};

// Binds `name` (matched without regard to case) on `object`. Members are found only through
// type information: an object without it cannot be used.
CallStatus BindMember(IUnknown* object, std::u16string name, AccessKind kind, BoundMember& out);

}  // namespace quorlin::automation
