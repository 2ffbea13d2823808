#include "platform/com/class_description.h"

#include <cstdlib>
#include <cstring>

namespace quorlin::platform {
namespace {

// A parameter or result type as a TYPEDESC chain: VT_BYREF becomes VT_PTR to the type,
// VT_ARRAY a VT_SAFEARRAY of the element type, as type libraries describe them.
size_t ExtraTypeNodes(VARTYPE type) {
  size_t nodes = 0;
  if (type & VT_BYREF) ++nodes;
  if (type & VT_ARRAY) ++nodes;
  return nodes;
}

void FillTypeDesc(TYPEDESC& desc, VARTYPE type, TYPEDESC*& spare) {
  if (type & VT_BYREF) {
    desc.vt = VT_PTR;
    desc.lptdesc = spare++;
    FillTypeDesc(*desc.lptdesc, static_cast<VARTYPE>(type & ~VT_BYREF), spare);
  } else if (type & VT_ARRAY) {
    desc.vt = VT_SAFEARRAY;
    desc.lptdesc = spare++;
    FillTypeDesc(*desc.lptdesc, static_cast<VARTYPE>(type & ~VT_ARRAY), spare);
  } else {
    desc.vt = type;
  }
}

VARTYPE ResultTypeOf(const AutomationMember& member) { return member.result == VT_EMPTY ? VARTYPE{VT_VOID} : member.result; }


}  // namespace

std::u16string WidenAscii(const char* text) {
  std::u16string wide;
  for (const char* p = text ? text : ""; *p != 0; ++p) wide += static_cast<char16_t>(static_cast<unsigned char>(*p));
  return wide;
}

std::vector<AutomationParameter> DeclaredParameters(const AutomationMember& member, MemberKind kind) {
  if (member.kind != MemberKind::DataMember) return member.parameters;
  if (kind == MemberKind::PropertyGet) return {};
  return {AutomationParameter{"value", member.result, PARAMFLAG_FIN}};
}

bool DescribedMember::Matches(std::u16string_view otherName, USHORT otherHash) const {
  return hash == otherHash && NamesEqualIgnoringCase(name, otherName);
}

ClassDescription::ClassDescription(const char* name, const IID& iid, std::vector<AutomationMember> members)
    : name_(WidenAscii(name)), nameHash_(WHashValOfLHashVal(LHashValOfNameSys(SYS_WIN32, 0, name_.c_str()))), iid_(iid) {
  members_.reserve(members.size());
  for (AutomationMember& member : members) {
    DescribedMember described{std::move(member), {}, 0, {}};
    described.name = WidenAscii(described.member.name);
    described.hash = WHashValOfLHashVal(LHashValOfNameSys(SYS_WIN32, 0, described.name.c_str()));
    for (const AutomationParameter& parameter : described.member.parameters) {
      described.parameterNames.push_back(WidenAscii(parameter.name));
    }
    members_.push_back(std::move(described));
  }
  for (const DescribedMember& member : members_) {
    (member.IsDataMember() ? variables_ : functions_).push_back(&member);
  }
}

const DescribedMember* ClassDescription::FindForInvoke(DISPID id, WORD flags, MemberKind* invoked) const {
  static constexpr MemberKind kOrder[] = {MemberKind::Method, MemberKind::PropertyGet, MemberKind::PropertyPut,
                                          MemberKind::PropertyPutRef};
  for (MemberKind kind : kOrder) {
    if (!(flags & static_cast<WORD>(kind))) continue;
    for (const DescribedMember& member : members_) {
      if (member.member.id != id) continue;
      const bool reached = member.member.kind == kind || (member.IsDataMember() && kind != MemberKind::Method);
      if (reached) {
        *invoked = kind;
        return &member;
      }
    }
  }
  return nullptr;
}

const DescribedMember* ClassDescription::FindByName(std::u16string_view name) const {
  for (const DescribedMember& member : members_) {
    if (NamesEqualIgnoringCase(member.name, name)) return &member;
  }
  return nullptr;
}

const DescribedMember* ClassDescription::FindById(DISPID id) const {
  for (const DescribedMember& member : members_) {
    if (member.member.id == id) return &member;
  }
  return nullptr;
}

FUNCDESC* ClassDescription::NewFuncDesc(const DescribedMember& described) const {
  const AutomationMember& member = described.member;
  const size_t params = member.parameters.size();
  size_t nodes = ExtraTypeNodes(member.result);
  for (const AutomationParameter& parameter : member.parameters) nodes += ExtraTypeNodes(parameter.type);

  // One block: the FUNCDESC, its parameters, then the type nodes they point at.
  const size_t bytes = sizeof(FUNCDESC) + params * sizeof(ELEMDESC) + nodes * sizeof(TYPEDESC);
  auto* block = static_cast<unsigned char*>(std::calloc(1, bytes));
  if (!block) return nullptr;
  auto* desc = reinterpret_cast<FUNCDESC*>(block);
  auto* elements = reinterpret_cast<ELEMDESC*>(block + sizeof(FUNCDESC));
  TYPEDESC* spare = reinterpret_cast<TYPEDESC*>(block + sizeof(FUNCDESC) + params * sizeof(ELEMDESC));

  desc->memid = member.id;
  desc->lprgelemdescParam = params != 0 ? elements : nullptr;
  desc->funckind = FUNC_DISPATCH;
  desc->invkind = static_cast<INVOKEKIND>(member.kind);
  desc->callconv = CC_STDCALL;
  desc->cParams = static_cast<SHORT>(params);
  SHORT optional = 0;
  for (size_t i = 0; i < params; ++i) {
    const AutomationParameter& parameter = member.parameters[i];
    FillTypeDesc(elements[i].tdesc, parameter.type, spare);
    const USHORT direction = parameter.flags & (PARAMFLAG_FIN | PARAMFLAG_FOUT);
    elements[i].paramdesc.wParamFlags = direction != 0 ? parameter.flags : (parameter.flags | PARAMFLAG_FIN);
    if (parameter.flags & PARAMFLAG_FOPT) ++optional;
  }
  desc->cParamsOpt = member.varArgs ? SHORT{-1} : optional;
  FillTypeDesc(desc->elemdescFunc.tdesc, ResultTypeOf(member), spare);
  return desc;
}

VARDESC* ClassDescription::NewVarDesc(const DescribedMember& described) const {
  const AutomationMember& member = described.member;
  const size_t nodes = ExtraTypeNodes(member.result);
  auto* block = static_cast<unsigned char*>(std::calloc(1, sizeof(VARDESC) + nodes * sizeof(TYPEDESC)));
  if (!block) return nullptr;
  auto* desc = reinterpret_cast<VARDESC*>(block);
  TYPEDESC* spare = reinterpret_cast<TYPEDESC*>(block + sizeof(VARDESC));
  desc->memid = member.id;
  desc->varkind = VAR_DISPATCH;
  FillTypeDesc(desc->elemdescVar.tdesc, ResultTypeOf(member), spare);
  desc->elemdescVar.paramdesc.wParamFlags = PARAMFLAG_NONE;
  return desc;
}

TYPEATTR* ClassDescription::NewTypeAttr() const {
  auto* attributes = static_cast<TYPEATTR*>(std::calloc(1, sizeof(TYPEATTR)));
  if (!attributes) return nullptr;
  attributes->guid = iid_;
  attributes->memidConstructor = MEMBERID_NIL;
  attributes->memidDestructor = MEMBERID_NIL;
  attributes->cbSizeInstance = sizeof(void*);
  attributes->typekind = TKIND_DISPATCH;
  attributes->cFuncs = static_cast<WORD>(functions_.size());
  attributes->cVars = static_cast<WORD>(variables_.size());
  attributes->cbSizeVft = 7 * sizeof(void*);  // IUnknown and IDispatch
  attributes->cbAlignment = alignof(void*);
  attributes->wTypeFlags = TYPEFLAG_FDISPATCHABLE;
  attributes->wMajorVerNum = 1;
  attributes->tdescAlias.vt = VT_EMPTY;
  return attributes;
}

void ClassDescription::FreeDescription(void* description) { std::free(description); }

}  // namespace quorlin::platform
