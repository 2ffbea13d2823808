#include "tools/profile_service/member_directory.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/base/code_page.h"
#include "tools/profile_service/portrait_picture.h"

namespace quorlin::profile_service {
namespace {

constexpr size_t kMaxNameBytes = 64;
constexpr size_t kMaxPortraitBytes = 128;
constexpr size_t kMaxAgeBytes = 32;

bool IsPortraitIdentifier(std::string_view text) {
  if (text.empty() || text.size() > kMaxPortraitBytes) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
  });
}

// Ages go into the reply text as they are: digits, one point and a sign at most.
bool IsAgeText(std::string_view text) {
  if (text.empty() || text.size() > kMaxAgeBytes) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; });
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool ReadSmallFile(const std::string& path, size_t limit, std::string& bytes) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff size = file.tellg();
  if (size < 0 || static_cast<size_t>(size) > limit) return false;
  bytes.resize(static_cast<size_t>(size));
  file.seekg(0);
  return static_cast<bool>(file.read(bytes.data(), size));
}

Member DemoMember(const char* utf8Name, const char* portrait, const char* age) {
  Member member;
  member.utf8Name = utf8Name;
  member.portrait = portrait;
  member.age = age;
  return member;
}

}  // namespace

std::string PictureTypeOf(std::string_view bytes) {
  if (bytes.substr(0, 8) == "\x89PNG\r\n\x1a\n") return "image/png";
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return "image/jpeg";
  if (bytes.substr(0, 4) == "GIF8") return "image/gif";
  if (bytes.substr(0, 2) == "BM") return "image/bmp";
  return "application/octet-stream";
}

MemberDirectory MemberDirectory::BuiltIn() {
  MemberDirectory directory;
  directory.Add(DemoMember("abc", "demo.abc", "3.5"));
  directory.Add(DemoMember("quorlin", "demo.quorlin", "7.2"));
  directory.Add(DemoMember("Tamsk", "demo.tamsk", "12.0"));
  directory.Add(DemoMember("张三", "demo.zhangsan", "2.5"));
  directory.Add(DemoMember("李四", "demo.lisi", "0.8"));
  directory.Add(DemoMember("论坛新人", "demo.xinren", "10.1"));
  return directory;
}

void MemberDirectory::Add(Member member) {
  member.gbkName = platform::Utf8ToGbk(member.utf8Name);
  if (member.picture.empty()) member.picture = MakePortraitPng(member.portrait);
  member.pictureType = PictureTypeOf(member.picture);
  std::erase_if(members_, [&member](const Member& known) {
    return known.utf8Name == member.utf8Name || known.portrait == member.portrait;
  });
  members_.push_back(std::move(member));
}

bool MemberDirectory::LoadFile(const std::string& path, std::string* error) {
  std::string text;
  if (!ReadSmallFile(path, kMaxFileBytes, text)) {
    *error = "cannot read " + path + " (or it is over 1 MiB)";
    return false;
  }
  const size_t slash = path.rfind('/');
  return LoadText(text, slash == std::string::npos ? std::string(".") : path.substr(0, slash), error);
}

bool MemberDirectory::LoadText(std::string_view text, const std::string& pictureFolder, std::string* error) {
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const auto fail = [&](const std::string& why) {
      *error = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    };
    const auto fields = Fields(line);
    if (fields.size() < 3 || fields.size() > 4) return fail("expected NAME, PORTRAIT, AGE and an optional PICTURE");
    Member member;
    member.utf8Name = fields[0];
    member.portrait = fields[1];
    std::string_view age = fields[2];
    if (age.substr(0, 5) == "bare:") {
      member.bareAge = true;
      age.remove_prefix(5);
    }
    member.age = age;
    if (member.utf8Name.empty() || member.utf8Name.size() > kMaxNameBytes) return fail("name empty or over 64 bytes");
    if (!IsPortraitIdentifier(member.portrait)) return fail("portrait identifier not of letters, digits, '.', '_', '-'");
    if (!IsAgeText(member.age)) return fail("age is not a number");
    if (fields.size() == 4 && !fields[3].empty()) {
      std::string path(fields[3]);
      if (path.front() != '/') path = pictureFolder + "/" + path;
      if (!ReadSmallFile(path, kMaxPictureBytes, member.picture) || member.picture.empty()) {
        return fail("cannot read picture " + path + " (or it is empty or over 8 MiB)");
      }
    }
    if (members_.size() >= kMaxMembers) return fail("more than 10000 members");
    Add(std::move(member));
  }
  return true;
}

const Member* MemberDirectory::FindByName(std::string_view nameBytes) const {
  for (const Member& member : members_) {
    if (member.gbkName == nameBytes || member.utf8Name == nameBytes) return &member;
  }
  return nullptr;
}

const Member* MemberDirectory::FindByPortrait(std::string_view portrait) const {
  for (const Member& member : members_) {
    if (member.portrait == portrait) return &member;
  }
  return nullptr;
}

}  // namespace quorlin::profile_service
