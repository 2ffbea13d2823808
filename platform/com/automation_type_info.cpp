// The type information of our automation classes: ITypeInfo, its ITypeComp and a one-type
// ITypeLib, all over a shared ClassDescription.
#include <algorithm>
#include <memory>

#include "platform/com/class_description.h"
#include "platform/com/com_object.h"

namespace quorlin::platform {
namespace {

using Description = std::shared_ptr<const ClassDescription>;

BSTR NewBstr(std::u16string_view text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

HRESULT NewTypeInfo(const Description& description, ITypeInfo** typeInfo);

class TypeComp final : public ComObject<ITypeComp> {
 public:
  // For a library (forLibrary) only the type's own name binds, as a type.
  TypeComp(Description description, bool forLibrary)
      : description_(std::move(description)), forLibrary_(forLibrary) {}

  HRESULT STDMETHODCALLTYPE Bind(LPOLESTR name, ULONG hash, WORD flags, ITypeInfo** typeInfo, DESCKIND* kind,
                                 BINDPTR* bound) override {
    if (!name || !typeInfo || !kind || !bound) return E_INVALIDARG;
    *typeInfo = nullptr;
    *kind = DESCKIND_NONE;
    bound->lpfuncdesc = nullptr;
    if (forLibrary_) return S_OK;

    const USHORT wanted = WHashValOfLHashVal(hash);
    bool nameSeen = false;
    for (const DescribedMember& member : description_->Members()) {
      if (!member.Matches(name, wanted)) continue;
      nameSeen = true;
      // Variables bind whatever kind is asked, as the platform's; functions only for theirs.
      if (member.IsDataMember()) {
        VARDESC* desc = description_->NewVarDesc(member);
        if (!desc) return E_OUTOFMEMORY;
        bound->lpvardesc = desc;
        *kind = DESCKIND_VARDESC;
      } else if (flags == 0 || (flags & static_cast<WORD>(member.member.kind))) {
        FUNCDESC* desc = description_->NewFuncDesc(member);
        if (!desc) return E_OUTOFMEMORY;
        bound->lpfuncdesc = desc;
        *kind = DESCKIND_FUNCDESC;
      } else {
        continue;
      }
      const HRESULT hr = NewTypeInfo(description_, typeInfo);
      if (FAILED(hr)) {
        ClassDescription::FreeDescription(bound->lpfuncdesc);
        bound->lpfuncdesc = nullptr;
        *kind = DESCKIND_NONE;
      }
      return hr;
    }
    return nameSeen ? TYPE_E_TYPEMISMATCH : S_OK;
  }

  HRESULT STDMETHODCALLTYPE BindType(LPOLESTR name, ULONG hash, ITypeInfo** typeInfo,
                                     ITypeComp** typeComp) override {
    if (!name || !typeInfo || !typeComp) return E_INVALIDARG;
    *typeInfo = nullptr;
    *typeComp = nullptr;
    if (WHashValOfLHashVal(hash) != description_->NameHash() ||
        !NamesEqualIgnoringCase(name, description_->Name())) {
      return S_OK;
    }
    return NewTypeInfo(description_, typeInfo);
  }

 private:
  Description description_;
  bool forLibrary_;
};

class TypeLib final : public ComObject<ITypeLib> {
 public:
  explicit TypeLib(Description description) : description_(std::move(description)) {}

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** typeInfo) override {
    if (!typeInfo) return E_INVALIDARG;
    *typeInfo = nullptr;
    if (index != 0) return TYPE_E_ELEMENTNOTFOUND;
    return NewTypeInfo(description_, typeInfo);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) override {
    if (!kind) return E_INVALIDARG;
    if (index != 0) return TYPE_E_ELEMENTNOTFOUND;
    *kind = TKIND_DISPATCH;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** typeInfo) override {
    if (!typeInfo) return E_INVALIDARG;
    *typeInfo = nullptr;
    if (guid != description_->Iid()) return TYPE_E_ELEMENTNOTFOUND;
    return NewTypeInfo(description_, typeInfo);
  }

  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attributes) override {
    if (!attributes) return E_INVALIDARG;
    *attributes = new (std::nothrow) TLIBATTR{description_->Iid(), 0, SYS_WIN64, 1, 0, 0};
    return *attributes ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** typeComp) override {
    if (!typeComp) return E_INVALIDARG;
    *typeComp = new TypeComp(description_, true);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                             BSTR* helpFile) override {
    if (index != -1 && index != 0) return TYPE_E_ELEMENTNOTFOUND;
    if (name) *name = NewBstr(description_->Name());
    if (docString) *docString = nullptr;
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG hash, BOOL* found) override {
    if (!name || !found) return E_INVALIDARG;
    *found = FALSE;
    const std::u16string_view stored = StoredName(name, WHashValOfLHashVal(hash));
    if (stored.empty()) return S_OK;
    // The platform hands back the name as the library spells it.
    std::copy(stored.begin(), stored.end(), name);
    *found = TRUE;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR name, ULONG hash, ITypeInfo** typeInfos, MEMBERID* memberIds,
                                     USHORT* found) override {
    if (!name || !typeInfos || !memberIds || !found) return E_INVALIDARG;
    const USHORT wanted = WHashValOfLHashVal(hash);
    const USHORT room = *found;
    USHORT count = 0;
    auto add = [&](MEMBERID id) -> HRESULT {
      for (USHORT i = 0; i < count; ++i) {
        if (memberIds[i] == id) return S_OK;
      }
      if (count == room) return S_OK;
      const HRESULT hr = NewTypeInfo(description_, &typeInfos[count]);
      if (FAILED(hr)) return hr;
      memberIds[count++] = id;
      return S_OK;
    };
    HRESULT hr = S_OK;
    if (wanted == description_->NameHash() && NamesEqualIgnoringCase(name, description_->Name())) {
      hr = add(MEMBERID_NIL);
    }
    for (const DescribedMember& member : description_->Members()) {
      if (SUCCEEDED(hr) && member.Matches(name, wanted)) hr = add(member.member.id);
    }
    if (FAILED(hr)) {
      for (USHORT i = 0; i < count; ++i) typeInfos[i]->Release();
      count = 0;
    }
    *found = count;
    return hr;
  }

  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attributes) override { delete attributes; }

 private:
  std::u16string_view StoredName(std::u16string_view name, USHORT hash) const {
    if (hash == description_->NameHash() && NamesEqualIgnoringCase(name, description_->Name())) {
      return description_->Name();
    }
    for (const DescribedMember& member : description_->Members()) {
      if (member.Matches(name, hash)) return member.name;
    }
    return {};
  }

  Description description_;
};

class TypeInfo final : public ComObject<ITypeInfo> {
 public:
  explicit TypeInfo(Description description) : description_(std::move(description)) {}

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override {
    if (!attributes) return E_INVALIDARG;
    *attributes = description_->NewTypeAttr();
    return *attributes ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** typeComp) override {
    if (!typeComp) return E_INVALIDARG;
    *typeComp = new TypeComp(description_, false);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** funcDesc) override {
    if (!funcDesc) return E_INVALIDARG;
    *funcDesc = nullptr;
    if (index >= description_->Functions().size()) return TYPE_E_ELEMENTNOTFOUND;
    *funcDesc = description_->NewFuncDesc(*description_->Functions()[index]);
    return *funcDesc ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** varDesc) override {
    if (!varDesc) return E_INVALIDARG;
    *varDesc = nullptr;
    if (index >= description_->Variables().size()) return TYPE_E_ELEMENTNOTFOUND;
    *varDesc = description_->NewVarDesc(*description_->Variables()[index]);
    return *varDesc ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID member, BSTR* names, UINT maxNames, UINT* nameCount) override {
    if (!names || !nameCount) return E_INVALIDARG;
    *nameCount = 0;
    const DescribedMember* found = description_->FindById(member);
    if (!found) return TYPE_E_ELEMENTNOTFOUND;
    UINT count = 0;
    if (count < maxNames) names[count++] = NewBstr(found->name);
    for (const std::u16string& parameter : found->parameterNames) {
      if (count == maxNames) break;
      names[count++] = NewBstr(parameter);
    }
    *nameCount = count;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE* refType) override {
    if (!refType) return E_INVALIDARG;
    return TYPE_E_ELEMENTNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT* implTypeFlags) override {
    if (!implTypeFlags) return E_INVALIDARG;
    return TYPE_E_ELEMENTNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT nameCount, MEMBERID* memberIds) override {
    return LookUpIdsOfNames(*description_, names, nameCount, memberIds);
  }

  // The instance is an object of this type, reached through its IDispatch.
  HRESULT STDMETHODCALLTYPE Invoke(PVOID instance, MEMBERID member, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    if (!instance) return E_INVALIDARG;
    return static_cast<IDispatch*>(instance)->Invoke(member, IID_NULL, 0, flags, params, result, exception,
                                                     argumentError);
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID member, BSTR* name, BSTR* docString, DWORD* helpContext,
                                             BSTR* helpFile) override {
    std::u16string_view text = description_->Name();
    if (member != MEMBERID_NIL) {
      const DescribedMember* found = description_->FindById(member);
      if (!found) return TYPE_E_ELEMENTNOTFOUND;
      text = found->name;
    }
    if (name) *name = NewBstr(text);
    if (docString) *docString = nullptr;
    if (helpContext) *helpContext = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override {
    return TYPE_E_BADMODULEKIND;
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo** typeInfo) override {
    if (!typeInfo) return E_INVALIDARG;
    *typeInfo = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID* address) override {
    if (!address) return E_INVALIDARG;
    *address = nullptr;
    return TYPE_E_BADMODULEKIND;
  }

  // Only a class (TKIND_COCLASS) makes instances; ours describe dispatch interfaces.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID* object) override {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    return TYPE_E_WRONGTYPEKIND;
  }

  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* mops) override {
    if (!mops) return E_INVALIDARG;
    *mops = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** typeLib, UINT* index) override {
    if (!typeLib) return E_INVALIDARG;
    *typeLib = new TypeLib(description_);
    if (index) *index = 0;
    return S_OK;
  }

  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) override {
    ClassDescription::FreeDescription(attributes);
  }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* funcDesc) override { ClassDescription::FreeDescription(funcDesc); }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* varDesc) override { ClassDescription::FreeDescription(varDesc); }

 private:
  Description description_;
};

HRESULT NewTypeInfo(const Description& description, ITypeInfo** typeInfo) {
  *typeInfo = new TypeInfo(description);
  return S_OK;
}

}  // namespace

HRESULT CreateAutomationTypeInfo(const AutomationClass& cls, ITypeInfo** typeInfo) {
  if (!typeInfo) return E_INVALIDARG;
  return NewTypeInfo(cls.Description(), typeInfo);
}

HRESULT DispatchGetTypeInfo(const AutomationClass& cls, UINT index, ITypeInfo** typeInfo) {
  if (!typeInfo) return E_INVALIDARG;
  *typeInfo = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return NewTypeInfo(cls.Description(), typeInfo);
}

}  // namespace quorlin::platform
