#include "tests/automation/automation_test_support.h"

#include <atomic>
#include <cstring>

#include "platform/com/automation_class.h"
#include "platform/com/class_registry.h"
#include "platform/com/guid.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::testing {
namespace {

using platform::AutomationClass;
using platform::AutomationObject;
using platform::MemberCall;
using platform::MemberKind;

std::atomic<int> g_liveObjects{0};

// {6D1F3C2A-4B5E-4F60-9A7B-8C9D0E1F2A3C}
constexpr IID kRecorderIid{0x6D1F3C2A, 0x4B5E, 0x4F60, {0x9A, 0x7B, 0x8C, 0x9D, 0x0E, 0x1F, 0x2A, 0x3C}};

constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;

const AutomationClass& RecorderClass() {
  static const AutomationClass recorder{"IRecorder", kRecorderIid, {
      {"Title", 1, MemberKind::PropertyGet, VT_BSTR},
      {"Title", 1, MemberKind::PropertyPut, VT_EMPTY, {{"value", VT_BSTR}}},
      {"Join", 2, MemberKind::Method, VT_BSTR, {{"first", VT_BSTR}, {"second", VT_BSTR}}},
      {"TypeOf", 3, MemberKind::Method, VT_I4, {{"value", VT_VARIANT}}},
      {"Echo", 4, MemberKind::Method, VT_VARIANT, {{"value", VT_VARIANT}}},
      {"Count", 5, MemberKind::DataMember, VT_I4},
      {"Swap", 6, MemberKind::Method, VT_EMPTY,
       {{"number", VT_BYREF | VT_I4, kInOut}, {"text", VT_BYREF | VT_BSTR, kInOut}, {"note", VT_BYREF | VT_BSTR}}},
      {"ByteGrid", 7, MemberKind::Method, VT_VARIANT, {{"columns", VT_I4}, {"rows", VT_I4}}},
      {"Fail", 8, MemberKind::Method, VT_EMPTY, {{"code", VT_I4}}},
      {"Self", 9, MemberKind::PropertyGet, VT_DISPATCH},
      {"TakeUnknown", 10, MemberKind::Method, VT_I4, {{"object", VT_UNKNOWN}}},
      {"TakeDispatch", 11, MemberKind::Method, VT_I4, {{"object", VT_DISPATCH}}},
      {"Sum", 12, MemberKind::Method, VT_I4, {{"first", VT_I4}}, true},
      {"Half", 13, MemberKind::Method, VT_R8, {{"value", VT_R8}}},
      {"Retitle", 14, MemberKind::Method, VT_EMPTY, {{"title", VT_BSTR, PARAMFLAG_FIN | PARAMFLAG_FOPT}}},
      {"Holder", 15, MemberKind::DataMember, VT_UNKNOWN},
      {"Refill", 16, MemberKind::Method, VT_EMPTY, {{"value", VT_BYREF | VT_VARIANT, kInOut}}},
      {"Describe", 17, MemberKind::Method, VT_BSTR},
      {"Ready", 18, MemberKind::PropertyGet, VT_BOOL},
  }};
  return recorder;
}

HRESULT SetText(VARIANT* result, const char16_t* text) {
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocString(text);
  return S_OK;
}

class Recorder final : public AutomationObject<> {
 public:
  Recorder() : AutomationObject(RecorderClass()) { ++g_liveObjects; }
  ~Recorder() override {
    VariantClear(&holder_);
    --g_liveObjects;
  }

 private:
  HRESULT InvokeMember(const MemberCall& call) override {
    RecorderLog& log = Log();
    ++log.invocations;
    log.argumentTypes.clear();
    for (const VARIANT& argument : call.arguments) log.argumentTypes.push_back(argument.vt);
    VARIANT* result = call.result;
    auto& a = call.arguments;
    switch (call.id) {
      case 1:
        if (call.kind == MemberKind::PropertyGet) return SetText(result, title_.c_str());
        title_ = platform::BstrView(a[0].bstrVal);
        return S_OK;
      case 2: {
        const std::u16string joined = std::u16string(platform::BstrView(a[0].bstrVal)) +
                                      std::u16string(platform::BstrView(a[1].bstrVal));
        return SetText(result, joined.c_str());
      }
      case 3:
        if (a[0].vt == VT_I4) log.lastInteger = a[0].lVal;
        if (a[0].vt == VT_BSTR) log.lastText = platform::BstrView(a[0].bstrVal);
        result->vt = VT_I4;
        result->lVal = a[0].vt;
        return S_OK;
      case 4: return VariantCopy(result, &a[0]);
      case 5:
        if (call.kind == MemberKind::PropertyGet) {
          result->vt = VT_I4;
          result->lVal = count_;
        } else {
          count_ = a[0].lVal;
        }
        return S_OK;
      case 6:
        *a[0].plVal = *a[0].plVal * 10 + 2;
        SysFreeString(*a[1].pbstrVal);
        *a[1].pbstrVal = SysAllocString(u"written");
        SysFreeString(*a[2].pbstrVal);
        *a[2].pbstrVal = SysAllocString(u"not for the caller");
        return S_OK;
      case 7: {
        SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(a[0].lVal), 0}, {static_cast<ULONG>(a[1].lVal), 1}};
        SAFEARRAY* grid = SafeArrayCreate(VT_UI1, 2, bounds);
        if (!grid) return E_OUTOFMEMORY;
        void* data = nullptr;
        SafeArrayAccessData(grid, &data);
        for (LONG i = 0; i < a[0].lVal * a[1].lVal; ++i) static_cast<BYTE*>(data)[i] = static_cast<BYTE>(i + 1);
        SafeArrayUnaccessData(grid);
        result->vt = VT_ARRAY | VT_UI1;
        result->parray = grid;
        return S_OK;
      }
      case 8: return static_cast<HRESULT>(a[0].lVal);
      case 9:
        AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = this;
        return S_OK;
      case 10:
      case 11:
        result->vt = VT_I4;
        result->lVal = a[0].punkVal != nullptr;  // punkVal and pdispVal share their place
        return S_OK;
      case 12: {
        LONG sum = 0;
        for (const VARIANT& argument : a) {
          VARIANT number;
          VariantInit(&number);
          if (FAILED(VariantChangeType(&number, &argument, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
          sum += number.lVal;
        }
        result->vt = VT_I4;
        result->lVal = sum;
        return S_OK;
      }
      case 13:
        result->vt = VT_R8;
        result->dblVal = a[0].dblVal / 2;
        return S_OK;
      case 14:
        title_ = platform::IsMissing(a[0]) ? u"untitled" : std::u16string(platform::BstrView(a[0].bstrVal));
        return S_OK;
      case 15:
        if (call.kind == MemberKind::PropertyGet) return VariantCopy(result, &holder_);
        return VariantCopy(&holder_, &a[0]);
      case 16:
        VariantClear(a[0].pvarVal);
        a[0].pvarVal->vt = VT_I4;
        a[0].pvarVal->lVal = 77;
        return S_OK;
      case 17: return SetText(result, u"recorder");
      case 18:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

  std::u16string title_;
  LONG count_ = 0;
  VARIANT holder_{};
};

// IDispatch without type information.
class Opaque final : public platform::ComObject<IDispatch> {
 public:
  Opaque() { ++g_liveObjects; }
  ~Opaque() override { --g_liveObjects; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) override {
    *typeInfo = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
    ids[0] = 1;  // would answer any name, but must never be asked
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    ++Log().invocations;
    return S_OK;
  }
};

// {6D1F3C2A-4B5E-4F60-9A7B-8C9D0E1F2A3D}
constexpr IID kPlainIid{0x6D1F3C2A, 0x4B5E, 0x4F60, {0x9A, 0x7B, 0x8C, 0x9D, 0x0E, 0x1F, 0x2A, 0x3D}};
struct IPlain : IUnknown {
  static constexpr const IID& kIid = kPlainIid;

 protected:
  ~IPlain() = default;
};

class Plain final : public platform::ComObject<IPlain> {
 public:
  Plain() { ++g_liveObjects; }
  ~Plain() override { --g_liveObjects; }
};

void RegisterTestClasses() {
  static const bool registered = [] {
    const CLSID clsid = *platform::ParseGuid(kRecorderClsidText);
    return SUCCEEDED(platform::RegisterComClass(kRecorderProgId, clsid, [](IUnknown** object) {
      *object = NewRecorder();
      return S_OK;
    }));
  }();
  ASSERT_TRUE(registered);
}

}  // namespace

RecorderLog& Log() {
  static RecorderLog log;
  return log;
}

int LiveTestObjects() { return g_liveObjects; }

IUnknown* NewRecorder() { return static_cast<IDispatch*>(new Recorder()); }
IUnknown* NewObjectWithoutTypeInformation() { return static_cast<IDispatch*>(new Opaque()); }
IUnknown* NewObjectWithoutDispatch() { return static_cast<IPlain*>(new Plain()); }

void AutomationTest::SetUp() {
  CommandTest::SetUp();
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  RegisterTestClasses();
  Log() = {};
}

void AutomationTest::TearDown() {
  for (automation::ObjectRecord& record : records_) {
    TypedValue variable = MakePointerValue(&record, automation::kObjectTag);
    Call(automation::ObjectClearCommand, {variable});
  }
  records_.clear();
  for (VARIANT& variant : variants_) VariantClear(&variant);
  variants_.clear();
  EXPECT_EQ(LiveTestObjects(), 0) << "an automation object was not released";
  CoUninitialize();
  CommandTest::TearDown();
}

TypedValue AutomationTest::ObjectVariable(IUnknown* object) {
  records_.push_back({object, nullptr});
  return MakePointerValue(&records_.back(), automation::kObjectTag);
}

TypedValue AutomationTest::VariantVariable() {
  variants_.emplace_back();
  std::memset(static_cast<void*>(&variants_.back()), 0, sizeof(VARIANT));
  return MakePointerValue(&variants_.back(), automation::kVariantTag);
}

automation::ObjectRecord& AutomationTest::RecordOf(const TypedValue& variable) {
  return *PointerOf<automation::ObjectRecord>(variable);
}

VARIANT& AutomationTest::VariantOf(const TypedValue& variable) { return *PointerOf<VARIANT>(variable); }

platform::ComPtr<IUnknown> AutomationTest::TakeObject(const TypedValue& result) {
  EXPECT_EQ(result.tag, automation::kObjectTag);
  auto* record = PointerOf<automation::ObjectRecord>(result);
  if (!record) {
    ADD_FAILURE() << "an object result is always a new record";
    return {};
  }
  EXPECT_EQ(record->recordData, nullptr);
  auto object = platform::ComPtr<IUnknown>::Adopt(record->object);
  LibraryHost::Free(record);
  return object;
}

VARTYPE AutomationTest::TakeVariant(const TypedValue& result, VARIANT* copy) {
  EXPECT_EQ(result.tag, automation::kVariantTag);
  auto* block = PointerOf<VARIANT>(result);
  if (!block) {
    ADD_FAILURE() << "a variant result is always a new block";
    return VT_ILLEGAL;
  }
  const VARTYPE type = block->vt;
  if (copy) VariantCopy(copy, block);
  VariantClear(block);
  LibraryHost::Free(block);
  return type;
}

}  // namespace quorlin::testing
