// The reader and editor behind the private-profile functions, on a file's bytes in memory.
//
// A line is blank, a comment (first non-blank byte ';'), a section header ('[' name ']'), an
// entry (key '=' value) or other text. Names and values are taken without the spaces and tabs
// around them; a UTF-8 byte-order mark at the very start of the file (before its first line, and
// nowhere else) does not count either. Lines end in LF or CRLF; the last may have no end. Edits give the new bytes:
// every line they do not touch is kept byte for byte, and lines they write end in CRLF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::platform {

enum class ProfileLineKind : uint8_t { Blank, Comment, Section, Entry, Other };

struct ProfileLine {
  ProfileLineKind kind = ProfileLineKind::Blank;
  size_t offset = 0;         // of the line's first byte
  std::string_view text;     // without its line end
  std::string_view lineEnd;  // "\r\n", "\n", or empty for a last line without one
  std::string_view name;     // a section's or an entry's name
  std::string_view value;    // an entry's value (quotes kept)
};

class ProfileLineReader {
 public:
  explicit ProfileLineReader(std::string_view bytes) : bytes_(bytes) {}
  // The lines of bytes[from, to) of the whole file `bytes`; offsets stay the file's.
  ProfileLineReader(std::string_view bytes, size_t from, size_t to) : bytes_(bytes.substr(0, to)), position_(from) {}
  bool Next(ProfileLine& line);

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

std::string_view TrimProfileBlanks(std::string_view text);

// Names compare without ASCII case; a double-byte (GBK) character compares as it is, so its
// trail byte is never folded.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

// The value of a key in the first section of that name: blanks trimmed, matching double or
// single quotes around it removed. nullopt when the section or the key is missing.
std::optional<std::string_view> FindProfileValue(std::string_view bytes, std::string_view section,
                                                 std::string_view key);
std::vector<std::string_view> ProfileSectionNames(std::string_view bytes);
// The keys of the first section of that name.
std::vector<std::string_view> ProfileKeyNames(std::string_view bytes, std::string_view section);

// Whether a write may use these texts: nothing that would make or break a line, a section
// name without ']', a key without '=' that does not start with ';' or '['.
bool IsWritableProfileSection(std::string_view section);
bool IsWritableProfileKey(std::string_view key);
bool IsWritableProfileValue(std::string_view value);

// Sets the key in the first section of that name (the section is appended when missing, the
// key after the section's last non-blank line when missing).
std::string SetProfileValue(std::string_view bytes, std::string_view section, std::string_view key,
                            std::string_view value);
// Removes the key's lines from the first section of that name.
std::string DeleteProfileKey(std::string_view bytes, std::string_view section, std::string_view key);
// Removes every section of that name with all its lines.
std::string DeleteProfileSection(std::string_view bytes, std::string_view section);

}  // namespace quorlin::platform
