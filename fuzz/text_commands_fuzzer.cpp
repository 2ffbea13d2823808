// Feeds random texts, patterns and numeric arguments to the text and byte-set commands and
// compares the scans with the plain model of tests/commands/text_reference_model.h.
//
// Input: flags byte, start byte, count byte, pattern length byte, replacement length byte,
// then the bytes of the pattern, the replacement and the text (NUL bytes become 'a' where a
// text is made, since a text ends at its first NUL).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/commands/byte_set_commands.h"
#include "runtime/commands/conversion_commands.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/command.h"
#include "runtime/kernel/library_host.h"
#include "tests/commands/text_reference_model.h"

namespace {

using namespace quorlin;
namespace ref = quorlin::reference;

std::string Textual(std::string_view bytes) {
  std::string s(bytes);
  for (char& c : s) {
    if (c == '\0') c = 'a';
  }
  return s;
}

class Arguments {
 public:
  ~Arguments() {
    for (void* block : owned_) LibraryHost::Free(block);
  }
  TypedValue Text(const std::string& s) {
    char* block = NewText(s);
    owned_.push_back(block);
    return MakeText(block);
  }
  TypedValue Bytes(std::string_view s) {
    void* block = NewByteSet(s.data(), s.size());
    owned_.push_back(block);
    return MakeByteSet(block);
  }

 private:
  std::vector<void*> owned_;
};

TypedValue Run(CommandEntry command, std::vector<TypedValue> args) {
  TypedValue result{};
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

std::string TakeText(const TypedValue& result) {
  if (result.tag != Tag::Text) std::abort();
  char* text = PointerOf<char>(result);
  if (text && *text == '\0') std::abort();  // an empty text must be null
  std::string copy(TextView(text));
  LibraryHost::Free(text);
  return copy;
}

std::string TakeBytes(const TypedValue& result) {
  if (result.tag != Tag::ByteSet) std::abort();
  void* block = PointerOf(result);
  if (block && ByteSetLength(block) == 0) std::abort();
  std::string copy(reinterpret_cast<const char*>(ByteSetData(block)), ByteSetLength(block));
  LibraryHost::Free(block);
  return copy;
}

std::vector<std::string> TakeTextArray(const TypedValue& result) {
  if (result.tag != (Tag::Text | Tag::ArrayFlag) || !PointerOf(result)) std::abort();
  const ArrayShape shape = ReadArrayShape(PointerOf(result));
  std::vector<std::string> elements;
  for (size_t i = 0; i < shape.elementCount; ++i) elements.push_back(TakeText(MakeText(TextArrayElement(shape, i))));
  LibraryHost::Free(PointerOf(result));
  return elements;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const uint8_t flags = data[0];
  const int32_t start = static_cast<int8_t>(data[1]);
  const int32_t count = static_cast<int8_t>(data[2]) % 8;
  std::string_view rest(reinterpret_cast<const char*>(data) + 5, size - 5);
  const std::string_view patternBytes = rest.substr(0, data[3] % 16);
  rest.remove_prefix(patternBytes.size());
  const std::string_view replacementBytes = rest.substr(0, data[4] % 16);
  rest.remove_prefix(replacementBytes.size());
  const std::string_view textBytes = rest;

  const std::string text = Textual(textBytes), pattern = Textual(patternBytes), replacement = Textual(replacementBytes);
  const bool ignoreCase = flags & 1;
  const bool startGiven = flags & 2;
  Arguments a;
  const TypedValue t = a.Text(text), p = a.Text(pattern), r = a.Text(replacement);
  const TypedValue startValue = startGiven ? MakeInteger(start) : TypedValue{};

  Check(quorlin::IntegerOf(Run(commands::FindText, {t, p, startValue, MakeBoolean(ignoreCase)})) ==
        ref::FindText(text, pattern, startGiven ? start : 1, ignoreCase));
  Check(quorlin::IntegerOf(Run(commands::FindTextReverse, {t, p, startValue, MakeBoolean(ignoreCase)})) ==
        ref::FindTextReverse(text, pattern, startGiven, start, ignoreCase));
  Check(TakeText(Run(commands::ReplaceSubtext, {t, p, r, startValue, MakeInteger(count), MakeBoolean(!ignoreCase)})) ==
        ref::Replace(text, pattern, replacement, startGiven ? start : 1, count, ignoreCase));
  Check(TakeTextArray(Run(commands::SplitText, {t, p, count < 0 ? TypedValue{} : MakeInteger(count)})) ==
        ref::Split(text, pattern, count));
  Check(TakeBytes(Run(commands::ReplaceBytes, {a.Bytes(textBytes), a.Bytes(patternBytes), a.Bytes(replacementBytes),
                                               startValue, MakeInteger(count)})) ==
        ref::Replace(textBytes, patternBytes, replacementBytes, startGiven ? start : 1, count, false, false));

  // Commands without a model here still must stay inside their blocks and keep the rules.
  const std::string middle = TakeText(Run(commands::TextMiddle, {t, MakeInteger(start), MakeInteger(count)}));
  Check(middle.size() <= text.size());
  const std::string upper = TakeText(Run(commands::ToUpperCase, {t}));
  Check(upper.size() == text.size());
  for (CommandEntry trim : {commands::TrimBoth, commands::TrimLeadingSpaces, commands::TrimTrailingSpaces,
                            commands::RemoveAllSpaces}) {
    Check(TakeText(Run(trim, {t})).size() <= text.size());
  }
  Run(commands::ToInteger, {t});
  TakeText(Run(commands::ToText, {a.Bytes(textBytes)}));
  int32_t position = start;
  const TypedValue variable = MakePointerValue(&position, Tag::Integer);
  const TypedValue value = Run(commands::ReadFromByteSet, {a.Bytes(textBytes), MakeInteger(1 + flags % 10), variable});
  if (value.tag == Tag::Text) TakeText(value);
  Check(position == -1 || (position >= 1 && static_cast<size_t>(position) <= textBytes.size()));
  return 0;
}
