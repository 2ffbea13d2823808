// The members the demo profile service knows: a built-in set and those of a members file.
//
// A members file is UTF-8 text, one member a line, fields separated by tabs:
//   NAME <tab> PORTRAIT <tab> AGE [<tab> PICTURE]
// NAME is matched against the requested name as GBK bytes (or UTF-8 bytes); PORTRAIT is the
// portrait identifier (letters, digits, '.', '_', '-'); AGE is the tb_age text, sent quoted, or
// sent bare when written as "bare:7"; PICTURE is a picture file (relative to the members file)
// served as the portrait instead of a generated one. Empty lines and lines starting with '#' are
// skipped. A later member of the same name or portrait replaces the earlier one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlin::profile_service {

struct Member {
  std::string utf8Name;
  std::string gbkName;
  std::string portrait;
  std::string age;
  bool bareAge = false;
  std::string picture;      // the portrait picture's bytes
  std::string pictureType;  // its MIME type
};

class MemberDirectory {
 public:
  static constexpr size_t kMaxMembers = 10000;
  static constexpr size_t kMaxFileBytes = 1u << 20;
  static constexpr size_t kMaxPictureBytes = 8u << 20;

  // The demo members (ASCII and Chinese names), each with a generated portrait.
  static MemberDirectory BuiltIn();

  // Adds the members of a members file; false with the reason (and line) in *error.
  bool LoadFile(const std::string& path, std::string* error);
  // The same for the file's text; picture files are looked up under pictureFolder.
  bool LoadText(std::string_view text, const std::string& pictureFolder, std::string* error);

  // Adds or replaces a member; the portrait is generated when member.picture is empty.
  void Add(Member member);

  const Member* FindByName(std::string_view nameBytes) const;
  const Member* FindByPortrait(std::string_view portrait) const;
  size_t size() const { return members_.size(); }

 private:
  std::vector<Member> members_;
};

// "image/png", "image/jpeg", "image/gif", "image/bmp" by the first bytes, else
// "application/octet-stream".
std::string PictureTypeOf(std::string_view bytes);

}  // namespace quorlin::profile_service
