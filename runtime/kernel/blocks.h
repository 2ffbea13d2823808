// Text, byte-set and array blocks: how they are laid out, made and read. Every block comes
// from the runtime allocator (through LibraryHost) and its receiver frees it with
// LibraryHost::Free.
//
//   text:     the bytes, then one NUL; the empty text is the null pointer
//   byte set: int32 dimension count (always 1), int32 byte length, the bytes; empty = null
//   array:    int32 dimension count n, n int32 dimension sizes, then the elements, each in
//             its base type's representation (a text array holds text pointers)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorlin {

// --- texts
inline size_t TextBytes(const char* text) { return text ? std::strlen(text) : 0; }
inline std::string_view TextView(const char* text) { return text ? std::string_view(text) : std::string_view(); }
// A new text block holding these bytes, or null when there are none.
char* NewText(const char* bytes, size_t count);
inline char* NewText(std::string_view bytes) { return NewText(bytes.data(), bytes.size()); }

// --- byte sets
inline constexpr size_t ByteSetHeaderSize = 8;
inline size_t ByteSetLength(const void* block) {
  if (!block) return 0;
  int32_t length;
  std::memcpy(&length, static_cast<const uint8_t*>(block) + 4, 4);
  return length > 0 ? static_cast<size_t>(length) : 0;
}
inline const uint8_t* ByteSetData(const void* block) {
  return block ? static_cast<const uint8_t*>(block) + ByteSetHeaderSize : nullptr;
}
inline uint8_t* ByteSetData(void* block) {
  return block ? static_cast<uint8_t*>(block) + ByteSetHeaderSize : nullptr;
}
// A new byte-set block of count bytes copied from bytes (or left uninitialised when bytes is
// null), or null when count is 0.
void* NewByteSet(const void* bytes, size_t count);
// A byte set of count bytes whose contents the caller fills in.
inline void* NewByteSetUninitialised(size_t count) { return NewByteSet(nullptr, count); }

// --- arrays
struct ArrayShape {
  uint32_t dimensionCount = 0;
  const uint8_t* sizes = nullptr;  // dimensionCount little-endian int32 values
  size_t elementCount = 0;
  uint8_t* elements = nullptr;
};
// Reads an array block's header; an empty shape for null.
ArrayShape ReadArrayShape(const void* block);
// A new one-dimensional array block of count elements of elementSize bytes, zero-filled.
void* NewArray(size_t count, size_t elementSize);
// Element i of a text array (no bounds check beyond the shape).
inline const char* TextArrayElement(const ArrayShape& shape, size_t i) {
  const char* p;
  std::memcpy(&p, shape.elements + i * sizeof(char*), sizeof(char*));
  return p;
}
inline void SetTextArrayElement(ArrayShape& shape, size_t i, char* text) {
  std::memcpy(shape.elements + i * sizeof(char*), &text, sizeof(char*));
}

}  // namespace quorlin
