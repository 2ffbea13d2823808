// Our way to write an automation object: describe the class by a member table, derive from
// AutomationObject and implement InvokeMember. The base gives IDispatch with real type
// information (GetTypeInfo(0) → ITypeInfo → ITypeComp::Bind by name without case), name
// lookup, and an Invoke that checks flags and argument counts and converts arguments the way
// the platform's type-library-driven dispatch does.
//
//   const AutomationClass kCounterClass{"ICounter", kCounterIid, {
//       {"Value", 1, MemberKind::PropertyGet, VT_I4},
//       {"Value", 1, MemberKind::PropertyPut, VT_EMPTY, {{"value", VT_I4}}},
//       {"Add", 2, MemberKind::Method, VT_I4, {{"step", VT_I4}, {"times", VT_I4, PARAMFLAG_FOPT}}},
//   }};
//
//   class Counter final : public AutomationObject<> {
//    public:
//     Counter() : AutomationObject(kCounterClass) {}
//    private:
//     HRESULT InvokeMember(const MemberCall& call) override { … }
//   };
//
// A property's get and put share one member id; a put's value is its last parameter. Names
// are ASCII.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/typeinfo.h"

namespace quorlin::platform {

enum class MemberKind : WORD {
  Method = INVOKE_FUNC,
  PropertyGet = INVOKE_PROPERTYGET,
  PropertyPut = INVOKE_PROPERTYPUT,
  PropertyPutRef = INVOKE_PROPERTYPUTREF,
  // A variable: bound as a VARDESC of its type (the member's result type, no parameters),
  // read with property get and written with property put or put-by-reference.
  DataMember = 0x100,
};

struct AutomationParameter {
  const char* name;
  // Any VARIANT type: VT_I4, VT_BSTR, VT_VARIANT, VT_ARRAY | VT_UI1, VT_UNKNOWN, VT_DISPATCH,
  // VT_BYREF | … for a parameter passed by reference.
  VARTYPE type;
  // PARAMFLAG_FIN, PARAMFLAG_FOUT (an output parameter), PARAMFLAG_FOPT (may be left out;
  // only trailing parameters).
  USHORT flags = PARAMFLAG_FIN;
};

struct AutomationMember {
  const char* name;
  DISPID id;
  MemberKind kind;
  VARTYPE result = VT_EMPTY;  // VT_EMPTY: no result; VT_VARIANT: whatever the member gives
  std::vector<AutomationParameter> parameters = {};
  // The member takes any number of further arguments after its parameters; they reach it
  // unconverted, after the declared ones.
  bool varArgs = false;
};

class ClassDescription;  // the table prepared for lookup and description (internal)

// One class's table, prepared once; keep it alive as long as its objects (a static).
class AutomationClass {
 public:
  AutomationClass(const char* name, const IID& iid, std::vector<AutomationMember> members);
  ~AutomationClass();

  const IID& Iid() const;
  const std::shared_ptr<const ClassDescription>& Description() const { return description_; }

 private:
  std::shared_ptr<const ClassDescription> description_;
};

// One call of a member, after checking and conversion.
struct MemberCall {
  DISPID id;
  // The kind invoked; for a DataMember PropertyGet, PropertyPut or PropertyPutRef.
  MemberKind kind;
  // In declaration order, each of its declared type: by-value arguments converted (owned by
  // the dispatcher: do not clear them; copy what you keep), by-reference ones pointing at the
  // caller's storage (write output through them, releasing what was there). A left-out
  // optional argument is VT_ERROR / DISP_E_PARAMNOTFOUND (see IsMissing).
  std::span<VARIANT> arguments;
  // VT_EMPTY on entry; set it for a member with a result (changed to the declared type
  // afterwards when it differs).
  VARIANT* result;
};

bool IsMissing(const VARIANT& argument);

class MemberInvoker {
 public:
  // A failure HRESULT from a member reaches the caller as DISP_E_EXCEPTION with the code in
  // EXCEPINFO::scode, as for the platform's dual interfaces; DISP_E_* codes pass unchanged.
  virtual HRESULT InvokeMember(const MemberCall& call) = 0;

 protected:
  ~MemberInvoker() = default;
};

// The IDispatch methods over a class table (used by AutomationObject).
HRESULT DispatchGetTypeInfo(const AutomationClass& cls, UINT index, ITypeInfo** typeInfo);
HRESULT DispatchGetIDsOfNames(const AutomationClass& cls, REFIID riid, LPOLESTR* names, UINT nameCount,
                              DISPID* dispIds);
HRESULT DispatchInvoke(const AutomationClass& cls, IDispatch* self, MemberInvoker& invoker, DISPID member,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError);

template <typename... MoreInterfaces>
class AutomationObject : public ComObject<IDispatch, MoreInterfaces...>, private MemberInvoker {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) final {
    if (!count) return E_INVALIDARG;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) final {
    return DispatchGetTypeInfo(class_, index, typeInfo);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount, LCID,
                                          DISPID* dispIds) final {
    return DispatchGetIDsOfNames(class_, riid, names, nameCount, dispIds);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) final {
    return DispatchInvoke(class_, this, *this, member, riid, flags, params, result, exception, argumentError);
  }

 protected:
  explicit AutomationObject(const AutomationClass& cls) : class_(cls) {}

  // Answers the class's own dispatch interface id with the IDispatch.
  bool QueryInterfaceMore(REFIID riid, void** object) override {
    if (riid != class_.Iid()) return false;
    *object = static_cast<IDispatch*>(this);
    return true;
  }

  HRESULT InvokeMember(const MemberCall& call) override = 0;

 private:
  const AutomationClass& class_;
};

// The class's type information without an object (what GetTypeInfo(0) of its objects gives).
HRESULT CreateAutomationTypeInfo(const AutomationClass& cls, ITypeInfo** typeInfo);

}  // namespace quorlin::platform
