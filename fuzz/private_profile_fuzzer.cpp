// Ini files: parse arbitrary bytes, read every section and key, write one key, and check that
// the write changed that key alone. The first byte chooses the section, key and value.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/private_profile_parser.h"

using namespace quorlin::platform;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string_view> LineTexts(std::string_view bytes, size_t skipOffset) {
  std::vector<std::string_view> texts;
  ProfileLineReader reader(bytes);
  ProfileLine line;
  while (reader.Next(line)) {
    if (line.offset != skipOffset) texts.push_back(line.text);
  }
  return texts;
}

// Offset of the entry a write of the key replaces, or SIZE_MAX.
size_t ReplacedEntryOffset(std::string_view bytes, std::string_view section, std::string_view key) {
  ProfileLineReader reader(bytes);
  ProfileLine line;
  bool inSection = false, sectionSeen = false;
  while (reader.Next(line)) {
    if (line.kind == ProfileLineKind::Section) {
      if (sectionSeen) return SIZE_MAX;
      inSection = sectionSeen = ProfileNamesEqual(line.name, section);
    } else if (inSection && line.kind == ProfileLineKind::Entry && ProfileNamesEqual(line.name, key)) {
      return line.offset;
    }
  }
  return SIZE_MAX;
}

bool IsSubsequence(const std::vector<std::string_view>& part, const std::vector<std::string_view>& whole) {
  size_t at = 0;
  for (std::string_view text : whole) {
    if (at < part.size() && part[at] == text) ++at;
  }
  return at == part.size();
}

std::string_view ExpectedRead(std::string_view value) {
  value = TrimProfileBlanks(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::vector<std::string_view> sections = ProfileSectionNames(bytes);
  for (std::string_view section : sections) {
    for (std::string_view key : ProfileKeyNames(bytes, section)) {
      const auto value = FindProfileValue(bytes, section, key);
      Check(value.has_value());
      Check(value->find('\n') == std::string_view::npos);
    }
  }

  std::string section = "fz";
  if ((mode & 1) && !sections.empty()) section = std::string(sections[(mode >> 1) % sections.size()]);
  if (!IsWritableProfileSection(section)) section = "fz";
  std::string key = "k";
  const std::vector<std::string_view> keys = ProfileKeyNames(bytes, section);
  if ((mode & 2) && !keys.empty()) key = std::string(keys[(mode >> 2) % keys.size()]);
  if (!IsWritableProfileKey(key)) key = "k";
  std::string value = (mode & 4) ? std::string(bytes.substr(0, 12)) : std::string(" \"v") + char('0' + mode % 10) + "\" ";
  for (char& c : value) {
    if (c == '\r' || c == '\n') c = '_';
  }

  const std::string written = SetProfileValue(bytes, section, key, value);
  const auto readBack = FindProfileValue(written, section, key);
  Check(readBack.has_value() && *readBack == ExpectedRead(value));
  Check(IsSubsequence(LineTexts(bytes, ReplacedEntryOffset(bytes, section, key)), LineTexts(written, SIZE_MAX)));
  Check(SetProfileValue(written, section, key, value) == written);

  const std::string withoutKey = DeleteProfileKey(written, section, key);
  Check(!FindProfileValue(withoutKey, section, key).has_value());
  const std::string withoutSection = DeleteProfileSection(written, section);
  for (std::string_view name : ProfileSectionNames(withoutSection)) Check(!ProfileNamesEqual(name, section));
  return 0;
}
