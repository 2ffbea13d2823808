// Internal: an automation class's member table prepared for binding by name, dispatch by id
// and the description records of its type information.
#pragma once

#include <string>
#include <vector>

#include "platform/com/automation_class.h"

namespace quorlin::platform {

struct DescribedMember {
  AutomationMember member;
  std::u16string name;
  USHORT hash;  // low word of the name hash
  std::vector<std::u16string> parameterNames;

  bool IsDataMember() const { return member.kind == MemberKind::DataMember; }
  bool Matches(std::u16string_view otherName, USHORT otherHash) const;
};

class ClassDescription {
 public:
  ClassDescription(const char* name, const IID& iid, std::vector<AutomationMember> members);

  std::u16string_view Name() const { return name_; }
  USHORT NameHash() const { return nameHash_; }
  const IID& Iid() const { return iid_; }
  const std::vector<DescribedMember>& Members() const { return members_; }
  // Members described as functions (everything but data members), then as variables.
  const std::vector<const DescribedMember*>& Functions() const { return functions_; }
  const std::vector<const DescribedMember*>& Variables() const { return variables_; }

  // The member a dispatch call with these DISPATCH_* flags reaches, trying method, property
  // get, put and put-by-reference in that order; the kind invoked goes to *invoked.
  const DescribedMember* FindForInvoke(DISPID id, WORD flags, MemberKind* invoked) const;
  // The first member of that name (any kind), or null.
  const DescribedMember* FindByName(std::u16string_view name) const;
  const DescribedMember* FindById(DISPID id) const;

  // New description records, each one block freed by FreeDescription; null when out of memory.
  FUNCDESC* NewFuncDesc(const DescribedMember& member) const;
  VARDESC* NewVarDesc(const DescribedMember& member) const;
  TYPEATTR* NewTypeAttr() const;
  static void FreeDescription(void* description);

 private:
  std::u16string name_;
  USHORT nameHash_;
  IID iid_;
  std::vector<DescribedMember> members_;
  std::vector<const DescribedMember*> functions_;
  std::vector<const DescribedMember*> variables_;
};

std::u16string WidenAscii(const char* text);

// GetIDsOfNames over a class: the member of the first name, the positions of the parameters
// named after it; DISP_E_UNKNOWNNAME (and DISPID_UNKNOWN) for any name not found.
HRESULT LookUpIdsOfNames(const ClassDescription& description, LPOLESTR* names, UINT nameCount, DISPID* ids);

// The declared parameters of a member invoked as `kind`: a data member takes its value on a
// put and nothing on a get.
std::vector<AutomationParameter> DeclaredParameters(const AutomationMember& member, MemberKind kind);

}  // namespace quorlin::platform
