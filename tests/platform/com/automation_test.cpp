#include "platform/com/automation_class.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/com/com_ptr.h"
#include "tests/platform/com/automation_test_class.h"

namespace {

using namespace automation_test;
using quorlin::platform::BstrFromUtf8;
using quorlin::platform::BstrView;
using quorlin::platform::ComPtr;
using quorlin::platform::IsMissing;
using quorlin::platform::Variant;

// Arguments in declaration order, owned by the test; handed over reversed as the platform's
// callers do.
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& value : values_) VariantClear(&value);
  }

  Arguments& I4(LONG value) { return Add(VT_I4, [&](VARIANT& v) { v.lVal = value; }); }
  Arguments& I2(SHORT value) { return Add(VT_I2, [&](VARIANT& v) { v.iVal = value; }); }
  Arguments& R8(double value) { return Add(VT_R8, [&](VARIANT& v) { v.dblVal = value; }); }
  Arguments& Text(const char* text) { return Add(VT_BSTR, [&](VARIANT& v) { v.bstrVal = BstrFromUtf8(text); }); }
  Arguments& Missing() { return Add(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }); }
  Arguments& Dispatch(IDispatch* object) {
    object->AddRef();
    return Add(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = object; });
  }
  Arguments& Bytes(ULONG count) {
    return Add(VT_ARRAY | VT_UI1, [&](VARIANT& v) { v.parray = SafeArrayCreateVector(VT_UI1, 0, count); });
  }
  // A reference to the test's own storage (clearing a reference leaves its target).
  Arguments& Reference(VARTYPE type, void* target) {
    values_.push_back({});
    values_.back().vt = static_cast<VARTYPE>(VT_BYREF | type);
    values_.back().byref = target;
    return *this;
  }

  HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, VARIANT* result = nullptr, UINT* argumentError = nullptr,
                 bool namedValue = false) {
    std::vector<VARIANT> reversed(values_.rbegin(), values_.rend());
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), namedValue ? &named : nullptr, static_cast<UINT>(reversed.size()),
                      namedValue ? 1u : 0u};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, argumentError);
  }

 private:
  template <typename Fill>
  Arguments& Add(VARTYPE type, Fill fill) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    fill(value);
    values_.push_back(value);
    return *this;
  }

  std::vector<VARIANT> values_;
};

class AutomationObjectTest : public ::testing::Test {
 protected:
  ComPtr<TestObject> object = ComPtr<TestObject>::Adopt(new TestObject);
};

TEST_F(AutomationObjectTest, ConvertsArgumentsToTheDeclaredTypesAndTheResultToTheDeclaredResult) {
  struct Row {
    const char* note;
    void (*fill)(Arguments&);
    LONG expected;
  };
  const Row rows[] = {
      {"integers as declared", [](Arguments& a) { a.I4(2).I4(3); }, 5},
      {"a short widened", [](Arguments& a) { a.I2(2).I4(3); }, 5},
      {"a double rounded as the platform (banker's)", [](Arguments& a) { a.R8(2.5).I4(3); }, 5},
      {"a text holding a number", [](Arguments& a) { a.Text(" 40 ").I4(2); }, 42},
      {"the optional one left out", [](Arguments& a) { a.I4(1); }, 101},
      {"the optional one marked missing", [](Arguments& a) { a.I4(1).Missing(); }, 101},
  };
  for (const Row& row : rows) {
    Arguments arguments;
    row.fill(arguments);
    Variant result;
    ASSERT_EQ(arguments.Invoke(object.Get(), kAdd, DISPATCH_METHOD, result.get()), S_OK) << row.note;
    EXPECT_EQ(result->vt, VT_I4) << row.note;
    EXPECT_EQ(result->lVal, row.expected) << row.note;
    ASSERT_EQ(object->lastTypes.size(), 2u) << row.note;
    EXPECT_EQ(object->lastTypes[0], VT_I4) << row.note;
  }
}

TEST_F(AutomationObjectTest, ReportsWrongArgumentsAsThePlatformDoes) {
  struct Row {
    const char* note;
    void (*fill)(Arguments&);
    WORD flags;
    DISPID id;
    HRESULT expected;
    UINT argumentError;  // ~0u: not set
  };
  const Row rows[] = {
      {"a text that is no number", [](Arguments& a) { a.Text("abc").I4(1); }, DISPATCH_METHOD, kAdd,
       DISP_E_TYPEMISMATCH, 1},
      {"the second argument wrong", [](Arguments& a) { a.I4(1).Text("x"); }, DISPATCH_METHOD, kAdd,
       DISP_E_TYPEMISMATCH, 0},
      {"too many arguments", [](Arguments& a) { a.I4(1).I4(2).I4(3); }, DISPATCH_METHOD, kAdd,
       DISP_E_BADPARAMCOUNT, ~0u},
      {"a required one left out", [](Arguments&) {}, DISPATCH_METHOD, kAdd, DISP_E_BADPARAMCOUNT, ~0u},
      {"a required one marked missing", [](Arguments& a) { a.Missing(); }, DISPATCH_METHOD, kAdd,
       DISP_E_PARAMNOTOPTIONAL, 0},
      {"an unknown member", [](Arguments&) {}, DISPATCH_METHOD, 999, DISP_E_MEMBERNOTFOUND, ~0u},
      {"a method invoked as a put", [](Arguments& a) { a.I4(1); }, DISPATCH_PROPERTYPUT, kAdd,
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"a get-only property put", [](Arguments& a) { a.Bytes(1); }, DISPATCH_PROPERTYPUT, kBytes,
       DISP_E_MEMBERNOTFOUND, ~0u},
      {"a text for a byte array", [](Arguments& a) { a.Text("abc"); }, DISPATCH_METHOD, kCount,
       DISP_E_TYPEMISMATCH, 0},
      {"an overflowing number", [](Arguments& a) { a.R8(1e20).I4(1); }, DISPATCH_METHOD, kAdd, DISP_E_OVERFLOW, 1},
  };
  for (const Row& row : rows) {
    Arguments arguments;
    row.fill(arguments);
    UINT argumentError = ~0u;
    const int callsBefore = object->calls;
    EXPECT_EQ(arguments.Invoke(object.Get(), row.id, row.flags, nullptr, &argumentError), row.expected) << row.note;
    EXPECT_EQ(argumentError, row.argumentError) << row.note;
    EXPECT_EQ(object->calls, callsBefore) << row.note << ": the member must not run";
  }
}

TEST_F(AutomationObjectTest, NamedArgumentsAreOnlyThePutValue) {
  Arguments value;
  value.Text("new");
  EXPECT_EQ(value.Invoke(object.Get(), kName, DISPATCH_PROPERTYPUT, nullptr, nullptr, true), S_OK);
  EXPECT_EQ(object->name, u"new");

  Arguments method;
  method.I4(1);
  EXPECT_EQ(method.Invoke(object.Get(), kAdd, DISPATCH_METHOD, nullptr, nullptr, true), DISP_E_NONAMEDARGS);

  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  DISPID named = 0;
  DISPPARAMS params{&argument, &named, 1, 1};
  EXPECT_EQ(object->Invoke(kName, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
            DISP_E_NONAMEDARGS);
  EXPECT_EQ(object->Invoke(kName, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &params, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

TEST_F(AutomationObjectTest, PropertiesReadAndWrite) {
  Arguments none;
  Variant name;
  ASSERT_EQ(none.Invoke(object.Get(), kName, DISPATCH_METHOD | DISPATCH_PROPERTYGET, name.get()), S_OK);
  EXPECT_EQ(BstrView(name->bstrVal), u"initial");

  // A data member: get and put (by value or by reference) under its one id.
  Arguments level;
  level.I2(12);
  EXPECT_EQ(level.Invoke(object.Get(), kLevel, DISPATCH_PROPERTYPUT, nullptr, nullptr, true), S_OK);
  EXPECT_EQ(object->level, 12);
  Variant read;
  ASSERT_EQ(none.Invoke(object.Get(), kLevel, DISPATCH_PROPERTYGET, read.get()), S_OK);
  EXPECT_EQ(read->vt, VT_I4);
  EXPECT_EQ(read->lVal, 12);
  EXPECT_EQ(none.Invoke(object.Get(), kLevel, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);

  Arguments target;
  target.Dispatch(object.Get());
  EXPECT_EQ(target.Invoke(object.Get(), kTarget, DISPATCH_PROPERTYPUTREF, nullptr, nullptr, true), S_OK);
  EXPECT_EQ(object->target, static_cast<IDispatch*>(object.Get()));

  Variant bytes;
  ASSERT_EQ(none.Invoke(object.Get(), kBytes, DISPATCH_PROPERTYGET, bytes.get()), S_OK);
  EXPECT_EQ(bytes->vt, VT_ARRAY | VT_UI1);
  Arguments array;
  array.Bytes(6);
  Variant count;
  ASSERT_EQ(array.Invoke(object.Get(), kCount, DISPATCH_METHOD, count.get()), S_OK);
  EXPECT_EQ(count->lVal, 6);
}

TEST_F(AutomationObjectTest, ByReferenceArgumentsAreWrittenBack) {
  BSTR first = BstrFromUtf8("one");
  VARIANT second;
  VariantInit(&second);
  second.vt = VT_BSTR;
  second.bstrVal = BstrFromUtf8("two");
  {
    Arguments arguments;
    arguments.Reference(VT_BSTR, &first).Reference(VT_VARIANT, &second);
    Variant result;
    ASSERT_EQ(arguments.Invoke(object.Get(), kSwap, DISPATCH_METHOD, result.get()), S_OK);
    EXPECT_EQ(result->boolVal, VARIANT_TRUE);
  }
  EXPECT_EQ(BstrView(first), u"two");
  EXPECT_EQ(second.vt, VT_BSTR);
  EXPECT_EQ(BstrView(second.bstrVal), u"one");
  SysFreeString(first);
  VariantClear(&second);

  // By value where a reference is declared: the member works on a converted copy, a plain
  // VARIANT is copied for the member to refer to (the caller's stays as it was).
  Arguments values;
  values.I4(5).I4(6);
  ASSERT_EQ(values.Invoke(object.Get(), kSwap, DISPATCH_METHOD), S_OK);
  EXPECT_EQ(object->lastTypes, (std::vector<VARTYPE>{VT_BYREF | VT_BSTR, VT_BYREF | VT_VARIANT}));
  VARIANT given[2];
  VariantInit(&given[0]);
  VariantInit(&given[1]);
  given[0].vt = VT_I4;  // second
  given[0].lVal = 6;
  given[1].vt = VT_I4;  // first
  given[1].lVal = 5;
  DISPPARAMS params{given, nullptr, 2, 0};
  ASSERT_EQ(object->Invoke(kSwap, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(given[0].vt, VT_I4);
  EXPECT_EQ(given[0].lVal, 6);
  EXPECT_EQ(given[1].vt, VT_I4);

  // A reference of another type is refused.
  LONG number = 3;
  Arguments wrong;
  wrong.Reference(VT_I4, &number).Reference(VT_VARIANT, &second);
  UINT argumentError = ~0u;
  EXPECT_EQ(wrong.Invoke(object.Get(), kSwap, DISPATCH_METHOD, nullptr, &argumentError), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argumentError, 1u);
}

TEST_F(AutomationObjectTest, VariableArgumentsAndVariantParametersPassUnconverted) {
  Arguments arguments;
  arguments.R8(1).I4(2).Text("3").I2(4);
  Variant sum;
  ASSERT_EQ(arguments.Invoke(object.Get(), kSum, DISPATCH_METHOD, sum.get()), S_OK);
  EXPECT_DOUBLE_EQ(sum->dblVal, 10);
  EXPECT_EQ(object->lastTypes, (std::vector<VARTYPE>{VT_R8, VT_I4, VT_BSTR, VT_I2}));

  Arguments text;
  text.Text("x");
  Variant described;
  ASSERT_EQ(text.Invoke(object.Get(), kDescribe, DISPATCH_METHOD, described.get()), S_OK);
  EXPECT_EQ(BstrView(described->bstrVal), u"text");
}

TEST_F(AutomationObjectTest, AFailingMemberIsAnException) {
  Arguments none;
  EXCEPINFO exception{};
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  EXPECT_EQ(object->Invoke(kFail, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_ACCESSDENIED);
  EXPECT_EQ(BstrView(exception.bstrSource), u"ITestObject");
  SysFreeString(exception.bstrSource);
  EXPECT_EQ(none.Invoke(object.Get(), kFail, DISPATCH_METHOD), DISP_E_EXCEPTION);
}

TEST_F(AutomationObjectTest, NamesToIdsWithoutCase) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"aDD"), const_cast<LPOLESTR>(u"B"), const_cast<LPOLESTR>(u"nope")};
  DISPID ids[3] = {};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 2, 0, ids), S_OK);
  EXPECT_EQ(ids[0], kAdd);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 3, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[2], DISPID_UNKNOWN);
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names + 2, 1, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
}

TEST_F(AutomationObjectTest, AnswersItsOwnInterfaceIdAsIDispatch) {
  void* asClass = nullptr;
  ASSERT_EQ(object->QueryInterface(kTestIid, &asClass), S_OK);
  EXPECT_EQ(asClass, static_cast<IDispatch*>(object.Get()));
  static_cast<IUnknown*>(asClass)->Release();
  UINT count = 0;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* typeInfo = nullptr;
  EXPECT_EQ(object->GetTypeInfo(1, 0, &typeInfo), DISP_E_BADINDEX);
  EXPECT_EQ(typeInfo, nullptr);
}

}  // namespace
