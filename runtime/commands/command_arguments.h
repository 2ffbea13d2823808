// Reading command arguments and filling results. An argument that was omitted, or that has a
// type the command cannot use, reads as the default the caller names (empty for texts and
// byte sets), so a command never reads through a value of the wrong type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/kernel/command.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::commands::detail {

class Arguments {
 public:
  Arguments(int32_t count, const TypedValue* args) : count_(count), args_(args) {}

  int32_t Count() const { return count_ > 0 ? count_ : 0; }
  const TypedValue& At(int32_t i) const { return ArgumentAt(count_, args_, i); }
  bool IsGiven(int32_t i) const { return !IsOmitted(At(i)); }

  // A text argument; empty for null, omitted or another type.
  std::string_view Text(int32_t i) const;
  // The bytes of a byte-set argument; empty for null, omitted or another type.
  std::string_view Bytes(int32_t i) const;
  // A numeric or boolean argument as a 32-bit integer (floating values truncated toward
  // zero and saturated); the fallback for omitted and non-numeric ones.
  int32_t Integer(int32_t i, int32_t fallback = 0) const;
  bool Boolean(int32_t i, bool fallback = false) const;

 private:
  int32_t count_;
  const TypedValue* args_;
};

// The integer value of a numeric or boolean record, or nothing for other types.
bool NumericValue(const TypedValue& value, int64_t& out);
int32_t SaturateToInt32(double value);

void SetInteger(TypedValue* result, int32_t value);
void SetBoolean(TypedValue* result, bool value);
void SetText(TypedValue* result, char* text);
void SetByteSet(TypedValue* result, void* byteSet);

// Builds a runtime block whose final size is not known in advance, growing it through the
// runtime allocator. Its contents start after a header of headerSize bytes.
class BlockBuilder {
 public:
  BlockBuilder(size_t headerSize, size_t expectedBytes);
  ~BlockBuilder();
  BlockBuilder(const BlockBuilder&) = delete;
  BlockBuilder& operator=(const BlockBuilder&) = delete;

  void Append(std::string_view bytes);
  void Append(const void* bytes, size_t count) { Append(std::string_view(static_cast<const char*>(bytes), count)); }
  size_t Size() const { return size_; }

  // A text block of the bytes, or null when there are none.
  char* FinishText();
  // A byte-set block of the bytes, or null when there are none.
  void* FinishByteSet();
  // The block with the header space in front, ownership to the caller.
  uint8_t* Release();

 private:
  void Reserve(size_t total);

  uint8_t* block_ = nullptr;
  size_t header_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace quorlin::commands::detail
