#include "platform/base/user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace quorlin::platform {
namespace {

constexpr size_t kMaxUserDirsBytes = 64 * 1024;

std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return {};
  std::string folder = value;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string text(kMaxUserDirsBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text.size() > kMaxUserDirsBytes ? std::string() : text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The double-quoted value of an assignment line, with the shell's backslash escapes inside
// double quotes undone; nullopt unless the line is exactly that, up to trailing blanks.
std::optional<std::string> QuotedValue(std::string_view rest) {
  if (rest.empty() || rest.front() != '"') return std::nullopt;
  std::string value;
  size_t at = 1;
  for (;; ++at) {
    if (at >= rest.size()) return std::nullopt;
    const char c = rest[at];
    if (c == '"') break;
    if (c == '\\' && at + 1 < rest.size() && std::string_view("\"\\$`").find(rest[at + 1]) != std::string_view::npos) {
      value += rest[++at];
    } else {
      value += c;
    }
  }
  for (++at; at < rest.size(); ++at) {
    if (!IsBlank(rest[at]) && rest[at] != '\r') return std::nullopt;
  }
  return value;
}

}  // namespace

std::string UserHomeFolder() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  std::vector<char> buffer(16 * 1024);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/') {
    home = found->pw_dir;
  }
  return home;
}

std::string UserConfigFolder() {
  std::string folder = AbsoluteVariable("XDG_CONFIG_HOME");
  if (!folder.empty()) return folder;
  const std::string home = UserHomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

std::string UserPicturesFolder() {
  const std::string home = UserHomeFolder();
  if (home.empty()) return {};
  // What xdg-user-dir does, without starting a shell: it sources this file and prints the
  // variable.
  const std::string config = UserConfigFolder();
  if (!config.empty()) {
    if (auto folder = PicturesFolderFromUserDirs(ReadSmallFile(config + "/user-dirs.dirs"), home)) return *folder;
  }
  return home + "/Pictures";
}

std::optional<std::string> PicturesFolderFromUserDirs(std::string_view fileText, std::string_view home) {
  constexpr std::string_view kName = "XDG_PICTURES_DIR=";
  std::optional<std::string> found;
  while (!fileText.empty()) {
    const size_t end = fileText.find('\n');
    std::string_view line = fileText.substr(0, end);
    fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.substr(0, kName.size()) != kName) continue;
    std::optional<std::string> value = QuotedValue(line.substr(kName.size()));
    if (!value) continue;
    if (value->rfind("$HOME", 0) == 0 && (value->size() == 5 || (*value)[5] == '/')) {
      value->replace(0, 5, home);
    }
    if (value->empty() || value->front() != '/') continue;
    while (value->size() > 1 && value->back() == '/') value->pop_back();
    found = std::move(value);
  }
  return found;
}

bool FolderIsWritable(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool CreateFolders(const std::string& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

}  // namespace quorlin::platform
