#include "platform/com/typeinfo.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/com/com_ptr.h"
#include "tests/platform/com/automation_test_class.h"

namespace {

using namespace automation_test;
using quorlin::platform::BstrView;
using quorlin::platform::ComPtr;
using quorlin::platform::CreateAutomationTypeInfo;
using quorlin::platform::Variant;

ULONG Hash(const char16_t* name) { return LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), name); }

TEST(NameHash, IgnoresCaseAndKeepsLocaleAndSystemInTheHighWord) {
  const char16_t* sameNames[][2] = {
      {u"GetallResponseHeaders", u"getAllResponseHeaders"}, {u"SetTimeouts", u"SETTIMEOUTS"},
      {u"\u00e9t\u00e9", u"\u00c9T\u00c9"},                  {u"\u0441\u0447\u0451\u0442", u"\u0421\u0427\u0401\u0422"},
      {u"\u03c3\u03c2", u"\u03a3\u03a3"},
  };
  for (const auto& pair : sameNames) {
    EXPECT_EQ(Hash(pair[0]), Hash(pair[1]));
    EXPECT_TRUE(quorlin::platform::NamesEqualIgnoringCase(pair[0], pair[1]));
  }
  EXPECT_FALSE(quorlin::platform::NamesEqualIgnoringCase(u"open", u"opens"));
  EXPECT_FALSE(quorlin::platform::NamesEqualIgnoringCase(u"\u00f7", u"\u00d7")) << "÷ is no letter";
  EXPECT_EQ(LHashValOfName(0x0804, u"send"), LHashValOfNameSys(SYS_WIN32, 0x0804, u"send"));
  EXPECT_EQ(Hash(u"send") >> 16, (ULONG{SYS_WIN32} << 8) | 0x04);
  EXPECT_EQ(WHashValOfLHashVal(LHashValOfNameSys(SYS_WIN64, 0, u"send")), WHashValOfLHashVal(Hash(u"send")));

  // Different names spread over the hash values.
  std::set<USHORT> hashes;
  for (int i = 0; i < 200; ++i) {
    const std::u16string name = u"member" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                                std::u16string(1, static_cast<char16_t>(u'0' + i / 26));
    hashes.insert(WHashValOfLHashVal(Hash(name.c_str())));
  }
  EXPECT_GT(hashes.size(), 195u);
}

TEST(TypeLibraries, NoneCanBeLoadedOnThisPlatform) {
  ITypeLib* library = reinterpret_cast<ITypeLib*>(1);
  EXPECT_EQ(LoadTypeLib(u"C:\\Windows\\system32\\msxml6.dll", &library), TYPE_E_CANTLOADLIBRARY);
  EXPECT_EQ(library, nullptr);
  EXPECT_EQ(LoadTypeLibEx(u"x.tlb", REGKIND_NONE, &library), TYPE_E_CANTLOADLIBRARY);
  EXPECT_EQ(LoadTypeLib(nullptr, &library), E_INVALIDARG);
  EXPECT_EQ(LoadTypeLib(u"x.tlb", nullptr), E_POINTER);
  EXPECT_EQ(RegisterTypeLib(nullptr, u"C:\\x.tlb", nullptr), E_INVALIDARG);
}

TEST(DispGetParam, TakesPositionalAndNamedArgumentsConverted) {
  VARIANT arguments[3];
  for (VARIANT& argument : arguments) VariantInit(&argument);
  // Declaration order: position 0 = "12" (text), position 1 = 2.5; the named one is id 7.
  arguments[2].vt = VT_BSTR;
  arguments[2].bstrVal = SysAllocString(u"12");
  arguments[1].vt = VT_R8;
  arguments[1].dblVal = 2.5;
  arguments[0].vt = VT_I2;
  arguments[0].iVal = 9;
  DISPID named[] = {7};
  DISPPARAMS params{arguments, named, 3, 1};

  Variant value;
  UINT error = ~0u;
  EXPECT_EQ(DispGetParam(&params, 0, VT_I4, value.Receive(), &error), S_OK);
  EXPECT_EQ(value->lVal, 12);
  EXPECT_EQ(DispGetParam(&params, 7, VT_R8, value.Receive(), &error), S_OK);
  EXPECT_DOUBLE_EQ(value->dblVal, 9);
  EXPECT_EQ(DispGetParam(&params, 2, VT_I4, value.Receive(), &error), DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(DispGetParam(&params, 1, VT_DISPATCH, value.Receive(), &error), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(error, 1u);
  VariantClear(&arguments[2]);
}

class TypeInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateAutomationTypeInfo(kTestClass, typeInfo.Receive()), S_OK);
    ASSERT_EQ(typeInfo->GetTypeComp(typeComp.Receive()), S_OK);
  }

  // Binds and returns the kind; *desc receives a FUNCDESC or VARDESC (released by the test
  // through the bound type info).
  DESCKIND Bind(const char16_t* name, WORD flags, HRESULT expected = S_OK) {
    ITypeInfo* bound = nullptr;
    DESCKIND kind = DESCKIND_MAX;
    BINDPTR pointer{};
    EXPECT_EQ(typeComp->Bind(const_cast<LPOLESTR>(name), Hash(name), flags, &bound, &kind, &pointer), expected)
        << std::string(name, name + std::char_traits<char16_t>::length(name));
    if (kind == DESCKIND_FUNCDESC) {
      EXPECT_NE(bound, nullptr);
      funcDesc = *pointer.lpfuncdesc;
      bound->ReleaseFuncDesc(pointer.lpfuncdesc);
    } else if (kind == DESCKIND_VARDESC) {
      varDesc = *pointer.lpvardesc;
      bound->ReleaseVarDesc(pointer.lpvardesc);
    } else {
      EXPECT_EQ(bound, nullptr);
      EXPECT_EQ(pointer.lpfuncdesc, nullptr);
    }
    if (bound) bound->Release();
    return kind;
  }

  ComPtr<ITypeInfo> typeInfo;
  ComPtr<ITypeComp> typeComp;
  FUNCDESC funcDesc{};  // a copy: pointers in it are dangling after release
  VARDESC varDesc{};
};

TEST_F(TypeInfoTest, BindFindsMembersByNameWithoutCaseForTheKindsAsked) {
  struct Row {
    const char16_t* name;
    WORD flags;
    DESCKIND kind;
    HRESULT hr;
    MEMBERID id;
    INVOKEKIND invkind;
  };
  const Row rows[] = {
      {u"add", INVOKE_FUNC, DESCKIND_FUNCDESC, S_OK, kAdd, INVOKE_FUNC},
      {u"ADD", INVOKE_PROPERTYGET, DESCKIND_NONE, TYPE_E_TYPEMISMATCH, 0, {}},
      {u"name", INVOKE_PROPERTYGET, DESCKIND_FUNCDESC, S_OK, kName, INVOKE_PROPERTYGET},
      {u"NAME", INVOKE_PROPERTYPUT, DESCKIND_FUNCDESC, S_OK, kName, INVOKE_PROPERTYPUT},
      {u"Name", INVOKE_PROPERTYPUTREF, DESCKIND_NONE, TYPE_E_TYPEMISMATCH, 0, {}},
      {u"Name", INVOKE_FUNC, DESCKIND_NONE, TYPE_E_TYPEMISMATCH, 0, {}},
      {u"target", INVOKE_PROPERTYPUTREF, DESCKIND_FUNCDESC, S_OK, kTarget, INVOKE_PROPERTYPUTREF},
      {u"bytes", 0, DESCKIND_FUNCDESC, S_OK, kBytes, INVOKE_PROPERTYGET},
      {u"nothing", INVOKE_FUNC, DESCKIND_NONE, S_OK, 0, {}},
  };
  for (const Row& row : rows) {
    funcDesc = {};
    EXPECT_EQ(Bind(row.name, row.flags, row.hr), row.kind);
    if (row.kind == DESCKIND_FUNCDESC) {
      EXPECT_EQ(funcDesc.memid, row.id);
      EXPECT_EQ(funcDesc.invkind, row.invkind);
      EXPECT_EQ(funcDesc.funckind, FUNC_DISPATCH);
    }
  }
  // The hash must be the name's.
  ITypeInfo* bound = nullptr;
  DESCKIND kind = DESCKIND_MAX;
  BINDPTR pointer{};
  EXPECT_EQ(typeComp->Bind(const_cast<LPOLESTR>(u"Add"), Hash(u"Sub"), INVOKE_FUNC, &bound, &kind, &pointer), S_OK);
  EXPECT_EQ(kind, DESCKIND_NONE);
}

TEST_F(TypeInfoTest, FunctionDescriptionsDescribeParametersAsTypeLibrariesDo) {
  ComPtr<ITypeInfo> bound;
  DESCKIND kind{};
  BINDPTR pointer{};
  ASSERT_EQ(typeComp->Bind(const_cast<LPOLESTR>(u"swap"), Hash(u"swap"), INVOKE_FUNC, bound.Receive(), &kind, &pointer),
            S_OK);
  ASSERT_EQ(kind, DESCKIND_FUNCDESC);
  const FUNCDESC& swap = *pointer.lpfuncdesc;
  ASSERT_EQ(swap.cParams, 2);
  EXPECT_EQ(swap.cParamsOpt, 0);
  EXPECT_EQ(swap.elemdescFunc.tdesc.vt, VT_BOOL);
  EXPECT_EQ(swap.lprgelemdescParam[0].tdesc.vt, VT_PTR);
  EXPECT_EQ(swap.lprgelemdescParam[0].tdesc.lptdesc->vt, VT_BSTR);
  EXPECT_EQ(swap.lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN | PARAMFLAG_FOUT);
  EXPECT_EQ(swap.lprgelemdescParam[1].tdesc.vt, VT_PTR);
  EXPECT_EQ(swap.lprgelemdescParam[1].tdesc.lptdesc->vt, VT_VARIANT);
  bound->ReleaseFuncDesc(pointer.lpfuncdesc);

  Bind(u"Count", INVOKE_FUNC);
  EXPECT_EQ(funcDesc.cParams, 1);
  Bind(u"Sum", INVOKE_FUNC);
  EXPECT_EQ(funcDesc.cParamsOpt, -1) << "variable arguments";
  EXPECT_EQ(funcDesc.elemdescFunc.tdesc.vt, VT_R8);
  Bind(u"Add", INVOKE_FUNC);
  EXPECT_EQ(funcDesc.cParams, 2);
  EXPECT_EQ(funcDesc.cParamsOpt, 1);
  Bind(u"Name", INVOKE_PROPERTYPUT);
  EXPECT_EQ(funcDesc.cParams, 1);
  EXPECT_EQ(funcDesc.elemdescFunc.tdesc.vt, VT_VOID);
  Bind(u"Fail", INVOKE_FUNC);
  EXPECT_EQ(funcDesc.cParams, 0);
  EXPECT_EQ(funcDesc.lprgelemdescParam, nullptr);

  // Arrays are safe arrays of their element type.
  FUNCDESC* count = nullptr;
  for (UINT i = 0; typeInfo->GetFuncDesc(i, &count) == S_OK; ++i) {
    if (count->memid == kCount) break;
    typeInfo->ReleaseFuncDesc(count);
    count = nullptr;
  }
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->lprgelemdescParam[0].tdesc.vt, VT_SAFEARRAY);
  EXPECT_EQ(count->lprgelemdescParam[0].tdesc.lptdesc->vt, VT_UI1);
  EXPECT_EQ(count->lprgelemdescParam[0].paramdesc.wParamFlags, PARAMFLAG_FIN);
  typeInfo->ReleaseFuncDesc(count);
}

TEST_F(TypeInfoTest, DataMembersBindAsVariablesWhateverKindIsAsked) {
  for (WORD flags : {WORD{INVOKE_PROPERTYGET}, WORD{INVOKE_PROPERTYPUT}, WORD{INVOKE_FUNC}}) {
    ASSERT_EQ(Bind(u"LEVEL", flags), DESCKIND_VARDESC);
    EXPECT_EQ(varDesc.memid, kLevel);
    EXPECT_EQ(varDesc.varkind, VAR_DISPATCH);
    EXPECT_EQ(varDesc.elemdescVar.tdesc.vt, VT_I4);
  }
  VARDESC* desc = nullptr;
  ASSERT_EQ(typeInfo->GetVarDesc(0, &desc), S_OK);
  EXPECT_EQ(desc->memid, kLevel);
  typeInfo->ReleaseVarDesc(desc);
  EXPECT_EQ(typeInfo->GetVarDesc(1, &desc), TYPE_E_ELEMENTNOTFOUND);
}

TEST_F(TypeInfoTest, AttributesNamesAndDocumentation) {
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(typeInfo->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, kTestIid);
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cFuncs, 10);
  EXPECT_EQ(attributes->cVars, 1);
  typeInfo->ReleaseTypeAttr(attributes);

  BSTR names[3] = {};
  UINT count = 0;
  ASSERT_EQ(typeInfo->GetNames(kAdd, names, 3, &count), S_OK);
  ASSERT_EQ(count, 3u);
  EXPECT_EQ(BstrView(names[0]), u"Add");
  EXPECT_EQ(BstrView(names[2]), u"b");
  for (BSTR name : names) SysFreeString(name);
  EXPECT_EQ(typeInfo->GetNames(999, names, 3, &count), TYPE_E_ELEMENTNOTFOUND);

  BSTR name = nullptr;
  ASSERT_EQ(typeInfo->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(BstrView(name), u"ITestObject");
  SysFreeString(name);

  void* instance = reinterpret_cast<void*>(1);
  EXPECT_EQ(typeInfo->CreateInstance(nullptr, IID_IUnknown, &instance), TYPE_E_WRONGTYPEKIND);
  EXPECT_EQ(instance, nullptr);
}

TEST_F(TypeInfoTest, TheContainingLibraryFindsNames) {
  ComPtr<ITypeLib> library;
  UINT index = 9;
  ASSERT_EQ(typeInfo->GetContainingTypeLib(library.Receive(), &index), S_OK);
  EXPECT_EQ(index, 0u);
  EXPECT_EQ(library->GetTypeInfoCount(), 1u);

  ITypeInfo* found[2] = {};
  MEMBERID ids[2] = {};
  USHORT count = 2;
  ASSERT_EQ(library->FindName(const_cast<LPOLESTR>(u"name"), Hash(u"name"), found, ids, &count), S_OK);
  ASSERT_EQ(count, 1) << "a property's get and put are one member";
  EXPECT_EQ(ids[0], kName);
  found[0]->Release();

  count = 1;
  ASSERT_EQ(library->FindName(const_cast<LPOLESTR>(u"itestobject"), Hash(u"itestobject"), found, ids, &count), S_OK);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(ids[0], MEMBERID_NIL);
  found[0]->Release();

  count = 2;
  EXPECT_EQ(library->FindName(const_cast<LPOLESTR>(u"absent"), Hash(u"absent"), found, ids, &count), S_OK);
  EXPECT_EQ(count, 0);

  char16_t spelled[] = u"SETTIMEOUTS";
  BOOL isName = TRUE;
  EXPECT_EQ(library->IsName(spelled, Hash(spelled), &isName), S_OK);
  EXPECT_FALSE(isName);
  char16_t add[] = u"aDd";
  EXPECT_EQ(library->IsName(add, Hash(add), &isName), S_OK);
  EXPECT_TRUE(isName);
  EXPECT_EQ(std::u16string(add), u"Add") << "handed back as the library spells it";
}

}  // namespace
