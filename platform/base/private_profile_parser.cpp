#include "platform/base/private_profile_parser.h"

namespace quorlin::platform {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

bool IsGbkLead(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void Classify(ProfileLine& line) {
  std::string_view content = line.text;
  // A UTF-8 byte-order mark (left by some editors) does not hide the file's first line.
  if (line.offset == 0 && content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
  content = TrimProfileBlanks(content);
  line.name = {};
  line.value = {};
  if (content.empty()) {
    line.kind = ProfileLineKind::Blank;
  } else if (content.front() == ';') {
    line.kind = ProfileLineKind::Comment;
  } else if (content.front() == '[') {
    line.kind = ProfileLineKind::Section;
    const size_t close = content.find(']');
    line.name = TrimProfileBlanks(content.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  } else if (const size_t equals = content.find('='); equals != std::string_view::npos) {
    line.kind = ProfileLineKind::Entry;
    line.name = TrimProfileBlanks(content.substr(0, equals));
    line.value = TrimProfileBlanks(content.substr(equals + 1));
  } else {
    line.kind = ProfileLineKind::Other;
  }
}

// The lines of the first section of that name: [first, end) as byte offsets, where first is
// the offset just past the header line. nullopt when there is no such section.
struct SectionSpan {
  size_t headerOffset;
  size_t bodyOffset;
  size_t endOffset;
};

std::optional<SectionSpan> FindSection(std::string_view bytes, std::string_view section) {
  ProfileLineReader reader(bytes);
  ProfileLine line;
  std::optional<SectionSpan> span;
  while (reader.Next(line)) {
    if (line.kind != ProfileLineKind::Section) continue;
    if (span) {
      span->endOffset = line.offset;
      return span;
    }
    if (ProfileNamesEqual(line.name, section)) {
      const size_t body = line.offset + line.text.size() + line.lineEnd.size();
      span = SectionSpan{line.offset, body, bytes.size()};
    }
  }
  return span;
}

std::string EntryLine(std::string_view key, std::string_view value) {
  std::string text;
  text.reserve(key.size() + value.size() + 3);
  text.append(key).append("=").append(value).append(kLineEnd);
  return text;
}

}  // namespace

bool ProfileLineReader::Next(ProfileLine& line) {
  if (position_ >= bytes_.size()) return false;
  const size_t newline = bytes_.find('\n', position_);
  const size_t end = newline == std::string_view::npos ? bytes_.size() : newline;
  size_t textEnd = end;
  if (newline != std::string_view::npos && textEnd > position_ && bytes_[textEnd - 1] == '\r') --textEnd;
  line.offset = position_;
  line.text = bytes_.substr(position_, textEnd - position_);
  line.lineEnd = newline == std::string_view::npos ? std::string_view() : bytes_.substr(textEnd, end + 1 - textEnd);
  position_ = newline == std::string_view::npos ? bytes_.size() : newline + 1;
  Classify(line);
  return true;
}

std::string_view TrimProfileBlanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsGbkLead(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

std::optional<std::string_view> FindProfileValue(std::string_view bytes, std::string_view section,
                                                 std::string_view key) {
  const auto span = FindSection(bytes, section);
  if (!span) return std::nullopt;
  ProfileLineReader reader(bytes, span->bodyOffset, span->endOffset);
  ProfileLine line;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Entry && ProfileNamesEqual(line.name, key)) return Unquote(line.value);
  }
  return std::nullopt;
}

std::vector<std::string_view> ProfileSectionNames(std::string_view bytes) {
  std::vector<std::string_view> names;
  ProfileLineReader reader(bytes);
  ProfileLine line;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Section) names.push_back(line.name);
  }
  return names;
}

std::vector<std::string_view> ProfileKeyNames(std::string_view bytes, std::string_view section) {
  std::vector<std::string_view> names;
  const auto span = FindSection(bytes, section);
  if (!span) return names;
  ProfileLineReader reader(bytes, span->bodyOffset, span->endOffset);
  ProfileLine line;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Entry) names.push_back(line.name);
  }
  return names;
}

bool IsWritableProfileSection(std::string_view section) {
  return section.find_first_of("\r\n]") == std::string_view::npos;
}

bool IsWritableProfileKey(std::string_view key) {
  if (key.find_first_of("\r\n=") != std::string_view::npos) return false;
  const std::string_view trimmed = TrimProfileBlanks(key);
  return trimmed.empty() || (trimmed.front() != ';' && trimmed.front() != '[');
}

bool IsWritableProfileValue(std::string_view value) { return value.find_first_of("\r\n") == std::string_view::npos; }

std::string SetProfileValue(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view value) {
  std::string out;
  out.reserve(bytes.size() + section.size() + key.size() + value.size() + 8);
  const auto span = FindSection(bytes, section);
  if (!span) {
    out.append(bytes);
    if (!out.empty() && out.back() != '\n') out.append(kLineEnd);
    out.append("[").append(section).append("]").append(kLineEnd);
    out.append(EntryLine(key, value));
    return out;
  }

  ProfileLineReader reader(bytes, span->bodyOffset, span->endOffset);
  ProfileLine line;
  size_t insertAt = span->bodyOffset;  // after the last non-blank line of the section
  bool lastLineOpen = span->bodyOffset == span->endOffset && !bytes.empty() && bytes.back() != '\n' &&
                      span->endOffset == bytes.size();
  while (reader.Next(line)) {
    const size_t lineStart = line.offset;
    const size_t lineEnd = lineStart + line.text.size() + line.lineEnd.size();
    if (line.kind == ProfileLineKind::Entry && ProfileNamesEqual(line.name, key)) {
      out.append(bytes.substr(0, lineStart));
      out.append(EntryLine(line.name, value));
      out.append(bytes.substr(lineEnd));
      return out;
    }
    if (line.kind != ProfileLineKind::Blank) {
      insertAt = lineEnd;
      lastLineOpen = line.lineEnd.empty();
    }
  }
  out.append(bytes.substr(0, insertAt));
  if (lastLineOpen) out.append(kLineEnd);
  out.append(EntryLine(key, value));
  out.append(bytes.substr(insertAt));
  return out;
}

std::string DeleteProfileKey(std::string_view bytes, std::string_view section, std::string_view key) {
  const auto span = FindSection(bytes, section);
  if (!span) return std::string(bytes);
  std::string out(bytes.substr(0, span->bodyOffset));
  ProfileLineReader reader(bytes, span->bodyOffset, span->endOffset);
  ProfileLine line;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Entry && ProfileNamesEqual(line.name, key)) continue;
    out.append(line.text).append(line.lineEnd);
  }
  out.append(bytes.substr(span->endOffset));
  return out;
}

std::string DeleteProfileSection(std::string_view bytes, std::string_view section) {
  std::string out;
  out.reserve(bytes.size());
  ProfileLineReader reader(bytes);
  ProfileLine line;
  bool dropping = false;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Section) dropping = ProfileNamesEqual(line.name, section);
    if (!dropping) out.append(line.text).append(line.lineEnd);
  }
  return out;
}

}  // namespace quorlin::platform
