#include <cstring>
#include <limits>

#include "runtime/automation/automation_commands.h"
#include "tests/automation/automation_test_support.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::automation;

class VariantCommandsTest : public AutomationTest {
 protected:
  // A variant variable holding a new array of `type` with these bounds (leftmost first),
  // its elements 1, 2, 3 … in memory order.
  TypedValue ArrayVariant(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds) {
    const TypedValue variable = VariantVariable();
    SAFEARRAY* array = SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data());
    EXPECT_NE(array, nullptr);
    if (!array) return variable;
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    size_t count = 1;
    for (const SAFEARRAYBOUND& bound : bounds) count *= bound.cElements;
    for (size_t i = 0; i < count; ++i) {
      if (type == VT_I4) {
        static_cast<LONG*>(data)[i] = static_cast<LONG>(i + 1);
      } else {
        static_cast<BYTE*>(data)[i] = static_cast<BYTE>(i + 1);
      }
    }
    SafeArrayUnaccessData(array);
    VariantOf(variable).vt = static_cast<VARTYPE>(VT_ARRAY | type);
    VariantOf(variable).parray = array;
    return variable;
  }
};

TEST_F(VariantCommandsTest, AByteArrayBecomesAByteSetOfAllItsElements) {
  const TypedValue grid = ArrayVariant(VT_UI1, {{2, 0}, {3, 5}});
  EXPECT_EQ(BytesOf(VariantToByteSetCommand, {grid}), std::string("\1\2\3\4\5\6", 6));
  const TypedValue signedBytes = ArrayVariant(VT_I1, {{4, -2}});
  EXPECT_EQ(BytesOf(VariantToByteSetCommand, {signedBytes}), std::string("\1\2\3\4", 4));

  // By reference, as a component hands out its own array.
  const TypedValue reference = VariantVariable();
  VariantOf(reference).vt = VT_BYREF | VT_ARRAY | VT_UI1;
  VariantOf(reference).pparray = &VariantOf(grid).parray;
  EXPECT_EQ(BytesOf(VariantToByteSetCommand, {reference}).size(), 6u);
}

TEST_F(VariantCommandsTest, AnythingButANonEmptyByteArrayGivesTheEmptyByteSet) {
  const TypedValue text = VariantVariable();
  VariantOf(text).vt = VT_BSTR;
  VariantOf(text).bstrVal = SysAllocString(u"bytes?");
  const TypedValue nullReference = VariantVariable();
  VariantOf(nullReference).vt = VT_BYREF | VT_ARRAY | VT_UI1;
  const TypedValue rows[] = {text, VariantVariable(), ArrayVariant(VT_I4, {{3, 0}}), ArrayVariant(VT_UI1, {{0, 0}}),
                             ArrayVariant(VT_UI1, {{4, 0}, {0, 0}}), nullReference, Text("not a variant")};
  for (const TypedValue& row : rows) {
    const TypedValue result = Call(VariantToByteSetCommand, {row});
    EXPECT_EQ(result.tag, Tag::ByteSet);
    EXPECT_EQ(PointerOf(result), nullptr);
  }
}

TEST_F(VariantCommandsTest, BoundsWhoseProductIsTooLargeGiveTheEmptyByteSet) {
  // A descriptor as a component might hand it out: its bounds claim far more than it holds.
  struct {
    SAFEARRAY array;
    SAFEARRAYBOUND more[1];
  } lying{};
  BYTE data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  lying.array.cDims = 2;
  lying.array.fFeatures = FADF_STATIC;
  lying.array.cbElements = 1;
  lying.array.pvData = data;
  const TypedValue variable = VariantVariable();
  VariantOf(variable).vt = VT_BYREF | VT_ARRAY | VT_UI1;
  SAFEARRAY* array = &lying.array;
  VariantOf(variable).pparray = &array;
  const ULONG huge[][2] = {{0x10000, 0x10000}, {0x80000000u, 1}, {0xFFFFFFFFu, 0xFFFFFFFFu}};
  for (const auto& extents : huge) {
    lying.array.rgsabound[0] = {extents[0], 0};
    lying.more[0] = {extents[1], 0};
    const TypedValue result = Call(VariantToByteSetCommand, {variable});
    EXPECT_EQ(PointerOf(result), nullptr) << extents[0] << " x " << extents[1];
  }
  lying.array.rgsabound[0] = {2, 0};
  lying.more[0] = {4, 7};
  EXPECT_EQ(BytesOf(VariantToByteSetCommand, {variable}), std::string("\1\2\3\4\5\6\7\10", 8));
}

TEST_F(VariantCommandsTest, ResetClearsAndZeroesTheVariant) {
  const TypedValue variable = ArrayVariant(VT_UI1, {{3, 0}});
  VariantOf(variable).wReserved1 = 0x1234;
  EXPECT_EQ(Call(VariantResetCommand, {variable}).tag, 0u);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&VariantOf(variable));
  for (size_t i = 0; i < sizeof(VARIANT); ++i) EXPECT_EQ(bytes[i], 0) << i;
  Call(VariantResetCommand, {Text("not a variant")});
}

TEST_F(VariantCommandsTest, AVariantOrOneOfItsElementsAsATypedValue) {
  const TypedValue number = VariantVariable();
  VariantOf(number).vt = VT_R8;
  VariantOf(number).dblVal = 41.75;
  EXPECT_EQ(TextOf(VariantToTextCommand, {number}), "41.75");
  EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {number}), 42);
  EXPECT_TRUE(BooleanOf(VariantToBooleanCommand, {number}));
  EXPECT_EQ(DoubleOf(Call(VariantToDoubleCommand, {number})), 41.75);

  // Elements are numbered from 1 in memory order, the leftmost dimension fastest.
  const TypedValue grid = ArrayVariant(VT_I4, {{2, 0}, {3, -1}});
  EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {grid, MakeInteger(1)}), 1);
  EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {grid, MakeInteger(4)}), 4);
  EXPECT_EQ(TextOf(VariantToTextCommand, {grid, MakeInteger(6)}), "6");
  for (const TypedValue& index : {MakeInteger(0), MakeInteger(7), MakeInteger(-1), MakeLong(int64_t{1} << 40)}) {
    EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {grid, index}), 0);
  }
  EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {grid}), 0) << "a whole array is no number";
  EXPECT_EQ(IntegerOf(VariantToIntegerCommand, {number, MakeInteger(1)}), 0) << "no array to index";

  const TypedValue words = VariantVariable();
  VariantOf(words).vt = VT_ARRAY | VT_BSTR;
  VariantOf(words).parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  LONG index = 1;
  BSTR word = SysAllocString(u"第二");
  SafeArrayPutElement(VariantOf(words).parray, &index, word);
  SysFreeString(word);
  EXPECT_EQ(TextOf(VariantToTextCommand, {words, MakeInteger(2)}), "第二");
  EXPECT_EQ(TextOf(VariantToTextCommand, {words, MakeInteger(1)}), "");
}

}  // namespace
}  // namespace quorlin::testing
