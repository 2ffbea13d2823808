#include "runtime/kernel/blocks.h"

#include <limits>

#include "runtime/kernel/library_host.h"

namespace quorlin {

char* NewText(const char* bytes, size_t count) {
  if (count == 0) return nullptr;
  auto* text = static_cast<char*>(LibraryHost::Allocate(count + 1));
  std::memcpy(text, bytes, count);
  text[count] = '\0';
  return text;
}

void* NewByteSet(const void* bytes, size_t count) {
  if (count == 0) return nullptr;
  if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max()) - ByteSetHeaderSize) {
    LibraryHost::Allocate(std::numeric_limits<size_t>::max());  // the out-of-memory error
  }
  auto* block = static_cast<uint8_t*>(LibraryHost::Allocate(count + ByteSetHeaderSize));
  const int32_t dimensions = 1;
  const auto length = static_cast<int32_t>(count);
  std::memcpy(block, &dimensions, 4);
  std::memcpy(block + 4, &length, 4);
  if (bytes) std::memcpy(block + ByteSetHeaderSize, bytes, count);
  return block;
}

ArrayShape ReadArrayShape(const void* block) {
  ArrayShape shape;
  if (!block) return shape;
  auto* p = static_cast<uint8_t*>(const_cast<void*>(block));
  std::memcpy(&shape.dimensionCount, p, 4);
  shape.sizes = p + 4;
  size_t count = shape.dimensionCount == 0 ? 0 : 1;
  for (uint32_t d = 0; d < shape.dimensionCount; ++d) {
    int32_t size;
    std::memcpy(&size, shape.sizes + 4 * d, 4);
    count *= size > 0 ? static_cast<size_t>(size) : 0;
  }
  shape.elementCount = count;
  shape.elements = p + 4 + 4 * static_cast<size_t>(shape.dimensionCount);
  return shape;
}

void* NewArray(size_t count, size_t elementSize) {
  const size_t bytes = 8 + count * elementSize;
  auto* block = static_cast<uint8_t*>(LibraryHost::Allocate(bytes));
  const int32_t dimensions = 1;
  const auto size = static_cast<int32_t>(count);
  std::memcpy(block, &dimensions, 4);
  std::memcpy(block + 4, &size, 4);
  std::memset(block + 8, 0, count * elementSize);
  return block;
}

}  // namespace quorlin
