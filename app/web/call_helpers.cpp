#include "app/web/call_helpers.h"

#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app::web {

OwnedTextArray::OwnedTextArray(const TypedValue& arrayResult) : block_(PointerOf<void>(arrayResult)) {
  count_ = ReadArrayShape(block_).elementCount;
}

OwnedTextArray::~OwnedTextArray() {
  if (!block_) return;
  const ArrayShape shape = ReadArrayShape(block_);
  for (size_t i = 0; i < shape.elementCount; ++i) {
    if (const char* element = TextArrayElement(shape, i)) EntryTable().Free(const_cast<char*>(element));
  }
  EntryTable().Free(block_);
}

const char* OwnedTextArray::operator[](size_t i) const {
  return i < count_ ? TextArrayElement(ReadArrayShape(block_), i) : nullptr;
}

OwnedTextArray SplitLines(const char* text, const char* delimiter) {
  return OwnedTextArray(CallCore(&commands::SplitText, {MakeText(text), MakeText(delimiter)}));
}

}  // namespace quorlin::app::web
