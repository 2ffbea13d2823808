#include "runtime/commands/byte_set_commands.h"

#include <cstring>

#include "runtime/commands/command_arguments.h"
#include "runtime/commands/text_search.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

using detail::Arguments;

// "“欲取出数据的类型”参数值无效" in GBK.
constexpr const char* InvalidTypeNumberMessage =
    "\xA1\xB0\xD3\xFB\xC8\xA1\xB3\xF6\xCA\xFD\xBE\xDD\xB5\xC4\xC0\xE0\xD0\xCD\xA1\xB1"
    "\xB2\xCE\xCA\xFD\xD6\xB5\xCE\xDE\xD0\xA7";

void* NewByteSetOf(std::string_view bytes) { return NewByteSet(bytes.data(), bytes.size()); }

bool IsPlainValueTag(uint32_t tag) {
  return IsNumericTag(tag) || tag == Tag::Boolean || tag == Tag::DateTime;
}

}  // namespace

void ByteSetLength(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetInteger(result, static_cast<int32_t>(Arguments(argCount, args).Bytes(0).size()));
}

void ToByteSet(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const TypedValue& value = a.At(0);
  if (value.tag == Tag::Text) return detail::SetByteSet(result, NewByteSetOf(a.Text(0)));
  if (value.tag == Tag::ByteSet) return detail::SetByteSet(result, NewByteSetOf(a.Bytes(0)));
  if (IsArrayTag(value.tag)) {
    const uint32_t elementTag = ArrayElementTag(value.tag);
    if (!IsPlainValueTag(elementTag)) return detail::SetByteSet(result, nullptr);
    const ArrayShape shape = ReadArrayShape(PointerOf(value));
    return detail::SetByteSet(result, NewByteSet(shape.elements, shape.elementCount * BaseTypeSize(elementTag)));
  }
  if (IsPlainValueTag(value.tag)) {
    uint8_t bytes[8];
    const uint64_t word = Value64(value);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(word >> (8 * i));
    return detail::SetByteSet(result, NewByteSet(bytes, BaseTypeSize(value.tag)));
  }
  detail::SetByteSet(result, nullptr);
}

void ByteSetLeft(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view bytes = a.Bytes(0);
  const int32_t count = a.Integer(1);
  detail::SetByteSet(result, count <= 0 ? nullptr : NewByteSetOf(bytes.substr(0, static_cast<size_t>(count))));
}

void ReplaceBytes(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view bytes = a.Bytes(0);
  const std::string_view find = a.Bytes(1);
  const std::string_view replacement = a.Bytes(2);
  const int32_t start = a.Integer(3, 1);
  const int32_t count = a.Integer(4, -1);
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (bytes.empty() || find.empty() || from >= bytes.size() || count == 0) {
    return detail::SetByteSet(result, NewByteSetOf(bytes));
  }
  detail::BlockBuilder out(ByteSetHeaderSize, bytes.size());
  size_t copied = 0;
  const detail::SearchOptions options{false, detail::Stepping::Bytes};
  detail::ScanMatches(bytes, find, from, count < 0 ? 0 : static_cast<size_t>(count), options, [&](size_t at) {
    out.Append(bytes.substr(copied, at - copied));
    out.Append(replacement);
    copied = at + find.size();
  });
  out.Append(bytes.substr(copied));
  detail::SetByteSet(result, out.FinishByteSet());
}

void ZeroByteSet(TypedValue* result, int32_t argCount, TypedValue* args) {
  const int32_t count = Arguments(argCount, args).Integer(0);
  if (count <= 0) return detail::SetByteSet(result, nullptr);
  void* block = NewByteSetUninitialised(static_cast<size_t>(count));
  std::memset(ByteSetData(block), 0, static_cast<size_t>(count));
  detail::SetByteSet(result, block);
}

void ReadFromByteSet(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view bytes = a.Bytes(0);
  const uint32_t tag = BaseTypeFromNumber(a.Integer(1));
  if (tag == 0) LibraryHost::RaiseError(InvalidTypeNumberMessage);

  // The position travels as a reference to the caller's variable: a record whose value is the
  // variable's address. A plain integer (high word 0, as no address of ours is below 4 GiB)
  // is taken as a start position that is not written back.
  const TypedValue& positionArgument = a.At(2);
  int32_t* positionVariable = nullptr;
  int32_t position = 1;
  if (positionArgument.tag == Tag::Integer && positionArgument.high != 0) {
    positionVariable = PointerOf<int32_t>(positionArgument);
    std::memcpy(&position, positionVariable, sizeof position);
  } else if (a.IsGiven(2)) {
    position = a.Integer(2, 1);
  }

  // A start outside the byte set reads nothing: the value is zero or empty.
  const bool inside = position >= 1 && static_cast<size_t>(position) <= bytes.size();
  const std::string_view rest = inside ? bytes.substr(static_cast<size_t>(position) - 1) : std::string_view();
  size_t consumed;
  if (tag == Tag::Text) {
    const size_t zero = rest.find('\0');
    const std::string_view text = rest.substr(0, zero);
    consumed = zero == std::string_view::npos ? rest.size() : zero + 1;
    detail::SetText(result, NewText(text));
  } else {
    const size_t size = BaseTypeSize(tag);
    uint8_t value[8] = {};
    if (!rest.empty()) std::memcpy(value, rest.data(), rest.size() < size ? rest.size() : size);
    uint64_t word = 0;
    for (size_t i = 0; i < 8; ++i) word |= static_cast<uint64_t>(value[i]) << (8 * i);
    if (tag == Tag::Boolean) word = static_cast<uint32_t>(word) != 0 ? 1 : 0;
    if (tag == Tag::Byte || tag == Tag::Short) {
      // Small values travel sign- or zero-extended in the low word.
      word = tag == Tag::Byte ? static_cast<uint32_t>(value[0])
                              : static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(value[0] | value[1] << 8)));
    }
    TypedValue v{0, 0, tag};
    SetValue64(v, word);
    *result = v;
    consumed = size;
  }

  if (positionVariable) {
    const size_t next = inside ? static_cast<size_t>(position) + consumed : bytes.size() + 1;
    const int32_t updated = next > bytes.size() ? -1 : static_cast<int32_t>(next);
    std::memcpy(positionVariable, &updated, sizeof updated);
  }
}

}  // namespace quorlin::commands
