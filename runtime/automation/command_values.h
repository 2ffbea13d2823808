// Reading the text and byte-set arguments of the automation commands; an argument of another
// type (or omitted) reads as empty.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/kernel/blocks.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::automation {

inline std::string_view TextArgument(const TypedValue& v) {
  return v.tag == Tag::Text ? TextView(PointerOf<const char>(v)) : std::string_view();
}

inline std::string_view ByteSetArgument(const TypedValue& v) {
  if (v.tag != Tag::ByteSet) return {};
  const void* block = PointerOf(v);
  return {reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block)};
}

// A whole-number argument (byte, short, integer or 64-bit integer); nothing for other types.
inline bool IntegerArgument(const TypedValue& v, int64_t& out) {
  switch (v.tag) {
    case Tag::Byte: out = static_cast<uint8_t>(v.low); return true;
    case Tag::Short: out = static_cast<int16_t>(v.low); return true;
    case Tag::Integer: out = static_cast<int32_t>(v.low); return true;
    case Tag::Long: out = static_cast<int64_t>(Value64(v)); return true;
    default: return false;
  }
}

}  // namespace quorlin::automation
