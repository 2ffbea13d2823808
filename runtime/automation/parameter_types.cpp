#include "runtime/automation/parameter_types.h"

#include "platform/com/com_ptr.h"

namespace quorlin::automation {
namespace {

using platform::ComPtr;

// Deep enough for any real declaration; a description nested deeper (or an alias chain that
// loops) counts as unreadable.
constexpr int kMaxDepth = 16;

void Describe(ITypeInfo* owner, const TYPEDESC* description, int depth, ParameterType& out);

void DescribeUserDefined(ITypeInfo* owner, HREFTYPE reference, int depth, ParameterType& out) {
  out.type = VT_UNKNOWN;
  if (!owner) return;
  ComPtr<ITypeInfo> referenced;
  if (FAILED(owner->GetRefTypeInfo(reference, referenced.Receive())) || !referenced) return;
  TYPEATTR* attributes = nullptr;
  if (FAILED(referenced->GetTypeAttr(&attributes)) || !attributes) return;
  switch (attributes->typekind) {
    case TKIND_ALIAS: Describe(referenced.Get(), &attributes->tdescAlias, depth + 1, out); break;
    case TKIND_ENUM: out.type = VT_I4; break;
    case TKIND_DISPATCH: out.type = VT_DISPATCH; break;
    default: out.type = VT_UNKNOWN; break;
  }
  referenced->ReleaseTypeAttr(attributes);
}

void Describe(ITypeInfo* owner, const TYPEDESC* description, int depth, ParameterType& out) {
  if (!description || depth > kMaxDepth) {
    out.type = VT_UNKNOWN;
    return;
  }
  switch (description->vt) {
    case VT_PTR:
      out.byReference = true;
      Describe(owner, description->lptdesc, depth + 1, out);
      return;
    case VT_SAFEARRAY:
      out.isArray = true;
      Describe(owner, description->lptdesc, depth + 1, out);
      return;
    case VT_CARRAY:
      out.isArray = true;
      Describe(owner, description->lpadesc ? &description->lpadesc->tdescElem : nullptr, depth + 1, out);
      return;
    case VT_USERDEFINED: DescribeUserDefined(owner, description->hreftype, depth, out); return;
    case VT_INT: out.type = VT_I4; return;
    case VT_UINT: out.type = VT_UI4; return;
    default: out.type = description->vt; return;
  }
}

}  // namespace

ParameterType DescribeType(ITypeInfo* owner, const TYPEDESC& description) {
  ParameterType type;
  Describe(owner, &description, 0, type);
  return type;
}

ParameterType DescribeParameter(ITypeInfo* owner, const ELEMDESC& element) {
  ParameterType type = DescribeType(owner, element.tdesc);
  type.isOutput = (element.paramdesc.wParamFlags & PARAMFLAG_FOUT) != 0;
  return type;
}

}  // namespace quorlin::automation
