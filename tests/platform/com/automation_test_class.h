// A test automation class with members of several kinds and types, shared by the automation
// and type-information tests. It records the last call it received.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/com/automation_class.h"

namespace automation_test {

using quorlin::platform::AutomationClass;
using quorlin::platform::AutomationObject;
using quorlin::platform::MemberCall;
using quorlin::platform::MemberKind;

enum TestMember : DISPID {
  kName = 1,
  kAdd = 2,
  kSwap = 3,
  kBytes = 4,
  kCount = 5,
  kSum = 6,
  kFail = 7,
  kLevel = 8,
  kTarget = 9,
  kDescribe = 10,
};

// {6C1B2A30-5D0E-4F7A-9B21-3C4D5E6F7081}
inline constexpr IID kTestIid{0x6C1B2A30, 0x5D0E, 0x4F7A, {0x9B, 0x21, 0x3C, 0x4D, 0x5E, 0x6F, 0x70, 0x81}};

inline constexpr USHORT kInOut = PARAMFLAG_FIN | PARAMFLAG_FOUT;
inline constexpr USHORT kOptional = PARAMFLAG_FIN | PARAMFLAG_FOPT;

inline const AutomationClass kTestClass{
    "ITestObject",
    kTestIid,
    {
        {"Name", kName, MemberKind::PropertyGet, VT_BSTR},
        {"Name", kName, MemberKind::PropertyPut, VT_EMPTY, {{"value", VT_BSTR}}},
        {"Add", kAdd, MemberKind::Method, VT_I4, {{"a", VT_I4}, {"b", VT_I4, kOptional}}},
        {"Swap", kSwap, MemberKind::Method, VT_BOOL,
         {{"first", VT_BYREF | VT_BSTR, kInOut}, {"second", VT_BYREF | VT_VARIANT, kInOut}}},
        {"Bytes", kBytes, MemberKind::PropertyGet, VT_ARRAY | VT_UI1},
        {"Count", kCount, MemberKind::Method, VT_I4, {{"data", VT_ARRAY | VT_UI1}}},
        {"Sum", kSum, MemberKind::Method, VT_R8, {{"first", VT_R8}}, true},
        {"Fail", kFail, MemberKind::Method},
        {"Level", kLevel, MemberKind::DataMember, VT_I4},
        {"Target", kTarget, MemberKind::PropertyPutRef, VT_EMPTY, {{"value", VT_DISPATCH}}},
        {"Describe", kDescribe, MemberKind::Method, VT_BSTR, {{"value", VT_VARIANT}}},
    }};

class TestObject final : public AutomationObject<> {
 public:
  TestObject() : AutomationObject(kTestClass) {}

  int calls = 0;
  MemberKind lastKind{};
  std::vector<VARTYPE> lastTypes;  // the argument types the member received
  std::u16string name = u"initial";
  LONG level = 7;
  IDispatch* target = nullptr;  // not held: tests only compare it

 private:
  HRESULT InvokeMember(const MemberCall& call) override {
    ++calls;
    lastKind = call.kind;
    lastTypes.clear();
    for (const VARIANT& argument : call.arguments) lastTypes.push_back(argument.vt);
    VARIANT& result = *call.result;
    switch (call.id) {
      case kName:
        if (call.kind == MemberKind::PropertyPut) {
          name = quorlin::platform::BstrView(call.arguments[0].bstrVal);
        } else {
          result.vt = VT_BSTR;
          result.bstrVal = quorlin::platform::BstrFromUtf16(name);
        }
        return S_OK;
      case kAdd: {
        const LONG b = quorlin::platform::IsMissing(call.arguments[1]) ? 100 : call.arguments[1].lVal;
        // Given as VT_I2 on purpose: the dispatcher changes it to the declared VT_I4.
        result.vt = VT_I2;
        result.iVal = static_cast<SHORT>(call.arguments[0].lVal + b);
        return S_OK;
      }
      case kSwap: {
        BSTR* first = call.arguments[0].pbstrVal;
        VARIANT* second = call.arguments[1].pvarVal;
        VARIANT old;
        VariantInit(&old);
        VariantCopy(&old, second);
        VariantClear(second);
        second->vt = VT_BSTR;
        second->bstrVal = SysAllocString(*first ? *first : u"");
        SysFreeString(*first);
        *first = quorlin::platform::BstrFromUtf8(old.vt == VT_BSTR ? quorlin::platform::Utf8FromBstr(old.bstrVal)
                                                                  : std::string("not text"));
        VariantClear(&old);
        result.vt = VT_BOOL;
        result.boolVal = VARIANT_TRUE;
        return S_OK;
      }
      case kBytes: {
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 3);
        void* data = nullptr;
        SafeArrayAccessData(array, &data);
        static const BYTE kBytesGiven[] = {1, 2, 3};
        std::copy(std::begin(kBytesGiven), std::end(kBytesGiven), static_cast<BYTE*>(data));
        SafeArrayUnaccessData(array);
        result.vt = VT_ARRAY | VT_UI1;
        result.parray = array;
        return S_OK;
      }
      case kCount: {
        LONG lower = 0;
        LONG upper = -1;
        SafeArrayGetLBound(call.arguments[0].parray, 1, &lower);
        SafeArrayGetUBound(call.arguments[0].parray, 1, &upper);
        result.vt = VT_I4;
        result.lVal = upper - lower + 1;
        return S_OK;
      }
      case kSum: {
        double sum = call.arguments[0].dblVal;
        for (size_t i = 1; i < call.arguments.size(); ++i) {
          VARIANT number;
          VariantInit(&number);
          if (SUCCEEDED(VariantChangeType(&number, &call.arguments[i], 0, VT_R8))) sum += number.dblVal;
        }
        result.vt = VT_R8;
        result.dblVal = sum;
        return S_OK;
      }
      case kFail:
        return E_ACCESSDENIED;
      case kLevel:
        if (call.kind == MemberKind::PropertyGet) {
          result.vt = VT_I4;
          result.lVal = level;
        } else {
          level = call.arguments[0].lVal;
        }
        return S_OK;
      case kTarget:
        target = call.arguments[0].pdispVal;
        return S_OK;
      case kDescribe:
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocString(call.arguments[0].vt == VT_BSTR ? u"text" : u"other");
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }
};

}  // namespace automation_test
