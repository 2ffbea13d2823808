#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/com/oleauto.h"
#include "tests/platform/com/oleauto_test_support.h"

namespace {

using namespace quorlin::platform;
using namespace quorlin::platform::test;

struct Conversion {
  const char* name;
  Value source;
  VARTYPE target;
  HRESULT expectedResult;
  Value expected;  // when the change succeeds
  USHORT flags = 0;
};

void RunConversions(const std::vector<Conversion>& rows) {
  for (const Conversion& row : rows) {
    SCOPED_TRACE(row.name);
    VARIANT source = Make(row.source);
    VARIANT destination = Make(Int(VT_I2, 99));
    const VARIANT before = source;
    const std::u16string textBefore(BstrView(source.vt == VT_BSTR ? source.bstrVal : nullptr));
    const HRESULT hr = VariantChangeType(&destination, &source, row.flags, row.target);
    EXPECT_EQ(hr, row.expectedResult);
    if (SUCCEEDED(row.expectedResult)) {
      EXPECT_EQ(Read(destination), row.expected);
    } else {
      EXPECT_EQ(Read(destination), Int(VT_I2, 99)) << "a failed change leaves the destination";
    }
    EXPECT_EQ(std::memcmp(&before, &source, sizeof(VARIANT)), 0) << "the source is not changed";
    EXPECT_EQ(BstrView(source.vt == VT_BSTR ? source.bstrVal : nullptr), textBefore);
    VariantClear(&source);
    VariantClear(&destination);
  }
}

TEST(VariantChangeType, RoundsRealsHalfToEven) {
  RunConversions({
      {"2.5 to I4", Real(VT_R8, 2.5), VT_I4, S_OK, Int(VT_I4, 2)},
      {"3.5 to I4", Real(VT_R8, 3.5), VT_I4, S_OK, Int(VT_I4, 4)},
      {"-2.5 to I4", Real(VT_R8, -2.5), VT_I4, S_OK, Int(VT_I4, -2)},
      {"-3.5 to I2", Real(VT_R8, -3.5), VT_I2, S_OK, Int(VT_I2, -4)},
      {"2.5000001 to I4", Real(VT_R8, 2.5000001), VT_I4, S_OK, Int(VT_I4, 3)},
      {"0.5 to UI1", Real(VT_R4, 0.5), VT_UI1, S_OK, Int(VT_UI1, 0)},
      {"1.5 to UI1", Real(VT_R4, 1.5), VT_UI1, S_OK, Int(VT_UI1, 2)},
      {"date 1.75 to I4", Real(VT_DATE, 1.75), VT_I4, S_OK, Int(VT_I4, 2)},
      {"text 2.5 to I8", Text(u"2.5"), VT_I8, S_OK, Int(VT_I8, 2)},
      {"text 3.5 to I8", Text(u"3.5"), VT_I8, S_OK, Int(VT_I8, 4)},
      {"text 2.50001 to I4", Text(u"2.50001"), VT_I4, S_OK, Int(VT_I4, 3)},
      {"currency 2.5 to I4", Int(VT_CY, 25000), VT_I4, S_OK, Int(VT_I4, 2)},
      {"currency -1.5 to I4", Int(VT_CY, -15000), VT_I4, S_OK, Int(VT_I4, -2)},
      {"text to currency, tie down", Text(u"0.00025"), VT_CY, S_OK, Int(VT_CY, 2)},
      {"text to currency, tie up", Text(u"0.00035"), VT_CY, S_OK, Int(VT_CY, 4)},
      {"real to currency", Real(VT_R8, -1.5), VT_CY, S_OK, Int(VT_CY, -15000)},
  });
}

TEST(VariantChangeType, ReportsOverflowAtEachTypesLimits) {
  RunConversions({
      {"128 to I1", Int(VT_I4, 128), VT_I1, DISP_E_OVERFLOW, {}},
      {"-128 to I1", Int(VT_I4, -128), VT_I1, S_OK, Int(VT_I1, -128)},
      {"256 to UI1", Int(VT_I2, 256), VT_UI1, DISP_E_OVERFLOW, {}},
      {"-1 to UI1", Int(VT_I2, -1), VT_UI1, DISP_E_OVERFLOW, {}},
      {"-1 to UI4", Int(VT_I4, -1), VT_UI4, DISP_E_OVERFLOW, {}},
      {"32768 to I2", Int(VT_I4, 32768), VT_I2, DISP_E_OVERFLOW, {}},
      {"I4 max to UI2", Int(VT_I4, INT32_MAX), VT_UI2, DISP_E_OVERFLOW, {}},
      {"UI4 max to I4", Int(VT_UI4, UINT32_MAX), VT_I4, DISP_E_OVERFLOW, {}},
      {"UI4 max to I8", Int(VT_UI4, UINT32_MAX), VT_I8, S_OK, Int(VT_I8, UINT32_MAX)},
      {"UI8 max to I8", Int(VT_UI8, -1), VT_I8, DISP_E_OVERFLOW, {}},
      {"I8 min to I4", Int(VT_I8, INT64_MIN), VT_I4, DISP_E_OVERFLOW, {}},
      {"2147483647.5 to I4", Real(VT_R8, 2147483647.5), VT_I4, DISP_E_OVERFLOW, {}},
      {"-2147483648.5 to I4", Real(VT_R8, -2147483648.5), VT_I4, S_OK, Int(VT_I4, INT32_MIN)},
      {"1e300 to R4", Real(VT_R8, 1e300), VT_R4, DISP_E_OVERFLOW, {}},
      {"1e19 to I8", Real(VT_R8, 1e19), VT_I8, DISP_E_OVERFLOW, {}},
      {"1e19 to UI8", Real(VT_R8, 1e19), VT_UI8, S_OK, Int(VT_UI8, static_cast<int64_t>(10000000000000000000ull))},
      {"NaN to I4", Real(VT_R8, std::numeric_limits<double>::quiet_NaN()), VT_I4, DISP_E_OVERFLOW, {}},
      {"text too big for I4", Text(u"2147483648"), VT_I4, DISP_E_OVERFLOW, {}},
      {"text I8 max", Text(u"9223372036854775807"), VT_I8, S_OK, Int(VT_I8, INT64_MAX)},
      {"text I8 min", Text(u"-9223372036854775808"), VT_I8, S_OK, Int(VT_I8, INT64_MIN)},
      {"text beyond I8", Text(u"9223372036854775808"), VT_I8, DISP_E_OVERFLOW, {}},
      {"text beyond double", Text(u"1e400"), VT_R8, DISP_E_OVERFLOW, {}},
      {"text below double", Text(u"1e-400"), VT_R8, S_OK, Real(VT_R8, 0)},
      {"I8 max to currency", Int(VT_I8, INT64_MAX), VT_CY, DISP_E_OVERFLOW, {}},
      {"real past dates", Real(VT_R8, 2958466.0), VT_DATE, DISP_E_OVERFLOW, {}},
      {"real before dates", Real(VT_R8, -657435.0), VT_DATE, DISP_E_OVERFLOW, {}},
  });
}

TEST(VariantChangeType, WritesAndReadsNumbersInTheInvariantForm) {
  RunConversions({
      {"I4 to text", Int(VT_I4, -12), VT_BSTR, S_OK, Text(u"-12")},
      {"UI8 to text", Int(VT_UI8, -1), VT_BSTR, S_OK, Text(u"18446744073709551615")},
      {"I1 to text", Int(VT_I1, -5), VT_BSTR, S_OK, Text(u"-5")},
      {"R8 to text", Real(VT_R8, 3.5), VT_BSTR, S_OK, Text(u"3.5")},
      {"R8 fifteen digits", Real(VT_R8, 0.1 + 0.2), VT_BSTR, S_OK, Text(u"0.3")},
      {"R8 large", Real(VT_R8, 1e20), VT_BSTR, S_OK, Text(u"1E+20")},
      {"R8 negative zero", Real(VT_R8, -0.0), VT_BSTR, S_OK, Text(u"0")},
      {"R4 seven digits", Real(VT_R4, 0.1), VT_BSTR, S_OK, Text(u"0.1")},
      {"currency", Int(VT_CY, -12345), VT_BSTR, S_OK, Text(u"-1.2345")},
      {"whole currency", Int(VT_CY, 70000), VT_BSTR, S_OK, Text(u"7")},
      {"empty to text", Empty(), VT_BSTR, S_OK, Text(u"")},
      {"text to R8", Text(u"3.5"), VT_R8, S_OK, Real(VT_R8, 3.5)},
      {"blanks around", Text(u" \t-12 "), VT_I4, S_OK, Int(VT_I4, -12)},
      {"plus sign", Text(u"+7"), VT_UI1, S_OK, Int(VT_UI1, 7)},
      {"exponent", Text(u"1.5e3"), VT_I2, S_OK, Int(VT_I2, 1500)},
      {"leading point", Text(u".25"), VT_R4, S_OK, Real(VT_R4, 0.25)},
      {"trailing point", Text(u"4."), VT_I4, S_OK, Int(VT_I4, 4)},
      {"text to currency", Text(u"1.23456"), VT_CY, S_OK, Int(VT_CY, 12346)},
      {"not a number", Text(u"abc"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"empty text", Text(u""), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"only blanks", Text(u"   "), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {"inner blank", Text(u"- 5"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"junk after", Text(u"5x"), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"bare exponent", Text(u"1e"), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {"comma decimal", Text(u"3,5"), VT_R8, DISP_E_TYPEMISMATCH, {}},
      {"embedded NUL", Text(std::u16string(u"1\0" u"2", 3)), VT_I4, DISP_E_TYPEMISMATCH, {}},
  });
}

TEST(VariantChangeType, TreatsBooleansAsMinusOneAndZero) {
  RunConversions({
      {"true to I4", Bool(true), VT_I4, S_OK, Int(VT_I4, -1)},
      {"false to R8", Bool(false), VT_R8, S_OK, Real(VT_R8, 0)},
      {"true to currency", Bool(true), VT_CY, S_OK, Int(VT_CY, -10000)},
      {"true to UI1 is all ones", Bool(true), VT_UI1, S_OK, Int(VT_UI1, 255)},
      {"true to UI4 is all ones", Bool(true), VT_UI4, S_OK, Int(VT_UI4, UINT32_MAX)},
      {"5 to bool", Int(VT_I4, 5), VT_BOOL, S_OK, Bool(true)},
      {"0.0 to bool", Real(VT_R8, 0), VT_BOOL, S_OK, Bool(false)},
      {"true to text", Bool(true), VT_BSTR, S_OK, Text(u"-1")},
      {"false to text", Bool(false), VT_BSTR, S_OK, Text(u"0")},
      {"true to alpha text", Bool(true), VT_BSTR, S_OK, Text(u"True"), VARIANT_ALPHABOOL},
      {"false to alpha text", Bool(false), VT_BSTR, S_OK, Text(u"False"), VARIANT_ALPHABOOL},
      {"TRUE text", Text(u" TRUE "), VT_BOOL, S_OK, Bool(true)},
      {"false text", Text(u"false"), VT_BOOL, S_OK, Bool(false)},
      {"number text", Text(u"2"), VT_BOOL, S_OK, Bool(true)},
      {"zero text", Text(u"0.0"), VT_BOOL, S_OK, Bool(false)},
      {"other text", Text(u"yes"), VT_BOOL, DISP_E_TYPEMISMATCH, {}},
  });
}

TEST(VariantChangeType, ConvertsDatesAsDaysSince1899) {
  RunConversions({
      {"date to R8", Real(VT_DATE, 45000.25), VT_R8, S_OK, Real(VT_R8, 45000.25)},
      {"R8 to date", Real(VT_R8, -1.5), VT_DATE, S_OK, Real(VT_DATE, -1.5)},
      {"I4 to date", Int(VT_I4, 2), VT_DATE, S_OK, Real(VT_DATE, 2)},
      {"date to text", Real(VT_DATE, 2.5), VT_BSTR, S_OK, Text(u"1900-01-01 12:00:00")},
      {"midnight", Real(VT_DATE, 36526), VT_BSTR, S_OK, Text(u"2000-01-01")},
      {"time alone", Real(VT_DATE, 0.75), VT_BSTR, S_OK, Text(u"18:00:00")},
      {"before day 0", Real(VT_DATE, -1.25), VT_BSTR, S_OK, Text(u"1899-12-29 06:00:00")},
      {"text to date", Text(u"2000-01-01"), VT_DATE, S_OK, Real(VT_DATE, 36526)},
      {"text with time", Text(u"1900/01/01 12:00"), VT_DATE, S_OK, Real(VT_DATE, 2.5)},
      {"text before day 0", Text(u"1899-12-29T06:00:00"), VT_DATE, S_OK, Real(VT_DATE, -1.25)},
      {"time text", Text(u"06:00"), VT_DATE, S_OK, Real(VT_DATE, 0.25)},
      {"leap day", Text(u"2024-02-29"), VT_DATE, S_OK, Real(VT_DATE, 45351)},
      {"no such day", Text(u"2023-02-29"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
      {"bad hour", Text(u"24:00"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
      {"year too small", Text(u"0099-01-01"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
      {"mixed separators", Text(u"2000-01/01"), VT_DATE, DISP_E_TYPEMISMATCH, {}},
  });
}

TEST(VariantChangeType, RefusesImpossibleChanges) {
  RunConversions({
      {"null to I4", Null(), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"null to text", Null(), VT_BSTR, DISP_E_TYPEMISMATCH, {}},
      {"I4 to null", Int(VT_I4, 1), VT_NULL, DISP_E_TYPEMISMATCH, {}},
      {"empty to null", Empty(), VT_NULL, S_OK, Null()},
      {"anything to empty", Text(u"x"), VT_EMPTY, S_OK, Empty()},
      {"empty to I4", Empty(), VT_I4, S_OK, Int(VT_I4, 0)},
      {"error to I4", Int(VT_ERROR, DISP_E_PARAMNOTFOUND), VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"I4 to error", Int(VT_I4, 1), VT_ERROR, DISP_E_TYPEMISMATCH, {}},
      {"number to object", Int(VT_I4, 1), VT_UNKNOWN, DISP_E_TYPEMISMATCH, {}},
      {"number to array", Int(VT_I4, 1), VT_ARRAY | VT_I4, DISP_E_TYPEMISMATCH, {}},
      {"to a reference", Int(VT_I4, 1), VT_BYREF | VT_I4, DISP_E_BADVARTYPE, {}},
      {"to a non-type", Int(VT_I4, 1), VT_VARIANT, DISP_E_BADVARTYPE, {}},
      {"to a property type", Int(VT_I4, 1), VT_LPSTR, DISP_E_BADVARTYPE, {}},
  });
}

TEST(VariantChangeType, DereferencesReferencesAndWorksInPlace) {
  double real = 2.5;
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_R8;
  reference.pdblVal = &real;
  Variant result;
  ASSERT_EQ(VariantChangeType(result.get(), &reference, 0, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(result->bstrVal), u"2.5");
  ASSERT_EQ(VariantChangeType(&reference, &reference, 0, VT_I4), S_OK);
  EXPECT_EQ(reference.vt, VT_I4);
  EXPECT_EQ(reference.lVal, 2);
  EXPECT_EQ(real, 2.5) << "the referenced variable is not written";

  VARIANT text = Make(Text(u"  42 "));
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_UI2), S_OK) << "the old BSTR is freed, not read after";
  EXPECT_EQ(Read(text), Int(VT_UI2, 42));
  ASSERT_EQ(VariantChangeType(&text, &text, 0, VT_UI1), S_OK);
  EXPECT_EQ(Read(text), Int(VT_UI1, 42));

  VARIANT big = Make(Int(VT_I4, 1000));
  EXPECT_EQ(VariantChangeType(&big, &big, 0, VT_UI1), DISP_E_OVERFLOW);
  EXPECT_EQ(Read(big), Int(VT_I4, 1000)) << "failed in place: unchanged";
}

TEST(VariantChangeType, ReadsObjectsThroughTheirDefaultProperty) {
  auto* object = new ValueObject(Text(u"12.5"));
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_DISPATCH;
  source.pdispVal = object;

  Variant result;
  ASSERT_EQ(VariantChangeType(result.get(), &source, 0, VT_R8), S_OK);
  EXPECT_EQ(Read(*result.get()), Real(VT_R8, 12.5));
  ASSERT_EQ(VariantChangeType(result.Receive(), &source, 0, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(result->bstrVal), u"12.5");
  EXPECT_EQ(VariantChangeType(result.Receive(), &source, VARIANT_NOVALUEPROP, VT_R8), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(object->reads, 2);

  ASSERT_EQ(VariantChangeType(result.Receive(), &source, 0, VT_UNKNOWN), S_OK);
  EXPECT_NE(result->punkVal, nullptr);
  VariantClear(result.get());

  VARIANT empty;
  VariantInit(&empty);
  ASSERT_EQ(VariantChangeType(result.get(), &empty, 0, VT_DISPATCH), S_OK);
  EXPECT_EQ(result->pdispVal, nullptr);

  bool destroyed = false;
  VARIANT plain;
  VariantInit(&plain);
  plain.vt = VT_UNKNOWN;
  plain.punkVal = new Counted(&destroyed);
  EXPECT_EQ(VariantChangeType(result.Receive(), &plain, 0, VT_I4), DISP_E_TYPEMISMATCH) << "no IDispatch";
  EXPECT_EQ(VariantChangeType(result.Receive(), &plain, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  VariantClear(&plain);
  EXPECT_TRUE(destroyed) << "failed changes hold no reference";
  VariantClear(&source);
}

TEST(VariantChangeType, CopiesArraysOnlyToTheirOwnType) {
  Variant source;
  source->vt = VT_ARRAY | VT_UI1;
  source->parray = SafeArrayCreateVector(VT_UI1, 0, 4);
  Variant result;
  ASSERT_EQ(VariantChangeType(result.get(), source.get(), 0, VT_ARRAY | VT_UI1), S_OK);
  EXPECT_NE(result->parray, source->parray);
  EXPECT_EQ(VariantChangeType(result.Receive(), source.get(), 0, VT_ARRAY | VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VariantChangeType(result.Receive(), source.get(), 0, VT_BSTR), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, HandlesDecimals) {
  Variant source;
  source->decVal.scale = 2;
  source->decVal.sign = DECIMAL_NEG;
  source->decVal.Lo64 = 12345;
  source->vt = VT_DECIMAL;
  Variant result;
  ASSERT_EQ(VariantChangeType(result.get(), source.get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(result->bstrVal), u"-123.45");
  ASSERT_EQ(VariantChangeType(result.Receive(), source.get(), 0, VT_I4), S_OK);
  EXPECT_EQ(result->lVal, -123);

  VARIANT text = Make(Text(u"0.125"));
  ASSERT_EQ(VariantChangeType(result.Receive(), &text, 0, VT_DECIMAL), S_OK);
  EXPECT_EQ(result->vt, VT_DECIMAL);
  EXPECT_EQ(result->decVal.scale, 3);
  EXPECT_EQ(result->decVal.Lo64, 125u);
  EXPECT_EQ(result->decVal.sign, 0);
  VariantClear(&text);

  // Past 28 decimals the value is rounded; what is left has one form.
  text = Make(Text(u"-1e-30"));
  ASSERT_EQ(VariantChangeType(result.Receive(), &text, 0, VT_DECIMAL), S_OK);
  EXPECT_EQ(result->decVal.scale, 0);
  EXPECT_EQ(result->decVal.sign, 0);
  EXPECT_EQ(result->decVal.Lo64, 0u);
  VariantClear(&text);
  text = Make(Text(u"79228162514264337593543950336"));  // 2^96
  EXPECT_EQ(VariantChangeType(result.Receive(), &text, 0, VT_DECIMAL), DISP_E_OVERFLOW);
  VariantClear(&text);
}

}  // namespace
