#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/oleauto.h"
#include "tests/platform/com/oleauto_test_support.h"

namespace {

using namespace quorlin::platform;
using namespace quorlin::platform::test;

TEST(SafeArray, TwoByThreeBytesRunLeftmostIndexFastest) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_UI1, 2, bounds);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(SafeArrayGetDim(array), 2u);
  EXPECT_EQ(SafeArrayGetElemsize(array), 1u);
  EXPECT_EQ(array->rgsabound[0].cElements, 3u) << "the descriptor keeps the bounds in reverse";
  EXPECT_EQ(array->rgsabound[1].cElements, 2u);
  for (LONG i = 0; i < 2; ++i) {
    for (LONG j = 0; j < 3; ++j) {
      LONG indices[2] = {i, j};
      BYTE value = static_cast<BYTE>(10 * i + j);
      ASSERT_EQ(SafeArrayPutElement(array, indices, &value), S_OK);
    }
  }
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  const BYTE expected[6] = {0, 10, 1, 11, 2, 12};
  EXPECT_EQ(std::memcmp(data, expected, 6), 0);
  ASSERT_EQ(SafeArrayUnaccessData(array), S_OK);

  LONG bound = -1;
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &bound), S_OK);
  EXPECT_EQ(bound, 1);
  EXPECT_EQ(SafeArrayGetUBound(array, 2, &bound), S_OK);
  EXPECT_EQ(bound, 2);
  EXPECT_EQ(SafeArrayGetUBound(array, 3, &bound), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetLBound(array, 0, &bound), DISP_E_BADINDEX);
  VARTYPE type = VT_EMPTY;
  EXPECT_EQ(SafeArrayGetVartype(array, &type), S_OK);
  EXPECT_EQ(type, VT_UI1);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, ChecksEveryIndexAgainstItsOwnBounds) {
  SAFEARRAYBOUND bounds[2] = {{3, -1}, {2, 5}};  // -1..1 by 5..6
  SAFEARRAY* array = SafeArrayCreate(VT_I4, 2, bounds);
  ASSERT_NE(array, nullptr);
  LONG lower = 0, upper = 0;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, -1);
  EXPECT_EQ(upper, 1);
  SafeArrayGetLBound(array, 2, &lower);
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(lower, 5);
  EXPECT_EQ(upper, 6);

  struct Row {
    LONG first, second;
    HRESULT expected;
  };
  const Row rows[] = {{-1, 5, S_OK},           {1, 6, S_OK},
                      {-2, 5, DISP_E_BADINDEX}, {2, 5, DISP_E_BADINDEX},
                      {0, 4, DISP_E_BADINDEX},  {0, 7, DISP_E_BADINDEX},
                      {INT32_MIN, 5, DISP_E_BADINDEX}};
  for (const Row& row : rows) {
    LONG indices[2] = {row.first, row.second};
    LONG value = row.second * 100 + (row.first & 0xFF);
    EXPECT_EQ(SafeArrayPutElement(array, indices, &value), row.expected) << row.first << "," << row.second;
    LONG back = 0;
    EXPECT_EQ(SafeArrayGetElement(array, indices, &back), row.expected);
    if (row.expected == S_OK) {
      EXPECT_EQ(back, value);
    }
  }
  LONG last[2] = {1, 6};
  void* element = nullptr;
  ASSERT_EQ(SafeArrayPtrOfIndex(array, last, &element), S_OK);
  EXPECT_EQ(static_cast<LONG*>(element) - static_cast<LONG*>(array->pvData), 5);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, RefusesSizesItCannotHold) {
  SAFEARRAYBOUND huge[2] = {{0x10000, 0}, {0x10000, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 2, huge), nullptr) << "4 GiB";
  SAFEARRAYBOUND overflowing[3] = {{0xFFFFFFFFu, 0}, {0xFFFFFFFFu, 0}, {0xFFFFFFFFu, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_VARIANT, 3, overflowing), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_R8, 0, (1u << 27) + 1), nullptr) << "just over 1 GiB";
  EXPECT_EQ(SafeArrayCreateVector(VT_I4, INT32_MAX, 2), nullptr) << "the upper bound would not fit";
  EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_I4, 0, huge), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_I4, 1, nullptr), nullptr);

  SAFEARRAY* empty = SafeArrayCreateVector(VT_I4, 0, 0);
  ASSERT_NE(empty, nullptr);
  LONG index = 0, value = 0;
  EXPECT_EQ(SafeArrayGetElement(empty, &index, &value), DISP_E_BADINDEX);
  LONG upper = 0;
  SafeArrayGetUBound(empty, 1, &upper);
  EXPECT_EQ(upper, -1);
  EXPECT_EQ(SafeArrayDestroy(empty), S_OK);
}

TEST(SafeArray, LockedArraysAreNotDestroyed) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_I2, 0, 4);
  ASSERT_EQ(SafeArrayLock(array), S_OK);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
  EXPECT_EQ(array->cLocks, 2u);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  SAFEARRAYBOUND bigger{8, 0};
  EXPECT_EQ(SafeArrayRedim(array, &bigger), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayUnlock(array), S_OK);
  EXPECT_EQ(SafeArrayUnlock(array), E_UNEXPECTED) << "more unlocks than locks";
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
  EXPECT_EQ(SafeArrayLock(nullptr), E_INVALIDARG);
}

TEST(SafeArray, OwnsItsBstrInterfaceAndVariantElements) {
  bool destroyed = false;
  auto* object = new Counted(&destroyed);
  SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 1, 2);
  SAFEARRAY* objects = SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
  SAFEARRAY* variants = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  ASSERT_TRUE(strings && objects && variants);

  LONG index = 1;
  BSTR text = SysAllocString(u"one");
  ASSERT_EQ(SafeArrayPutElement(strings, &index, text), S_OK) << "a BSTR goes in as the pointer itself";
  SysFreeString(text);  // the array made its own copy
  BSTR owned = SysAllocString(u"two");
  ASSERT_EQ(SafeArrayPutElement(strings, &index, owned), S_OK) << "the replaced element is freed";
  SysFreeString(owned);
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(strings, &index, &out), S_OK);
  EXPECT_EQ(BstrView(out), u"two");
  SysFreeString(out);

  index = 0;
  ASSERT_EQ(SafeArrayPutElement(objects, &index, static_cast<IUnknown*>(object)), S_OK);
  EXPECT_EQ(object->References(), 2u);
  VARIANT held;  // borrows the creator's reference
  VariantInit(&held);
  held.vt = VT_UNKNOWN;
  held.punkVal = object;
  ASSERT_EQ(SafeArrayPutElement(variants, &index, &held), S_OK);
  EXPECT_EQ(object->References(), 3u);

  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(variants, &copy), S_OK);
  EXPECT_EQ(object->References(), 4u);
  VARTYPE type = VT_EMPTY;
  SafeArrayGetVartype(copy, &type);
  EXPECT_EQ(type, VT_VARIANT);

  EXPECT_EQ(SafeArrayDestroy(strings), S_OK);
  EXPECT_EQ(SafeArrayDestroy(objects), S_OK);
  EXPECT_EQ(SafeArrayDestroy(variants), S_OK);
  EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
  EXPECT_EQ(object->References(), 1u);
  object->Release();
  EXPECT_TRUE(destroyed);
}

TEST(SafeArray, CopiesAreIndependent) {
  SAFEARRAYBOUND bounds[2] = {{2, 1}, {2, -3}};
  SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 2, bounds);
  LONG indices[2] = {2, -2};
  BSTR text = SysAllocString(u"last");
  SafeArrayPutElement(array, indices, text);
  SafeArrayPutElement(array, indices, text);
  SysFreeString(text);
  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
  ASSERT_EQ(SafeArrayDestroy(array), S_OK);
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copy, indices, &out), S_OK);
  EXPECT_EQ(BstrView(out), u"last");
  LONG lower = 0;
  SafeArrayGetLBound(copy, 2, &lower);
  EXPECT_EQ(lower, -3);
  SysFreeString(out);
  SafeArrayDestroy(copy);

  SAFEARRAY* none = reinterpret_cast<SAFEARRAY*>(1);
  EXPECT_EQ(SafeArrayCopy(nullptr, &none), S_OK);
  EXPECT_EQ(none, nullptr);
}

TEST(SafeArray, RedimChangesTheSlowestDimension) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 2, bounds);
  for (LONG j = 0; j < 2; ++j) {
    for (LONG i = 0; i < 2; ++i) {
      LONG indices[2] = {i, j};
      const char16_t text[] = {static_cast<char16_t>(u'a' + i), static_cast<char16_t>(u'0' + j), 0};
      BSTR value = SysAllocString(text);
      SafeArrayPutElement(array, indices, value);
      SysFreeString(value);
    }
  }
  SAFEARRAYBOUND longer{3, 0};
  ASSERT_EQ(SafeArrayRedim(array, &longer), S_OK);
  LONG upper = 0;
  SafeArrayGetUBound(array, 2, &upper);
  EXPECT_EQ(upper, 2);
  LONG kept[2] = {1, 1};
  LONG added[2] = {1, 2};
  BSTR out = nullptr;
  SafeArrayGetElement(array, kept, &out);
  EXPECT_EQ(BstrView(out), u"b1");
  SysFreeString(out);
  SafeArrayGetElement(array, added, &out);
  EXPECT_EQ(out, nullptr) << "new elements are empty";

  SAFEARRAYBOUND shorter{1, 0};
  ASSERT_EQ(SafeArrayRedim(array, &shorter), S_OK) << "the dropped BSTRs are freed (leak check)";
  EXPECT_EQ(SafeArrayGetElement(array, kept, &out), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

}  // namespace
