#include "runtime/commands/byte_set_commands.h"

#include <cstring>

#include "runtime/kernel/library_host.h"
#include "tests/commands/command_test_support.h"
#include "tests/commands/text_reference_model.h"

namespace quorlin::commands {
namespace {

using testing::CommandTest;
using namespace std::string_literals;

class ByteSetCommands : public CommandTest {};

TEST_F(ByteSetCommands, LengthLeftAndZeroByteSetGiveNullForEmptyResults) {
  EXPECT_EQ(IntegerOf(ByteSetLength, {Bytes("a\0b"s)}), 3);
  EXPECT_EQ(IntegerOf(ByteSetLength, {Omitted()}), 0);
  EXPECT_EQ(IntegerOf(ByteSetLength, {Text("abc")}), 0) << "a text is not a byte set";
  EXPECT_EQ(BytesOf(ByteSetLeft, {Bytes("abc"), MakeInteger(2)}), "ab");
  EXPECT_EQ(BytesOf(ByteSetLeft, {Bytes("abc"), MakeInteger(9)}), "abc");
  EXPECT_EQ(BytesOf(ByteSetLeft, {Bytes("abc"), MakeInteger(0)}), "");
  EXPECT_EQ(BytesOf(ByteSetLeft, {Bytes("abc"), MakeInteger(-1)}), "");
  EXPECT_EQ(BytesOf(ZeroByteSet, {MakeInteger(3)}), "\0\0\0"s);
  EXPECT_EQ(BytesOf(ZeroByteSet, {MakeInteger(0)}), "");
  EXPECT_EQ(BytesOf(ZeroByteSet, {MakeInteger(-3)}), "");
}

TEST_F(ByteSetCommands, ToByteSetGivesTextBytesCopiesAndLittleEndianNumbers) {
  EXPECT_EQ(BytesOf(ToByteSet, {Text("ab")}), "ab");
  EXPECT_EQ(BytesOf(ToByteSet, {Text("")}), "");
  EXPECT_EQ(BytesOf(ToByteSet, {Bytes("x\0y"s)}), "x\0y"s);
  EXPECT_EQ(BytesOf(ToByteSet, {TypedValue{0x1FF, 0, Tag::Byte}}), "\xFF");
  EXPECT_EQ(BytesOf(ToByteSet, {TypedValue{0x8001, 0, Tag::Short}}), "\x01\x80");
  EXPECT_EQ(BytesOf(ToByteSet, {MakeInteger(0x04030201)}), "\x01\x02\x03\x04");
  EXPECT_EQ(BytesOf(ToByteSet, {MakeLong(0x0807060504030201)}), "\x01\x02\x03\x04\x05\x06\x07\x08");
  EXPECT_EQ(BytesOf(ToByteSet, {MakeDouble(1.0)}), "\0\0\0\0\0\0\xF0\x3F"s);
  EXPECT_EQ(BytesOf(ToByteSet, {MakeFloat(1.0f)}), "\0\0\x80\x3F"s);
  EXPECT_EQ(BytesOf(ToByteSet, {Omitted()}), "");
  const int16_t shorts[] = {0x0201, 0x0403};
  EXPECT_EQ(BytesOf(ToByteSet, {Array(Tag::Short, shorts, 2)}), "\x01\x02\x03\x04");
}

TEST_F(ByteSetCommands, ReplaceBytesStepsByteByByteAndComparesExactly) {
  struct Row { std::string bytes, find; TypedValue with, start, count; std::string expected; };
  const Row rows[] = {
      {"aXbx", "x", Bytes("-"), Omitted(), Omitted(), "aXb-"},
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", Bytes("!"), Omitted(), Omitted(), "\xD6!\xC4"},
      {"x\0x\0"s, "\0"s, Omitted(), Omitted(), Omitted(), "xx"},
      {"xxxx", "x", Bytes("y"), MakeInteger(2), MakeInteger(2), "xyyx"},
      {"xxxx", "x", Bytes("y"), MakeInteger(5), Omitted(), "xxxx"},
      {"xx", "x", Omitted(), Omitted(), Omitted(), ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(BytesOf(ReplaceBytes, {Bytes(row.bytes), Bytes(row.find), row.with, row.start, row.count}), row.expected);
  }
  EXPECT_EQ(BytesOf(ReplaceBytes, {Bytes("a\x81z"), Bytes("z"), Bytes("Z")}),
            reference::Replace("a\x81z", "z", "Z", 1, -1, false, false));
}

TEST_F(ByteSetCommands, ReadFromByteSetReadsEachTypeAndMovesThePositionVariable) {
  const std::string data = "\x01\x02\x03\x04\x05\x06\x07\x08" "ab\0c"s;
  const TypedValue bytes = Bytes(data);
  struct Row { int32_t typeNumber; uint32_t tag; uint64_t value; };
  for (const Row& row : {Row{1, Tag::Byte, 0x01}, Row{2, Tag::Short, 0x0201}, Row{3, Tag::Integer, 0x04030201},
                         Row{4, Tag::Long, 0x0807060504030201}, Row{5, Tag::Float, 0x04030201},
                         Row{6, Tag::Double, 0x0807060504030201}, Row{7, Tag::Boolean, 1},
                         Row{8, Tag::DateTime, 0x0807060504030201}, Row{9, Tag::SubroutinePointer, 0x0807060504030201}}) {
    const TypedValue v = Call(ReadFromByteSet, {bytes, MakeInteger(row.typeNumber)});
    EXPECT_EQ(v.tag, row.tag) << row.typeNumber;
    EXPECT_EQ(Value64(v), row.value) << row.typeNumber;
  }

  int32_t position = 9;
  const TypedValue variable = MakePointerValue(&position, Tag::Integer);
  EXPECT_EQ(TakeText(Call(ReadFromByteSet, {bytes, MakeInteger(10), variable})), "ab");
  EXPECT_EQ(position, 12) << "past the text and its 0 byte";
  EXPECT_EQ(TakeText(Call(ReadFromByteSet, {bytes, MakeInteger(10), variable})), "c");
  EXPECT_EQ(position, -1) << "the end was reached";
  EXPECT_EQ(TakeText(Call(ReadFromByteSet, {bytes, MakeInteger(10), variable})), "");
  EXPECT_EQ(position, -1);

  // A value that runs past the end is zero-padded.
  position = 11;
  EXPECT_EQ(Value64(Call(ReadFromByteSet, {bytes, MakeInteger(3), variable})), 0x6300u);
  EXPECT_EQ(position, -1);
  position = 0;
  EXPECT_EQ(Value64(Call(ReadFromByteSet, {bytes, MakeInteger(3), variable})), 0u) << "a start below 1 reads nothing";
  position = 1;
  EXPECT_EQ(Value64(Call(ReadFromByteSet, {bytes, MakeInteger(4), variable})), 0x0807060504030201u);
  EXPECT_EQ(position, 9);
  EXPECT_EQ(Value64(Call(ReadFromByteSet, {Omitted(), MakeInteger(4)})), 0u);
  // A plain integer is a start position only.
  EXPECT_EQ(Value64(Call(ReadFromByteSet, {bytes, MakeInteger(1), MakeInteger(8)})), 0x08u);
}

void ReadWithTypeNumber(int32_t typeNumber) {
  TypedValue args[] = {MakeByteSet(nullptr), MakeInteger(typeNumber)};
  TypedValue result{};
  ReadFromByteSet(&result, 2, args);
}

TEST(ReadFromByteSetErrors, ATypeNumberOutsideOneToTenIsARuntimeErrorThatEndsTheProgram) {
  LibraryHost::Attach(nullptr);  // the real kernel's error path
  EXPECT_EXIT(ReadWithTypeNumber(0), ::testing::ExitedWithCode(255), "“欲取出数据的类型”参数值无效");
  EXPECT_EXIT(ReadWithTypeNumber(11), ::testing::ExitedWithCode(255), "“欲取出数据的类型”参数值无效");
}

}  // namespace
}  // namespace quorlin::commands
