#include "runtime/kernel/compiled_text_routines.h"

#include <cstring>

#include "runtime/kernel/entry_table.h"

namespace quorlin {

size_t TextByteCount(const char* text) { return text ? std::strlen(text) : 0; }

char* ConcatTexts(std::initializer_list<const char*> parts) {
  size_t total = 0;
  for (const char* part : parts) total += TextByteCount(part);
  auto* block = static_cast<char*>(EntryTable().Allocate(total + 1));
  char* out = block;
  for (const char* part : parts) {
    const size_t n = TextByteCount(part);
    if (n == 0) continue;
    std::memcpy(out, part, n);
    out += n;
  }
  *out = '\0';
  return block;
}

int CompareTexts(const char* a, const char* b) {
  const int c = std::strcmp(a ? a : "", b ? b : "");  // strcmp compares as unsigned char
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace quorlin
