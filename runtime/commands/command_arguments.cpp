#include "runtime/commands/command_arguments.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands::detail {

bool NumericValue(const TypedValue& value, int64_t& out) {
  switch (value.tag) {
    case Tag::Byte: out = static_cast<uint8_t>(value.low); return true;
    case Tag::Short: out = static_cast<int16_t>(value.low); return true;
    case Tag::Integer: out = static_cast<int32_t>(value.low); return true;
    case Tag::Long: out = static_cast<int64_t>(Value64(value)); return true;
    case Tag::Float: out = SaturateToInt32(FloatOf(value)); return true;
    case Tag::Double: out = SaturateToInt32(DoubleOf(value)); return true;
    case Tag::Boolean: out = value.low != 0 ? 1 : 0; return true;
    default: return false;
  }
}

int32_t SaturateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

std::string_view Arguments::Text(int32_t i) const {
  const TypedValue& v = At(i);
  return v.tag == Tag::Text ? TextView(PointerOf<const char>(v)) : std::string_view();
}

std::string_view Arguments::Bytes(int32_t i) const {
  const TypedValue& v = At(i);
  if (v.tag != Tag::ByteSet) return {};
  const void* block = PointerOf(v);
  return {reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block)};
}

int32_t Arguments::Integer(int32_t i, int32_t fallback) const {
  int64_t value;
  if (!NumericValue(At(i), value)) return fallback;
  return static_cast<int32_t>(static_cast<uint32_t>(value));  // a long gives its low word
}

bool Arguments::Boolean(int32_t i, bool fallback) const {
  const TypedValue& v = At(i);
  if (v.tag == Tag::Float) return FloatOf(v) != 0;
  if (v.tag == Tag::Double) return DoubleOf(v) != 0;
  int64_t value;
  return NumericValue(v, value) ? value != 0 : fallback;
}

void SetInteger(TypedValue* result, int32_t value) { *result = MakeInteger(value); }
void SetBoolean(TypedValue* result, bool value) { *result = MakeBoolean(value); }
void SetText(TypedValue* result, char* text) { *result = MakeText(text); }
void SetByteSet(TypedValue* result, void* byteSet) { *result = MakeByteSet(byteSet); }

BlockBuilder::BlockBuilder(size_t headerSize, size_t expectedBytes) : header_(headerSize) {
  Reserve(expectedBytes);
}

BlockBuilder::~BlockBuilder() { LibraryHost::Free(block_); }

void BlockBuilder::Reserve(size_t total) {
  if (total <= capacity_ && block_) return;
  // One byte more than the contents, for a text's NUL.
  const size_t limit = std::numeric_limits<size_t>::max() / 4;
  size_t capacity = capacity_ < 64 ? 64 : capacity_;
  while (capacity < total && capacity < limit) capacity += capacity / 2;
  if (total >= limit) capacity = std::numeric_limits<size_t>::max() - header_ - 1;  // fails in the allocator
  block_ = static_cast<uint8_t*>(LibraryHost::Reallocate(block_, header_ + capacity + 1));
  capacity_ = capacity;
}

void BlockBuilder::Append(std::string_view bytes) {
  if (bytes.empty()) return;
  Reserve(size_ + bytes.size());
  std::memcpy(block_ + header_ + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

uint8_t* BlockBuilder::Release() {
  uint8_t* block = block_;
  block_ = nullptr;
  size_ = capacity_ = 0;
  return block;
}

char* BlockBuilder::FinishText() {
  if (size_ == 0) return nullptr;
  block_[header_ + size_] = 0;
  return reinterpret_cast<char*>(Release() + header_);
}

void* BlockBuilder::FinishByteSet() {
  if (size_ == 0) return nullptr;
  if (header_ != ByteSetHeaderSize || size_ > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    LibraryHost::Allocate(std::numeric_limits<size_t>::max());  // the out-of-memory error
  }
  const int32_t dimensions = 1;
  const auto length = static_cast<int32_t>(size_);
  std::memcpy(block_, &dimensions, 4);
  std::memcpy(block_ + 4, &length, 4);
  return Release();
}

}  // namespace quorlin::commands::detail
