#include "platform/user/edit_control_text.h"

#include <algorithm>

namespace quorlin::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

template <typename Convert>
std::string ConvertAscii(std::string_view text, Convert convert) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsGbkLeadByte(c) && i + 1 < out.size()) {
      ++i;
      continue;
    }
    out[i] = convert(out[i]);
  }
  return out;
}

}  // namespace

bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

std::string GbkToUpper(std::string_view text) {
  return ConvertAscii(text, [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
}

std::string GbkToLower(std::string_view text) {
  return ConvertAscii(text, [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
}

size_t GbkCharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++count) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (i + 1 < text.size() && ((IsGbkLeadByte(c) && IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]))) ||
                                (c == '\r' && text[i + 1] == '\n'))) {
      i += 2;
    } else {
      ++i;
    }
  }
  return count;
}

size_t EditText::CharLength(size_t i) const {
  if (i + 1 >= text_.size()) return 1;
  const auto c = static_cast<unsigned char>(text_[i]);
  if (IsGbkLeadByte(c) && IsGbkTrailByte(static_cast<unsigned char>(text_[i + 1]))) return 2;
  if (c == '\r' && text_[i + 1] == '\n') return 2;
  return 1;
}

void EditText::SetText(std::string_view text) {
  text_.assign(text);
  anchor_ = caret_ = 0;
}

void EditText::Select(size_t anchor, size_t caret) {
  anchor_ = Snap(anchor);
  caret_ = Snap(caret);
}

size_t EditText::Snap(size_t position) const {
  if (position >= text_.size()) return text_.size();
  size_t i = 0;
  while (i < text_.size()) {
    const size_t next = i + CharLength(i);
    if (next > position) return i;
    i = next;
  }
  return text_.size();
}

size_t EditText::Previous(size_t position) const {
  position = Snap(position);
  size_t i = 0;
  size_t previous = 0;
  while (i < position) {
    previous = i;
    i += CharLength(i);
  }
  return previous;
}

size_t EditText::Next(size_t position) const {
  position = Snap(position);
  return position >= text_.size() ? text_.size() : position + CharLength(position);
}

size_t EditText::PreviousWord(size_t position) const {
  position = Snap(position);
  while (position > 0 && IsBlank(text_[Previous(position)])) position = Previous(position);
  while (position > 0 && !IsBlank(text_[Previous(position)])) position = Previous(position);
  return position;
}

size_t EditText::NextWord(size_t position) const {
  position = Snap(position);
  while (position < text_.size() && !IsBlank(text_[position])) position = Next(position);
  while (position < text_.size() && IsBlank(text_[position])) position = Next(position);
  return position;
}

void EditText::WordAround(size_t position, size_t& start, size_t& end) const {
  start = end = Snap(position);
  if (text_.empty()) return;
  if (end == text_.size()) start = Previous(end);
  const bool blank = IsBlank(text_[start]);
  while (start > 0 && IsBlank(text_[Previous(start)]) == blank) start = Previous(start);
  while (end < text_.size() && IsBlank(text_[end]) == blank) end = Next(end);
}

EditText::Change EditText::ReplaceSelection(std::string_view inserted, bool applyLimit) {
  Change change;
  const size_t start = SelectionStart();
  const size_t removed = SelectionEnd() - start;
  if (applyLimit) {
    const size_t kept = text_.size() - removed;
    const size_t room = kept >= limit_ ? 0 : limit_ - kept;
    if (inserted.size() > room) {
      // Cut between characters: never keep half of a double-byte character.
      size_t fit = 0;
      for (size_t i = 0; i < inserted.size();) {
        const auto c = static_cast<unsigned char>(inserted[i]);
        size_t length = 1;
        if (i + 1 < inserted.size() && ((IsGbkLeadByte(c) && IsGbkTrailByte(static_cast<unsigned char>(inserted[i + 1]))) ||
                                        (c == '\r' && inserted[i + 1] == '\n'))) {
          length = 2;
        }
        if (i + length > room) break;
        i += length;
        fit = i;
      }
      inserted = inserted.substr(0, fit);
      change.truncated = true;
    }
  }
  change.changed = removed > 0 || !inserted.empty();
  text_.replace(start, removed, inserted);
  anchor_ = caret_ = start + inserted.size();
  return change;
}

std::vector<EditText::Line> EditText::Lines(bool multiLine) const {
  std::vector<Line> lines;
  if (!multiLine) {
    lines.push_back(Line{0, text_.size()});
    return lines;
  }
  size_t start = 0;
  for (size_t i = 0; i < text_.size(); i += CharLength(i)) {
    if (text_[i] == '\n' || (text_[i] == '\r' && CharLength(i) == 2)) {
      lines.push_back(Line{start, i});
      start = i + CharLength(i);
    }
  }
  lines.push_back(Line{start, text_.size()});
  return lines;
}

}  // namespace quorlin::platform
