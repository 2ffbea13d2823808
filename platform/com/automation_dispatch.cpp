// IDispatch over an automation class table: name lookup and Invoke with the platform's
// checks, argument conversion and error codes.
#include <cstring>
#include <vector>

#include "platform/com/class_description.h"

namespace quorlin::platform {
namespace {

bool IsDispatchCode(HRESULT hr) {
  const auto code = static_cast<DWORD>(hr);
  return code >= 0x80020001u && code <= 0x800200FFu;
}

// Where a declared parameter's value came from.
struct ArgumentSource {
  const VARIANT* value = nullptr;  // null: not supplied
  UINT index = 0;                  // its position in DISPPARAMS::rgvarg
};

// The arguments handed to a member and what of them the dispatcher must clear.
class PreparedArguments {
 public:
  explicit PreparedArguments(size_t count) : values_(count), owned_(count, false), holders_(count) {
    for (size_t i = 0; i < count; ++i) {
      VariantInit(&values_[i]);
      VariantInit(&holders_[i]);
    }
  }
  PreparedArguments(const PreparedArguments&) = delete;
  PreparedArguments& operator=(const PreparedArguments&) = delete;
  ~PreparedArguments() {
    for (size_t i = 0; i < values_.size(); ++i) {
      if (owned_[i]) VariantClear(&values_[i]);
      VariantClear(&holders_[i]);
    }
  }

  std::vector<VARIANT>& Values() { return values_; }

  // The caller's VARIANT as it is (not ours to clear).
  void Borrow(size_t i, const VARIANT& source) { values_[i] = source; }

  HRESULT ConvertByValue(size_t i, const VARIANT& source, VARTYPE type) {
    const HRESULT hr = VariantChangeType(&values_[i], &source, 0, type);
    if (FAILED(hr)) return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
    owned_[i] = true;
    return S_OK;
  }

  // A by-reference parameter given a value: the value, changed to the pointed-to type, is
  // held here and passed by reference to that copy.
  HRESULT ConvertToHeldReference(size_t i, const VARIANT& source, VARTYPE pointedTo) {
    VARIANT& holder = holders_[i];
    HRESULT hr;
    if (pointedTo & VT_ARRAY) {
      hr = source.vt == pointedTo ? VariantCopy(&holder, &source) : DISP_E_TYPEMISMATCH;
    } else {
      hr = VariantChangeType(&holder, &source, 0, pointedTo);
    }
    if (FAILED(hr)) return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
    values_[i].vt = static_cast<VARTYPE>(VT_BYREF | pointedTo);
    values_[i].byref = &holder.llVal;
    return S_OK;
  }

  // A VARIANT given by value where one is declared by reference: a copy is referred to, so
  // what the member writes there never reaches the caller's argument.
  HRESULT CopyToHeldVariant(size_t i, const VARIANT& source) {
    const HRESULT hr = VariantCopy(&holders_[i], &source);
    if (FAILED(hr)) return hr;
    ReferTo(i, static_cast<VARTYPE>(VT_BYREF | VT_VARIANT), &holders_[i]);
    return S_OK;
  }

  void ReferTo(size_t i, VARTYPE type, void* target) {
    values_[i].vt = type;
    values_[i].byref = target;
  }

 private:
  std::vector<VARIANT> values_;
  std::vector<bool> owned_;
  std::vector<VARIANT> holders_;  // never resized: values_ may point into it
};

HRESULT PrepareArgument(PreparedArguments& prepared, size_t i, const AutomationParameter& parameter,
                        const VARIANT& source) {
  const VARTYPE type = parameter.type;
  if (IsMissing(source) || source.vt == type) {
    prepared.Borrow(i, source);
    return S_OK;
  }
  if (type & VT_BYREF) {
    const auto pointedTo = static_cast<VARTYPE>(type & ~VT_BYREF);
    if (pointedTo == VT_VARIANT) return prepared.CopyToHeldVariant(i, source);
    if (source.vt == (VT_BYREF | VT_VARIANT)) {
      VARIANT* inner = source.pvarVal;
      if (inner && inner->vt == pointedTo && pointedTo != VT_DECIMAL) {
        prepared.ReferTo(i, type, &inner->llVal);
        return S_OK;
      }
      return DISP_E_TYPEMISMATCH;
    }
    if (source.vt & VT_BYREF) return DISP_E_TYPEMISMATCH;
    return prepared.ConvertToHeldReference(i, source, pointedTo);
  }
  if (type == VT_VARIANT) {
    prepared.Borrow(i, source);
    return S_OK;
  }
  if (type & VT_ARRAY) {
    if (source.vt == (VT_BYREF | type) && source.pparray) {
      VARIANT array;
      VariantInit(&array);
      array.vt = type;
      array.parray = *source.pparray;
      prepared.Borrow(i, array);
      return S_OK;
    }
    if (source.vt == (VT_BYREF | VT_VARIANT) && source.pvarVal && source.pvarVal->vt == type) {
      prepared.Borrow(i, *source.pvarVal);
      return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
  }
  return prepared.ConvertByValue(i, source, type);
}

void FillException(EXCEPINFO* exception, const ClassDescription& description, HRESULT code) {
  if (!exception) return;
  std::memset(exception, 0, sizeof(*exception));
  exception->bstrSource =
      SysAllocStringLen(description.Name().data(), static_cast<UINT>(description.Name().size()));
  exception->scode = code;
}

}  // namespace

bool IsMissing(const VARIANT& argument) { return argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND; }

AutomationClass::AutomationClass(const char* name, const IID& iid, std::vector<AutomationMember> members)
    : description_(std::make_shared<const ClassDescription>(name, iid, std::move(members))) {}

AutomationClass::~AutomationClass() = default;

const IID& AutomationClass::Iid() const { return description_->Iid(); }

HRESULT LookUpIdsOfNames(const ClassDescription& description, LPOLESTR* names, UINT nameCount, DISPID* ids) {
  if (nameCount == 0) return S_OK;
  if (!names || !ids) return E_INVALIDARG;
  for (UINT i = 0; i < nameCount; ++i) ids[i] = DISPID_UNKNOWN;
  if (!names[0]) return E_INVALIDARG;
  const DescribedMember* member = description.FindByName(names[0]);
  if (!member) return DISP_E_UNKNOWNNAME;
  ids[0] = member->member.id;
  HRESULT hr = S_OK;
  for (UINT i = 1; i < nameCount; ++i) {
    bool found = false;
    // Any member of that name: a property's put may name parameters its get lacks.
    for (const DescribedMember& candidate : description.Members()) {
      if (!names[i] || !NamesEqualIgnoringCase(candidate.name, member->name)) continue;
      for (size_t p = 0; p < candidate.parameterNames.size() && !found; ++p) {
        if (NamesEqualIgnoringCase(candidate.parameterNames[p], names[i])) {
          ids[i] = static_cast<DISPID>(p);
          found = true;
        }
      }
      if (found) break;
    }
    if (!found) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchGetIDsOfNames(const AutomationClass& cls, REFIID riid, LPOLESTR* names, UINT nameCount,
                              DISPID* dispIds) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return LookUpIdsOfNames(*cls.Description(), names, nameCount, dispIds);
}

HRESULT DispatchInvoke(const AutomationClass& cls, IDispatch*, MemberInvoker& invoker, DISPID memberId,
                       REFIID riid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  if ((params->cArgs != 0 && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs != 0 && !params->rgdispidNamedArgs)) {
    return E_INVALIDARG;
  }
  const ClassDescription& description = *cls.Description();
  MemberKind kind{};
  const DescribedMember* described = description.FindForInvoke(memberId, flags, &kind);
  if (!described) return DISP_E_MEMBERNOTFOUND;
  const AutomationMember& member = described->member;
  const bool put = kind == MemberKind::PropertyPut || kind == MemberKind::PropertyPutRef;

  // Named arguments: only the value of a put, as DISPID_PROPERTYPUT.
  const bool namedValue = params->cNamedArgs == 1 && put && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (params->cNamedArgs != 0 && !namedValue) return DISP_E_NONAMEDARGS;

  const std::vector<AutomationParameter> declared = DeclaredParameters(member, kind);
  const size_t declaredCount = declared.size();
  // rgvarg holds the named value first, then the positional arguments last one first.
  const size_t positional = params->cArgs - params->cNamedArgs;
  const size_t positionalDeclared = namedValue ? (declaredCount == 0 ? 0 : declaredCount - 1) : declaredCount;
  if (namedValue && declaredCount == 0) return DISP_E_BADPARAMCOUNT;
  if (positional > positionalDeclared && !member.varArgs) return DISP_E_BADPARAMCOUNT;

  std::vector<ArgumentSource> sources(declaredCount);
  for (size_t i = 0; i < positional && i < positionalDeclared; ++i) {
    const UINT index = params->cArgs - 1 - static_cast<UINT>(i);
    sources[i] = {&params->rgvarg[index], index};
  }
  if (namedValue) sources[declaredCount - 1] = {&params->rgvarg[0], 0};
  const size_t surplus = positional > positionalDeclared ? positional - positionalDeclared : 0;

  VARIANT missing;
  VariantInit(&missing);
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;

  PreparedArguments prepared(declaredCount + surplus);
  for (size_t i = 0; i < declaredCount; ++i) {
    const AutomationParameter& parameter = declared[i];
    const bool optional = (parameter.flags & PARAMFLAG_FOPT) != 0;
    const ArgumentSource& source = sources[i];
    if (!source.value) {
      if (!optional) return DISP_E_BADPARAMCOUNT;
      prepared.Borrow(i, missing);
      continue;
    }
    if (IsMissing(*source.value) && !optional) {
      if (argumentError) *argumentError = source.index;
      return DISP_E_PARAMNOTOPTIONAL;
    }
    const HRESULT hr = PrepareArgument(prepared, i, parameter, *source.value);
    if (FAILED(hr)) {
      if (argumentError) *argumentError = source.index;
      return hr;
    }
  }
  for (size_t i = 0; i < surplus; ++i) {
    const UINT index = params->cArgs - 1 - static_cast<UINT>(positionalDeclared + i);
    prepared.Borrow(declaredCount + i, params->rgvarg[index]);
  }

  VARIANT value;
  VariantInit(&value);
  const MemberCall call{member.id, kind, std::span<VARIANT>(prepared.Values()), &value};
  const HRESULT hr = invoker.InvokeMember(call);
  if (FAILED(hr)) {
    VariantClear(&value);
    if (IsDispatchCode(hr)) return hr;
    FillException(exception, description, hr);
    return DISP_E_EXCEPTION;
  }

  // A get gives the member's type; a put or a method without a result gives nothing.
  const VARTYPE resultType = put ? VARTYPE{VT_EMPTY} : member.result;
  if (resultType == VT_EMPTY) {
    VariantClear(&value);
  } else if (resultType != VT_VARIANT && value.vt != resultType) {
    const HRESULT changed = VariantChangeType(&value, &value, 0, resultType);
    if (FAILED(changed)) {
      VariantClear(&value);
      return DISP_E_TYPEMISMATCH;
    }
  }
  if (result) {
    *result = value;
  } else {
    VariantClear(&value);
  }
  return S_OK;
}

}  // namespace quorlin::platform
