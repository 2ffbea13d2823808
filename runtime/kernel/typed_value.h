// The typed value record in which every command argument and result travels, the data-type
// tags and their classes.
#pragma once

#include <cstdint>
#include <cstring>

namespace quorlin {

// {value low word, value high word, data-type tag}. A pointer fills both words (low word
// first); a 4-byte value fills the low word and leaves the high word 0. Tag 0 marks an
// omitted argument, and the whole record is then zero.
struct TypedValue {
  uint32_t low = 0;
  uint32_t high = 0;
  uint32_t tag = 0;
};
static_assert(sizeof(TypedValue) == 12);

// System base types.
namespace Tag {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t Byte = 0x80000101;
inline constexpr uint32_t Short = 0x80000201;
inline constexpr uint32_t Integer = 0x80000301;
inline constexpr uint32_t Long = 0x80000401;
inline constexpr uint32_t Float = 0x80000501;
inline constexpr uint32_t Double = 0x80000601;
inline constexpr uint32_t Boolean = 0x80000002;
inline constexpr uint32_t DateTime = 0x80000003;
inline constexpr uint32_t Text = 0x80000004;
inline constexpr uint32_t ByteSet = 0x80000005;
inline constexpr uint32_t SubroutinePointer = 0x80000006;
inline constexpr uint32_t EightByteValue = 0x80000008;
inline constexpr uint32_t ArrayFlag = 0x20000000;

// Core-library types that other parts name directly.
inline constexpr uint32_t Window = 0x00010001;
inline constexpr uint32_t CommonDialog = 0x0001001F;
inline constexpr uint32_t Object = 0x00010030;
}  // namespace Tag

enum class TagClass { None, SystemBase, Application, Library };

constexpr TagClass ClassifyTag(uint32_t tag) {
  if (tag == 0) return TagClass::None;
  if ((tag & 0xC0000000u) == 0x80000000u) return TagClass::SystemBase;
  if (tag >= 0x40000000u && tag <= 0x7FFFFFFFu) return TagClass::Application;
  return TagClass::Library;
}

constexpr bool IsArrayTag(uint32_t tag) {
  return ClassifyTag(tag) == TagClass::SystemBase && (tag & Tag::ArrayFlag) != 0;
}
constexpr uint32_t ArrayElementTag(uint32_t tag) { return tag & ~Tag::ArrayFlag; }
constexpr bool IsNumericTag(uint32_t tag) {
  return ClassifyTag(tag) == TagClass::SystemBase && !IsArrayTag(tag) && (tag & 0xFF) == 0x01;
}
// Library number (1 = core library) and type number of a library-defined tag.
constexpr uint32_t TagLibraryNumber(uint32_t tag) { return tag >> 16; }
constexpr uint32_t TagTypeNumber(uint32_t tag) { return tag & 0xFFFF; }

// Size in bytes of a base type's value (the element size in an array block); 0 when the tag
// is not a system base type. Texts, byte sets and subroutine pointers are pointers.
constexpr uint32_t BaseTypeSize(uint32_t tag) {
  switch (tag) {
    case Tag::Byte: return 1;
    case Tag::Short: return 2;
    case Tag::Integer: case Tag::Float: case Tag::Boolean: return 4;
    case Tag::Long: case Tag::Double: case Tag::DateTime: case Tag::EightByteValue: return 8;
    case Tag::Text: case Tag::ByteSet: case Tag::SubroutinePointer: return sizeof(void*);
    default: return 0;
  }
}

// The base-type numbering of the data-reading commands: 1 byte … 10 text; 0 when outside.
constexpr uint32_t BaseTypeFromNumber(int number) {
  constexpr uint32_t table[] = {Tag::Byte, Tag::Short, Tag::Integer, Tag::Long, Tag::Float,
                                Tag::Double, Tag::Boolean, Tag::DateTime, Tag::SubroutinePointer, Tag::Text};
  return number >= 1 && number <= 10 ? table[number - 1] : 0;
}

// Limits of a date-time value (the years 100 to 9999).
inline constexpr double MinDateTime = -657434.0;
inline constexpr double MaxDateTime = 2958465.0;

// Building and reading records.
inline uint64_t Value64(const TypedValue& v) { return static_cast<uint64_t>(v.high) << 32 | v.low; }
inline void SetValue64(TypedValue& v, uint64_t x) {
  v.low = static_cast<uint32_t>(x);
  v.high = static_cast<uint32_t>(x >> 32);
}
inline bool IsOmitted(const TypedValue& v) { return v.tag == Tag::None; }

inline TypedValue MakeInteger(int32_t x) { return {static_cast<uint32_t>(x), 0, Tag::Integer}; }
inline TypedValue MakeBoolean(bool b) { return {b ? 1u : 0u, 0, Tag::Boolean}; }
inline TypedValue MakeLong(int64_t x) {
  TypedValue v{0, 0, Tag::Long};
  SetValue64(v, static_cast<uint64_t>(x));
  return v;
}
inline TypedValue MakeDouble(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  TypedValue v{0, 0, Tag::Double};
  SetValue64(v, bits);
  return v;
}
inline TypedValue MakeFloat(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return {bits, 0, Tag::Float};
}
inline TypedValue MakePointerValue(const void* p, uint32_t tag) {
  TypedValue v{0, 0, tag};
  SetValue64(v, reinterpret_cast<uintptr_t>(p));
  return v;
}
inline TypedValue MakeText(const char* text) { return MakePointerValue(text, Tag::Text); }
inline TypedValue MakeByteSet(const void* block) { return MakePointerValue(block, Tag::ByteSet); }

template <typename T = void>
inline T* PointerOf(const TypedValue& v) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(Value64(v)));
}
inline int32_t IntegerOf(const TypedValue& v) { return static_cast<int32_t>(v.low); }
inline double DoubleOf(const TypedValue& v) {
  const uint64_t bits = Value64(v);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
inline float FloatOf(const TypedValue& v) {
  float f;
  std::memcpy(&f, &v.low, 4);
  return f;
}

}  // namespace quorlin
