#include <algorithm>
#include <cstring>
#include <set>
#include <thread>

#include "runtime/automation/automation_commands.h"
#include "runtime/automation/last_call_status.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"
#include "tests/automation/automation_test_support.h"

namespace quorlin::testing {
namespace {

using namespace quorlin::automation;

TypedValue ByAddress(void* variable, uint32_t tag) { return MakePointerValue(variable, tag | kByAddressFlag); }
TypedValue MakeShort(int16_t x) { return {static_cast<uint16_t>(x), 0, Tag::Short}; }
TypedValue MakeDateTime(double d) {
  TypedValue v = MakeDouble(d);
  v.tag = Tag::DateTime;
  return v;
}

class MemberAccessTest : public AutomationTest {};

TEST_F(MemberAccessTest, NamesMatchWithoutRegardToCase) {
  const TypedValue recorder = Recorder();
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("tItLe"), Text("caption")}));
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("TITLE")}), "caption");
  EXPECT_EQ(LastCallStatus(), 0);
}

TEST_F(MemberAccessTest, ReadReachesAMethodAndCallReachesAProperty) {
  const TypedValue recorder = Recorder();
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("Describe")}), "recorder");
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_TRUE(BooleanOf(ObjectCallBooleanCommand, {recorder, Text("Ready")}));
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("Count")}), 0);
  EXPECT_EQ(LastCallStatus(), 0);
}

TEST_F(MemberAccessTest, SurplusArgumentsFailWithoutInvokingButTrailingLeftOutOnesAreDropped) {
  const TypedValue recorder = Recorder();
  EXPECT_EQ(TextOf(ObjectCallTextCommand, {recorder, Text("Join"), Text("a"), Text("b"), Text("c")}), "");
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::TooManyArguments));
  EXPECT_EQ(Log().invocations, 0);

  EXPECT_EQ(TextOf(ObjectCallTextCommand, {recorder, Text("Join"), Text("a"), Text("b"), Omitted(), Omitted()}), "ab");
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(Log().invocations, 1);
}

TEST_F(MemberAccessTest, LeftOutArgumentsArriveAsTheMissingMark) {
  const TypedValue recorder = Recorder();
  // Retitle's only parameter is optional; a left-out middle argument of Join is not.
  Call(ObjectCallCommand, {recorder, Text("Retitle"), Omitted()});
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("Title")}), "untitled");
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("Title"), Text("set")}));
  Call(ObjectCallCommand, {recorder, Text("Retitle"), VariantVariable()});  // an empty variant
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("Title")}), "untitled");
  EXPECT_EQ(TextOf(ObjectCallTextCommand, {recorder, Text("Join"), Omitted(), Text("b")}), "");
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::InvokeParamNotOptional));
}

TEST_F(MemberAccessTest, ObjectWriteTellsWhetherTheWriteHappened) {
  const TypedValue recorder = Recorder();
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("Title"), Text("中文标题")}));
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("Title")}), "中文标题");
  EXPECT_FALSE(BooleanOf(ObjectWriteCommand, {recorder, Text("Subtitle"), Text("x")}));
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::MemberNotFound));
  // A write without a value never reaches the member.
  EXPECT_FALSE(BooleanOf(ObjectWriteCommand, {recorder, Text("Title")}));
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::MissingValue));
  EXPECT_EQ(Log().invocations, 2);
}

TEST_F(MemberAccessTest, DataMembersAreWrittenAndRead) {
  const TypedValue recorder = Recorder();
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("Count"), MakeShort(12)}));
  EXPECT_EQ(IntegerOf(ObjectReadIntegerCommand, {recorder, Text("Count")}), 12);

  // An IUnknown data member is written by reference.
  const TypedValue other = Recorder();
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("Holder"), other}));
  platform::ComPtr<IUnknown> held = TakeObject(Call(ObjectReadObjectCommand, {recorder, Text("Holder")}));
  EXPECT_EQ(held.Get(), RecordOf(other).object);
  held.Reset();
  EXPECT_TRUE(BooleanOf(ObjectWriteCommand, {recorder, Text("Holder"), ObjectVariable()}));
}

TEST_F(MemberAccessTest, ArgumentsArriveAsTheirVariantTypes) {
  const TypedValue recorder = Recorder();
  const TypedValue variant = VariantVariable();
  VariantOf(variant).vt = VT_R4;
  VariantOf(variant).fltVal = 1.5f;
  struct Row {
    const char* note;
    TypedValue argument;
    int32_t expectedType;
  } rows[] = {
      {"boolean", MakeBoolean(true), VT_BOOL},
      {"date-time", MakeDateTime(45000.5), VT_DATE},
      {"byte", {200, 0, Tag::Byte}, VT_UI1},
      {"short", MakeShort(-3), VT_I2},
      {"integer", MakeInteger(7), VT_I4},
      {"64-bit integer", MakeLong(5), VT_I4},
      {"float", MakeFloat(2.5f), VT_R4},
      {"double", MakeDouble(0.25), VT_R8},
      {"text", Text("x"), VT_BSTR},
      {"empty text", MakeText(nullptr), VT_BSTR},
      {"variant", variant, VT_R4},
      {"object", Recorder(), VT_DISPATCH},
      {"empty object", ObjectVariable(), VT_UNKNOWN},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TypeOf"), row.argument}), row.expectedType)
        << row.note;
    EXPECT_EQ(LastCallStatus(), 0) << row.note;
  }
}

TEST_F(MemberAccessTest, ValuesKeepTheirMeaningOnTheWay) {
  const TypedValue recorder = Recorder();
  // A 64-bit integer goes as its low 32 bits: 2^32 + 1 arrives as 1.
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TypeOf"), MakeLong((int64_t{1} << 32) + 1)}), VT_I4);
  EXPECT_EQ(Log().lastInteger, 1);
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TypeOf"), Text("汉字")}), VT_BSTR);
  EXPECT_EQ(Log().lastText, u"汉字");

  VARIANT echoed;
  VariantInit(&echoed);
  EXPECT_EQ(TakeVariant(Call(ObjectCallVariantCommand, {recorder, Text("Echo"), MakeBoolean(true)}), &echoed), VT_BOOL);
  EXPECT_EQ(echoed.boolVal, VARIANT_TRUE);

  const TypedValue half = Call(ObjectCallDoubleCommand, {recorder, Text("Half"), MakeInteger(5)});
  EXPECT_EQ(half.tag, Tag::Double);
  EXPECT_EQ(DoubleOf(half), 2.5);
}

TEST_F(MemberAccessTest, ObjectArgumentsFollowTheDeclaredParameter) {
  const TypedValue recorder = Recorder();
  const TypedValue other = Recorder();
  const TypedValue plain = ObjectVariable(NewObjectWithoutDispatch());
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TakeUnknown"), other}), 1);
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TakeDispatch"), other}), 1);
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TakeUnknown"), plain}), 1);
  EXPECT_EQ(LastCallStatus(), 0);
  // An object that refuses IDispatch goes as a null interface.
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TakeDispatch"), plain}), 0);
}

TEST_F(MemberAccessTest, OpenArgumentListsTakeEverySurplusArgument) {
  const TypedValue recorder = Recorder();
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand,
                      {recorder, Text("Sum"), MakeInteger(1), MakeShort(2), MakeDouble(3), Text("4"), Omitted()}),
            10);
  EXPECT_EQ(Log().argumentTypes, (std::vector<VARTYPE>{VT_I4, VT_I2, VT_R8, VT_BSTR}));
}

TEST_F(MemberAccessTest, OutputParametersAreWrittenBackIntoVariablesGivenByAddress) {
  const TypedValue recorder = Recorder();
  int32_t number = 4;
  char* text = NewText("before");
  char* note = NewText("kept");
  Call(ObjectCallCommand, {recorder, Text("Swap"), ByAddress(&number, Tag::Integer), ByAddress(&text, Tag::Text),
                           ByAddress(&note, Tag::Text)});
  ASSERT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(number, 42);
  EXPECT_STREQ(text, "written");
  EXPECT_STREQ(note, "kept") << "an input-only parameter is not written back";
  LibraryHost::Free(text);
  LibraryHost::Free(note);

  // Values given directly reach by-reference parameters too, and nothing is written anywhere.
  Call(ObjectCallCommand, {recorder, Text("Swap"), MakeInteger(1), Text("a"), Text("b")});
  EXPECT_EQ(LastCallStatus(), 0);

  // A 64-bit variable gets its value sign-extended; a variant variable takes the value whole.
  int64_t wide = int64_t{-1} << 40;
  char* empty = nullptr;
  Call(ObjectCallCommand, {recorder, Text("Swap"), ByAddress(&wide, Tag::Long), ByAddress(&empty, Tag::Text),
                           MakeText(nullptr)});
  EXPECT_EQ(wide, 2);
  EXPECT_STREQ(empty, "written");
  LibraryHost::Free(empty);

  const TypedValue variant = VariantVariable();
  VARIANT* block = &VariantOf(variant);
  Call(ObjectCallCommand, {recorder, Text("Refill"), ByAddress(&block, kVariantTag)});
  EXPECT_EQ(LastCallStatus(), 0);
  EXPECT_EQ(VariantOf(variant).vt, VT_I4);
  EXPECT_EQ(VariantOf(variant).lVal, 77);
}

TEST_F(MemberAccessTest, ArgumentsThatCannotBePassedFailBeforeTheMemberIsInvoked) {
  const TypedValue recorder = Recorder();
  const TypedValue rows[] = {Bytes("abc"), MakePointerValue(nullptr, Tag::SubroutinePointer),
                             MakePointerValue(nullptr, Tag::Integer | kByAddressFlag), {1, 0, 0x40000001}};
  for (const TypedValue& argument : rows) {
    EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("TypeOf"), argument}), 0);
    EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::ArgumentNotPassable)) << std::hex << argument.tag;
  }
  EXPECT_EQ(Log().invocations, 0);
}

TEST_F(MemberAccessTest, EveryKindOfFailureHasItsOwnStatus) {
  const TypedValue recorder = Recorder();
  std::set<int32_t> seen;
  const auto expectNewStatus = [&](CallStatus expected, const char* note) {
    EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(expected)) << note;
    EXPECT_NE(LastCallStatus(), 0) << note;
    EXPECT_TRUE(seen.insert(LastCallStatus()).second) << note;
  };
  Call(ObjectCallCommand, {ObjectVariable(), Text("Title")});
  expectNewStatus(CallStatus::NoObject, "empty variable");
  Call(ObjectCallCommand, {ObjectVariable(NewObjectWithoutDispatch()), Text("Title")});
  expectNewStatus(CallStatus::NoDispatch, "no IDispatch");
  Call(ObjectCallCommand, {ObjectVariable(NewObjectWithoutTypeInformation()), Text("Title")});
  expectNewStatus(CallStatus::NoTypeInformation, "no type information");
  Call(ObjectCallCommand, {recorder, Text("Nothing")});
  expectNewStatus(CallStatus::MemberNotFound, "unknown name");
  Call(ObjectCallCommand, {recorder, Text("Half"), MakeInteger(1), MakeInteger(2)});
  expectNewStatus(CallStatus::TooManyArguments, "surplus argument");
  Call(ObjectCallCommand, {recorder, Text("Half"), Bytes("x")});
  expectNewStatus(CallStatus::ArgumentNotPassable, "byte set argument");
  Call(ObjectWriteCommand, {recorder, Text("Count")});
  expectNewStatus(CallStatus::MissingValue, "write without value");
  Call(ObjectCallDoubleCommand, {recorder, Text("Self")});
  expectNewStatus(CallStatus::ResultNotConvertible, "object read as double");
  Call(ObjectCallCommand, {recorder, Text("Half"), Text("not a number")});
  expectNewStatus(CallStatus::InvokeTypeMismatch, "type mismatch");
  Call(ObjectCallCommand, {recorder, Text("Half")});
  expectNewStatus(CallStatus::InvokeBadParamCount, "missing argument");
  const struct {
    HRESULT code;
    CallStatus status;
  } failures[] = {
      {DISP_E_MEMBERNOTFOUND, CallStatus::InvokeMemberNotFound}, {DISP_E_PARAMNOTFOUND, CallStatus::InvokeParamNotFound},
      {DISP_E_NONAMEDARGS, CallStatus::InvokeNoNamedArgs},       {DISP_E_BADVARTYPE, CallStatus::InvokeBadVarType},
      {E_FAIL, CallStatus::InvokeException},                     {DISP_E_OVERFLOW, CallStatus::InvokeOverflow},
      {DISP_E_PARAMNOTOPTIONAL, CallStatus::InvokeParamNotOptional}, {DISP_E_UNKNOWNNAME, CallStatus::InvokeFailed},
  };
  for (const auto& failure : failures) {
    Call(ObjectCallCommand, {recorder, Text("Fail"), MakeInteger(failure.code)});
    expectNewStatus(failure.status, "member failure");
  }
  Call(ObjectCallCommand, {recorder, Text("Describe")});
  EXPECT_EQ(LastCallStatus(), 0);
}

TEST_F(MemberAccessTest, AnObjectWithoutTypeInformationIsNeverInvoked) {
  Call(ObjectCallCommand, {ObjectVariable(NewObjectWithoutTypeInformation()), Text("Anything")});
  EXPECT_EQ(Log().invocations, 0);
}

TEST_F(MemberAccessTest, FailuresGiveTheEmptyValueOfTheRequestedType) {
  const TypedValue recorder = Recorder();
  EXPECT_EQ(TextOf(ObjectReadTextCommand, {recorder, Text("Nothing")}), "");
  EXPECT_EQ(TextOf(ObjectCallTextCommand, {ObjectVariable(), Text("Title")}), "");
  EXPECT_EQ(IntegerOf(ObjectReadIntegerCommand, {recorder, Text("Nothing")}), 0);
  EXPECT_EQ(IntegerOf(ObjectCallIntegerCommand, {recorder, Text("Nothing")}), 0);
  EXPECT_FALSE(BooleanOf(ObjectReadBooleanCommand, {recorder, Text("Nothing")}));
  EXPECT_FALSE(BooleanOf(ObjectCallBooleanCommand, {recorder, Text("Nothing")}));
  for (CommandEntry command : {ObjectReadDoubleCommand, ObjectCallDoubleCommand}) {
    const TypedValue result = Call(command, {recorder, Text("Nothing")});
    EXPECT_EQ(result.tag, Tag::Double);
    EXPECT_EQ(Value64(result), 0u);
  }
  for (CommandEntry command : {ObjectReadObjectCommand, ObjectCallObjectCommand}) {
    EXPECT_EQ(TakeObject(Call(command, {recorder, Text("Nothing")})).Get(), nullptr);
  }
  for (CommandEntry command : {ObjectReadVariantCommand, ObjectCallVariantCommand}) {
    const TypedValue result = Call(command, {recorder, Text("Nothing")});
    const auto* block = PointerOf<const uint8_t>(result);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::count(block, block + sizeof(VARIANT), 0), static_cast<long>(sizeof(VARIANT)));
    TakeVariant(result);
  }
  EXPECT_EQ(Call(ObjectCallCommand, {recorder, Text("Nothing")}).tag, 0u);
}

TEST_F(MemberAccessTest, ObjectAndVariantResultsAreNewBlocks) {
  const TypedValue recorder = Recorder();
  platform::ComPtr<IUnknown> self = TakeObject(Call(ObjectReadObjectCommand, {recorder, Text("Self")}));
  ASSERT_TRUE(self);
  platform::ComPtr<IUnknown> identity;
  ASSERT_TRUE(SUCCEEDED(self.As(identity)));
  EXPECT_EQ(identity.Get(), RecordOf(recorder).object);

  VARIANT grid;
  VariantInit(&grid);
  EXPECT_EQ(TakeVariant(Call(ObjectCallVariantCommand, {recorder, Text("ByteGrid"), MakeInteger(2), MakeInteger(3)}),
                        &grid),
            VT_ARRAY | VT_UI1);
  VariantClear(&grid);
}

TEST_F(MemberAccessTest, TheLastCallStatusBelongsToTheThread) {
  const TypedValue recorder = Recorder();
  Call(ObjectCallCommand, {recorder, Text("Nothing")});
  int32_t otherThread = -1;
  std::thread([&] {
    otherThread = LastCallStatus();
    SetLastCallStatus(CallStatus::NoObject);
  }).join();
  EXPECT_EQ(otherThread, 0);
  EXPECT_EQ(LastCallStatus(), static_cast<int32_t>(CallStatus::MemberNotFound));
}

}  // namespace
}  // namespace quorlin::testing
