#include "platform/com/oleauto.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/com/oleauto_test_support.h"

namespace {

using namespace quorlin::platform;
using namespace quorlin::platform::test;

TEST(Bstr, KeepsItsLengthBeforeAndANulAfterTheCharacters) {
  const OLECHAR text[] = {u'a', 0, u'b', u'c'};
  BSTR bstr = SysAllocStringLen(text, 4);
  ASSERT_NE(bstr, nullptr);
  EXPECT_EQ(SysStringLen(bstr), 4u) << "embedded NULs count";
  EXPECT_EQ(SysStringByteLen(bstr), 8u);
  UINT prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(bstr) - 4, 4);
  EXPECT_EQ(prefix, 8u);
  EXPECT_EQ(bstr[4], 0);
  EXPECT_EQ(BstrView(bstr), std::u16string_view(text, 4));
  SysFreeString(bstr);

  BSTR upToNul = SysAllocString(text);
  EXPECT_EQ(SysStringLen(upToNul), 1u) << "SysAllocString stops at the first NUL";
  SysFreeString(upToNul);
}

TEST(Bstr, ByteLengthsMayBeOdd) {
  BSTR bstr = SysAllocStringByteLen("abc", 3);
  ASSERT_NE(bstr, nullptr);
  EXPECT_EQ(SysStringByteLen(bstr), 3u);
  EXPECT_EQ(SysStringLen(bstr), 1u);
  const char* bytes = reinterpret_cast<const char*>(bstr);
  EXPECT_EQ(std::memcmp(bytes, "abc\0\0", 5), 0);
  SysFreeString(bstr);

  BSTR zeroed = SysAllocStringByteLen(nullptr, 5);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(std::memcmp(zeroed, "\0\0\0\0\0\0\0", 7), 0);
  SysFreeString(zeroed);
}

TEST(Bstr, NullIsTheEmptyStringAndOversizedRequestsFail) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(AnsiFromBstr(nullptr), "");
  EXPECT_EQ(Utf8FromBstr(nullptr), "");
}

TEST(Bstr, ReallocationMayReadTheOldString) {
  BSTR bstr = SysAllocString(u"hello world");
  ASSERT_TRUE(SysReAllocString(&bstr, bstr + 6));
  EXPECT_EQ(BstrView(bstr), u"world");
  ASSERT_TRUE(SysReAllocStringLen(&bstr, bstr, 3));
  EXPECT_EQ(BstrView(bstr), u"wor");
  EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
  SysFreeString(bstr);
}

TEST(Bstr, ConvertsFromAndToTheSystemCodePageAndUtf8) {
  // "中文" in GBK and in UTF-8.
  const std::string gbk = "\xD6\xD0\xCE\xC4";
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87";
  BSTR fromGbk = BstrFromAnsi(gbk);
  BSTR fromUtf8 = BstrFromUtf8(utf8);
  EXPECT_EQ(BstrView(fromGbk), u"中文");
  EXPECT_EQ(BstrView(fromUtf8), u"中文");
  EXPECT_EQ(AnsiFromBstr(fromUtf8), gbk);
  EXPECT_EQ(Utf8FromBstr(fromGbk), utf8);
  SysFreeString(fromGbk);
  SysFreeString(fromUtf8);

  BSTR empty = BstrFromUtf8("");
  ASSERT_NE(empty, nullptr) << "an empty text is an allocated empty BSTR";
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(empty);
}

TEST(VariantCopying, CopiesOwnedValuesDeeply) {
  Variant source;
  source->vt = VT_BSTR;
  source->bstrVal = SysAllocStringByteLen("xyz", 3);
  Variant copy;
  ASSERT_EQ(VariantCopy(copy.get(), source.get()), S_OK);
  EXPECT_NE(copy->bstrVal, source->bstrVal);
  EXPECT_EQ(SysStringByteLen(copy->bstrVal), 3u) << "the exact byte length survives";

  bool destroyed = false;
  auto* object = new Counted(&destroyed);
  {
    Variant holder;
    holder->vt = VT_UNKNOWN;
    holder->punkVal = object;
    Variant second;
    ASSERT_EQ(VariantCopy(second.get(), holder.get()), S_OK);
    EXPECT_EQ(object->References(), 2u);
    ASSERT_EQ(VariantCopy(second.get(), second.get()), S_OK) << "onto itself: nothing changes";
    EXPECT_EQ(object->References(), 2u);
  }
  EXPECT_TRUE(destroyed) << "each VARIANT released its reference";
}

TEST(VariantCopying, ClearsTheDestinationAndRefusesBadTypes) {
  bool destroyed = false;
  Variant destination;
  destination->vt = VT_UNKNOWN;
  destination->punkVal = new Counted(&destroyed);
  Variant number;
  number->vt = VT_I4;
  number->lVal = 7;
  ASSERT_EQ(VariantCopy(destination.get(), number.get()), S_OK);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(destination->vt, VT_I4);
  EXPECT_EQ(destination->lVal, 7);

  VARIANT bad;
  VariantInit(&bad);
  bad.vt = VT_VARIANT;  // only meaningful by reference or in arrays
  EXPECT_EQ(VariantCopy(destination.get(), &bad), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
  bad.vt = VT_I4 | VT_VECTOR;
  EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(VariantCopying, CopyIndFollowsReferences) {
  LONG number = 41;
  BSTR text = SysAllocString(u"ref");
  VARIANT inner = Make(Real(VT_R8, 2.5));

  struct Row {
    VARIANT source;
    Value expected;
  };
  Row rows[3];
  for (Row& row : rows) VariantInit(&row.source);
  rows[0].source.vt = VT_BYREF | VT_I4;
  rows[0].source.plVal = &number;
  rows[0].expected = Int(VT_I4, 41);
  rows[1].source.vt = VT_BYREF | VT_BSTR;
  rows[1].source.pbstrVal = &text;
  rows[1].expected = Text(u"ref");
  rows[2].source.vt = VT_BYREF | VT_VARIANT;
  rows[2].source.pvarVal = &inner;
  rows[2].expected = Real(VT_R8, 2.5);

  for (Row& row : rows) {
    Variant copy;
    ASSERT_EQ(VariantCopyInd(copy.get(), &row.source), S_OK) << row.expected;
    EXPECT_EQ(Read(*copy.get()), row.expected);
    // In place: the reference becomes the value.
    VARIANT inPlace = row.source;
    ASSERT_EQ(VariantCopyInd(&inPlace, &inPlace), S_OK);
    EXPECT_EQ(Read(inPlace), row.expected);
    VariantClear(&inPlace);
  }
  EXPECT_EQ(BstrView(text), u"ref") << "the referenced BSTR is not taken over";

  VARIANT loop;
  loop.vt = VT_BYREF | VT_VARIANT;
  loop.pvarVal = &loop;
  Variant out;
  EXPECT_EQ(VariantCopyInd(out.get(), &loop), E_INVALIDARG);
  VARIANT nullReference;
  VariantInit(&nullReference);
  nullReference.vt = VT_BYREF | VT_I4;
  EXPECT_EQ(VariantCopyInd(out.get(), &nullReference), E_INVALIDARG);
  SysFreeString(text);
}

TEST(VariantCopying, ClearingALockedArrayFailsAndKeepsIt) {
  Variant holder;
  holder->vt = VT_ARRAY | VT_I4;
  holder->parray = SafeArrayCreateVector(VT_I4, 0, 3);
  ASSERT_EQ(SafeArrayLock(holder->parray), S_OK);
  EXPECT_EQ(VariantClear(holder.get()), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(holder->vt, VT_ARRAY | VT_I4);
  ASSERT_EQ(SafeArrayUnlock(holder->parray), S_OK);

  Variant copy;
  ASSERT_EQ(VariantCopy(copy.get(), holder.get()), S_OK);
  EXPECT_NE(copy->parray, holder->parray) << "arrays are copied, not shared";
}

}  // namespace
