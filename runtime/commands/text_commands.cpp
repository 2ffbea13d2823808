#include "runtime/commands/text_commands.h"

#include <cstring>

#include "runtime/commands/command_arguments.h"
#include "runtime/commands/double_byte_walk.h"
#include "runtime/commands/text_search.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

using detail::Arguments;
using detail::CharWidthAt;
using detail::NotFound;

enum class TrimMode { Leading = 0, Trailing = 1, Both = 2, Everywhere = 3 };

// Width of the space character at index i (1 for 0x20, 2 for the full-width space), or 0.
size_t SpaceWidthAt(std::string_view text, size_t i) {
  if (text[i] == ' ') return 1;
  if (static_cast<uint8_t>(text[i]) == 0xA1 && i + 1 < text.size() && static_cast<uint8_t>(text[i + 1]) == 0xA1) return 2;
  return 0;
}

char* TrimSpaces(std::string_view text, TrimMode mode) {
  if (mode == TrimMode::Everywhere) {
    detail::BlockBuilder out(0, text.size());
    size_t runStart = 0;
    for (size_t i = 0; i < text.size();) {
      const size_t space = SpaceWidthAt(text, i);
      if (space != 0) {
        out.Append(text.substr(runStart, i - runStart));
        i += space;
        runStart = i;
      } else {
        i += CharWidthAt(text, i);
      }
    }
    out.Append(text.substr(runStart));
    return out.FinishText();
  }
  size_t begin = 0;
  if (mode != TrimMode::Trailing) {
    while (begin < text.size()) {
      const size_t space = SpaceWidthAt(text, begin);
      if (space == 0) break;
      begin += space;
    }
  }
  size_t end = text.size();
  if (mode != TrimMode::Leading) {
    // Walk forward so that a trail byte 0xA1 is never taken for half a full-width space.
    end = begin;
    for (size_t i = begin; i < text.size();) {
      const size_t space = SpaceWidthAt(text, i);
      i += space != 0 ? space : CharWidthAt(text, i);
      if (space == 0) end = i;
    }
  }
  return NewText(text.substr(begin, end - begin));
}

char* ChangeCase(std::string_view text, bool toUpper) {
  if (text.empty()) return nullptr;
  char* out = NewText(text);
  for (size_t i = 0; i < text.size();) {
    const size_t width = CharWidthAt(text, i);
    if (width == 1) {
      const char c = text[i];
      if (toUpper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
      if (!toUpper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
    }
    i += width;
  }
  return out;
}

int32_t ToPosition(size_t index) { return index == NotFound ? -1 : static_cast<int32_t>(index + 1); }

}  // namespace

void TextLength(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetInteger(result, static_cast<int32_t>(Arguments(argCount, args).Text(0).size()));
}

void TextLeft(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const int32_t count = a.Integer(1);
  detail::SetText(result, count <= 0 ? nullptr : NewText(text.substr(0, static_cast<size_t>(count))));
}

void TextRight(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const int32_t count = a.Integer(1);
  if (count <= 0) return detail::SetText(result, nullptr);
  const size_t n = static_cast<size_t>(count) < text.size() ? static_cast<size_t>(count) : text.size();
  detail::SetText(result, NewText(text.substr(text.size() - n)));
}

void TextMiddle(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const int32_t start = a.Integer(1);
  const int32_t count = a.Integer(2);
  if (start < 1 || static_cast<size_t>(start) > text.size() || count <= 0) return detail::SetText(result, nullptr);
  detail::SetText(result, NewText(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count))));
}

void CharFromCode(TypedValue* result, int32_t argCount, TypedValue* args) {
  const char c = static_cast<char>(Arguments(argCount, args).Integer(0) & 0xFF);
  // Code 0 would be a text that ends before its one byte: the empty text.
  detail::SetText(result, c == 0 ? nullptr : NewText(&c, 1));
}

void FindText(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const std::string_view pattern = a.Text(1);
  const int32_t start = a.Integer(2, 1);
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= text.size()) return detail::SetInteger(result, -1);
  if (pattern.empty()) return detail::SetInteger(result, 1);
  const detail::SearchOptions options{a.Boolean(3), detail::Stepping::Characters};
  detail::SetInteger(result, ToPosition(detail::FindFirstMatch(text, pattern, from, options)));
}

void FindTextReverse(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const std::string_view pattern = a.Text(1);
  size_t regionSize = text.size();
  if (a.IsGiven(2)) {
    const int32_t start = a.Integer(2, 1);
    regionSize = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
    if (regionSize > text.size()) regionSize = text.size();
  }
  if (regionSize == 0) return detail::SetInteger(result, -1);
  if (pattern.empty()) return detail::SetInteger(result, 1);
  const detail::SearchOptions options{a.Boolean(3), detail::Stepping::Characters};
  detail::SetInteger(result, ToPosition(detail::FindLastMatch(text.substr(0, regionSize), pattern, options)));
}

void ToUpperCase(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, ChangeCase(Arguments(argCount, args).Text(0), true));
}

void ToLowerCase(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, ChangeCase(Arguments(argCount, args).Text(0), false));
}

void TrimLeadingSpaces(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, TrimSpaces(Arguments(argCount, args).Text(0), TrimMode::Leading));
}

void TrimTrailingSpaces(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, TrimSpaces(Arguments(argCount, args).Text(0), TrimMode::Trailing));
}

void TrimBoth(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, TrimSpaces(Arguments(argCount, args).Text(0), TrimMode::Both));
}

void RemoveAllSpaces(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetText(result, TrimSpaces(Arguments(argCount, args).Text(0), TrimMode::Everywhere));
}

void ReplaceSubtext(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const std::string_view find = a.Text(1);
  const std::string_view replacement = a.Text(2);
  const int32_t start = a.Integer(3, 1);
  const int32_t count = a.Integer(4, -1);
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
  if (text.empty() || find.empty() || from >= text.size() || count == 0) {
    return detail::SetText(result, NewText(text));
  }
  const detail::SearchOptions options{!a.Boolean(5), detail::Stepping::Characters};
  detail::BlockBuilder out(0, text.size());
  size_t copied = 0;
  detail::ScanMatches(text, find, from, count < 0 ? 0 : static_cast<size_t>(count), options, [&](size_t at) {
    out.Append(text.substr(copied, at - copied));
    out.Append(replacement);
    copied = at + find.size();
  });
  out.Append(text.substr(copied));
  detail::SetText(result, out.FinishText());
}

void SplitText(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string_view text = a.Text(0);
  const std::string_view delimiter = a.IsGiven(1) ? a.Text(1) : std::string_view(",");
  int32_t maximum = a.Integer(2, -1);
  if (a.IsGiven(2) && maximum < 0) maximum = 0;

  // The element pointers are gathered in a growing block behind the array header.
  detail::BlockBuilder elements(8, 8 * sizeof(char*));
  size_t count = 0;
  auto add = [&](std::string_view piece) {
    char* element = NewText(piece);
    elements.Append(&element, sizeof element);
    ++count;
  };
  if (!text.empty() && maximum != 0) {
    if (delimiter.empty()) {
      add(text);
    } else {
      const size_t limit = maximum < 0 ? 0 : static_cast<size_t>(maximum);
      size_t cut = 0;
      const size_t found = detail::ScanMatches(text, delimiter, 0, limit, {}, [&](size_t at) {
        add(text.substr(cut, at - cut));
        cut = at + delimiter.size();
      });
      if ((limit == 0 || found < limit) && cut < text.size()) add(text.substr(cut));
    }
  }
  if (count > static_cast<size_t>(INT32_MAX)) LibraryHost::Allocate(SIZE_MAX);  // the out-of-memory error
  uint8_t* block = elements.Release();
  const int32_t header[2] = {1, static_cast<int32_t>(count)};
  std::memcpy(block, header, sizeof header);
  *result = MakePointerValue(block, Tag::Text | Tag::ArrayFlag);
}

void SpaceText(TypedValue* result, int32_t argCount, TypedValue* args) {
  const int32_t count = Arguments(argCount, args).Integer(0);
  if (count < 1) return detail::SetText(result, nullptr);
  auto* text = static_cast<char*>(LibraryHost::Allocate(static_cast<size_t>(count) + 1));
  std::memset(text, ' ', static_cast<size_t>(count));
  text[count] = '\0';
  detail::SetText(result, text);
}

}  // namespace quorlin::commands
