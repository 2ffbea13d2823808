#include "runtime/automation/result_conversion.h"

#include "tests/automation/automation_test_support.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::automation;

class ResultConversionTest : public AutomationTest {};

VARIANT Of(VARTYPE vt, int64_t bits) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  v.llVal = bits;
  return v;
}
VARIANT OfDouble(VARTYPE vt, double d) {
  VARIANT v = Of(vt, 0);
  v.dblVal = d;
  return v;
}

TEST_F(ResultConversionTest, ValuesTakeTheRequestedType) {
  const struct {
    const char* note;
    VARIANT value;
    ResultType type;
    TypedValue expected;
  } rows[] = {
      {"negative integer as 64-bit", Of(VT_I4, 0xFFFFFFFE), ResultType::Long, MakeLong(-2)},
      {"double rounds to integer", OfDouble(VT_R8, 2.5), ResultType::Integer, MakeInteger(2)},
      {"short as byte", Of(VT_I2, 255), ResultType::Byte, {255, 0, Tag::Byte}},
      {"byte overflow fails", Of(VT_I4, 256), ResultType::Byte, {}},
      {"non-zero is true", Of(VT_I4, -7), ResultType::Boolean, MakeBoolean(true)},
      {"zero is false", Of(VT_R8, 0), ResultType::Boolean, MakeBoolean(false)},
      {"empty as integer", Of(VT_EMPTY, 0), ResultType::Integer, MakeInteger(0)},
      {"date beyond the years 9999", OfDouble(VT_DATE, 1e12), ResultType::DateTime,
       [] { TypedValue v = MakeDouble(2958465.0); v.tag = Tag::DateTime; return v; }()},
      {"number too large for a date fails", OfDouble(VT_R8, 1e12), ResultType::DateTime, {}},
      {"anything as no result", OfDouble(VT_R8, 1), ResultType::None, {}},
  };
  for (const auto& row : rows) {
    TypedValue out{};
    const bool converted = ConvertResult(row.value, row.type, out);
    EXPECT_EQ(converted, row.expected.tag != 0 || row.type == ResultType::None) << row.note;
    EXPECT_EQ(out.tag, row.expected.tag) << row.note;
    EXPECT_EQ(Value64(out), Value64(row.expected)) << row.note;
  }
}

TEST_F(ResultConversionTest, TextsAreNewBlocksAndTheEmptyTextIsNull) {
  platform::Variant text;
  text->vt = VT_BSTR;
  text->bstrVal = SysAllocString(u"名字\0after");
  TypedValue out{};
  ASSERT_TRUE(ConvertResult(*text.get(), ResultType::Text, out));
  EXPECT_EQ(TakeText(out), "名字");
  platform::Variant empty;
  empty->vt = VT_BSTR;
  ASSERT_TRUE(ConvertResult(*empty.get(), ResultType::Text, out));
  EXPECT_EQ(PointerOf(out), nullptr);
  ASSERT_TRUE(ConvertResult(OfDouble(VT_R8, 0.5), ResultType::Text, out));
  EXPECT_EQ(TakeText(out), "0.5");
}

TEST_F(ResultConversionTest, ARecordIsNeverAResult) {
  for (ResultType type : {ResultType::Variant, ResultType::Integer, ResultType::Text}) {
    TypedValue out{};
    EXPECT_FALSE(ConvertResult(Of(VT_RECORD, 0), type, out));
    EXPECT_EQ(out.tag, 0u);
  }
}

}  // namespace
}  // namespace quorlin::testing
