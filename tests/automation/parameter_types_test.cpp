#include <gtest/gtest.h>

#include <map>

#include "platform/com/com_object.h"
#include "runtime/automation/parameter_types.h"

namespace quorlin::automation {
namespace {

// Type information that knows a few referenced types by their HREFTYPE and nothing else.
class ReferencedTypes final : public platform::ComObject<ITypeInfo> {
 public:
  explicit ReferencedTypes(std::map<HREFTYPE, TYPEATTR>* types, int* live, int* openAttributes)
      : types_(types), live_(live), openAttributes_(openAttributes) {
    ++*live_;
  }
  ~ReferencedTypes() override { --*live_; }

  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE reference, ITypeInfo** typeInfo) override {
    *typeInfo = nullptr;
    const auto it = types_->find(reference);
    if (it == types_->end()) return TYPE_E_ELEMENTNOTFOUND;
    auto* info = new ReferencedTypes(types_, live_, openAttributes_);
    info->own_ = &it->second;
    *typeInfo = info;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override {
    if (!own_) return E_FAIL;
    ++*openAttributes_;
    *attributes = own_;
    return S_OK;
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR*) override { --*openAttributes_; }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

 private:
  std::map<HREFTYPE, TYPEATTR>* types_;
  int* live_;
  int* openAttributes_;
  TYPEATTR* own_ = nullptr;
};

TYPEDESC Plain(VARTYPE vt) {
  TYPEDESC d{};
  d.vt = vt;
  return d;
}
TYPEDESC Wrap(VARTYPE vt, TYPEDESC* inner) {
  TYPEDESC d{};
  d.vt = vt;
  d.lptdesc = inner;
  return d;
}
TYPEDESC UserDefined(HREFTYPE reference) {
  TYPEDESC d{};
  d.vt = VT_USERDEFINED;
  d.hreftype = reference;
  return d;
}
TYPEATTR OfKind(TYPEKIND kind, TYPEDESC alias = Plain(VT_EMPTY)) {
  TYPEATTR a{};
  a.typekind = kind;
  a.tdescAlias = alias;
  return a;
}

TEST(ParameterTypesTest, TypeDescriptionsAreReadAsTheVariantTypeTheyPass) {
  enum : HREFTYPE { kEnum = 1, kDispatch, kInterface, kRecord, kAliasOfEnum, kAliasOfBstr, kLoopA, kLoopB, kUnreadable };
  std::map<HREFTYPE, TYPEATTR> types = {
      {kEnum, OfKind(TKIND_ENUM)},
      {kDispatch, OfKind(TKIND_DISPATCH)},
      {kInterface, OfKind(TKIND_INTERFACE)},
      {kRecord, OfKind(TKIND_RECORD)},
      {kAliasOfEnum, OfKind(TKIND_ALIAS, UserDefined(kEnum))},
      {kAliasOfBstr, OfKind(TKIND_ALIAS, Plain(VT_BSTR))},
      {kLoopA, OfKind(TKIND_ALIAS, UserDefined(kLoopB))},
      {kLoopB, OfKind(TKIND_ALIAS, UserDefined(kLoopA))},
  };
  int live = 0;
  int openAttributes = 0;
  auto* owner = new ReferencedTypes(&types, &live, &openAttributes);

  TYPEDESC bstr = Plain(VT_BSTR);
  TYPEDESC variant = Plain(VT_VARIANT);
  TYPEDESC enumeration = UserDefined(kEnum);
  TYPEDESC dispatch = UserDefined(kDispatch);
  TYPEDESC pointerToVariant = Wrap(VT_PTR, &variant);
  ARRAYDESC fixed{};
  fixed.tdescElem = Plain(VT_I2);
  fixed.cDims = 1;
  TYPEDESC fixedArray{};
  fixedArray.vt = VT_CARRAY;
  fixedArray.lpadesc = &fixed;
  TYPEDESC safeArrayOfVariant = Wrap(VT_SAFEARRAY, &variant);

  const struct {
    const char* note;
    TYPEDESC description;
    VARTYPE type;
    bool byReference;
    bool isArray;
  } rows[] = {
      {"plain", Plain(VT_R8), VT_R8, false, false},
      {"int", Plain(VT_INT), VT_I4, false, false},
      {"unsigned int", Plain(VT_UINT), VT_UI4, false, false},
      {"pointer", Wrap(VT_PTR, &bstr), VT_BSTR, true, false},
      {"pointer to pointer", Wrap(VT_PTR, &pointerToVariant), VT_VARIANT, true, false},
      {"safe array", Wrap(VT_SAFEARRAY, &bstr), VT_BSTR, false, true},
      {"pointer to safe array", Wrap(VT_PTR, &safeArrayOfVariant), VT_VARIANT, true, true},
      {"fixed array", fixedArray, VT_I2, false, true},
      {"enumeration", enumeration, VT_I4, false, false},
      {"pointer to enumeration", Wrap(VT_PTR, &enumeration), VT_I4, true, false},
      {"dispatch interface", Wrap(VT_PTR, &dispatch), VT_DISPATCH, true, false},
      {"other interface", UserDefined(kInterface), VT_UNKNOWN, false, false},
      {"record", UserDefined(kRecord), VT_UNKNOWN, false, false},
      {"alias of an enumeration", UserDefined(kAliasOfEnum), VT_I4, false, false},
      {"alias of a text", UserDefined(kAliasOfBstr), VT_BSTR, false, false},
      {"alias loop", UserDefined(kLoopA), VT_UNKNOWN, false, false},
      {"unknown reference", UserDefined(kUnreadable), VT_UNKNOWN, false, false},
      {"pointer without target", Wrap(VT_PTR, nullptr), VT_UNKNOWN, true, false},
  };
  for (const auto& row : rows) {
    const ParameterType type = DescribeType(owner, row.description);
    EXPECT_EQ(type.type, row.type) << row.note;
    EXPECT_EQ(type.byReference, row.byReference) << row.note;
    EXPECT_EQ(type.isArray, row.isArray) << row.note;
  }
  // Without type information to follow references, a user-defined type counts as IUnknown.
  EXPECT_EQ(DescribeType(nullptr, enumeration).type, VT_UNKNOWN);

  owner->Release();
  EXPECT_EQ(live, 0) << "every referenced type information is released";
  EXPECT_EQ(openAttributes, 0) << "every type attribute is given back";
}

TEST(ParameterTypesTest, OutputParametersAreMarked) {
  ELEMDESC element{};
  element.tdesc = Plain(VT_I4);
  element.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
  EXPECT_TRUE(DescribeParameter(nullptr, element).isOutput);
  element.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOPT;
  EXPECT_FALSE(DescribeParameter(nullptr, element).isOutput);
}

}  // namespace
}  // namespace quorlin::automation
