#include "platform/base/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "platform/base/file_replace.h"
#include "platform/base/last_error.h"
#include "platform/base/module_path.h"
#include "platform/base/private_profile_parser.h"

namespace {

using namespace quorlin::platform;

// Serialises the read-modify-write of the writes of this process, so two threads writing
// different keys do not lose one of them.
std::mutex writeMutex;

enum class Load { Loaded, Missing, Failed };

// Reads the whole file, refusing anything that is not a regular file of at most the cap.
Load LoadProfile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    SetLastErrorForPath(error, path);
    return error == ENOENT ? Load::Missing : Load::Failed;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return Load::Failed;
  }
  if (static_cast<uint64_t>(st.st_size) > kMaxProfileFileSize) {
    ::close(fd);
    SetLastError(ERROR_FILE_TOO_LARGE);
    return Load::Failed;
  }
  bytes.resize(static_cast<size_t>(st.st_size) + 1);
  size_t done = 0;
  // The file may grow while it is read: read on to the cap, no further.
  for (;;) {
    if (done == bytes.size()) {
      if (bytes.size() > kMaxProfileFileSize) {
        ::close(fd);
        SetLastError(ERROR_FILE_TOO_LARGE);
        return Load::Failed;
      }
      bytes.resize(std::min(bytes.size() * 2, kMaxProfileFileSize + 1));
    }
    const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetLastErrorFromErrno(errno);
      ::close(fd);
      return Load::Failed;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return Load::Loaded;
}

DWORD CopyText(std::string_view text, LPSTR buffer, DWORD size) {
  if (text.size() < size) {
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<DWORD>(text.size());
  }
  std::memcpy(buffer, text.data(), size - 1);
  buffer[size - 1] = '\0';
  SetLastError(ERROR_MORE_DATA);
  return size - 1;
}

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

DWORD CopyNameList(const std::vector<std::string_view>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (std::string_view name : names) list.append(UpToNul(name)).push_back('\0');
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty() && size >= 2) buffer[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  SetLastError(ERROR_MORE_DATA);
  return size - 2;
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The file's bytes for a read; a file that cannot be read reads as empty.
std::string BytesForReading(LPCSTR fileName) {
  std::string bytes;
  if (fileName && LoadProfile(NativePath(fileName), bytes) != Load::Loaded) bytes.clear();
  return bytes;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned,
                               DWORD size, LPCSTR fileName) {
  if (!returned || size == 0) return 0;
  const std::string bytes = BytesForReading(fileName);
  if (!section) return CopyNameList(ProfileSectionNames(bytes), returned, size);
  const std::string_view sectionName = TrimProfileBlanks(section);
  if (!key) return CopyNameList(ProfileKeyNames(bytes, sectionName), returned, size);
  if (const auto value = FindProfileValue(bytes, sectionName, TrimProfileBlanks(key))) {
    return CopyText(UpToNul(*value), returned, size);
  }
  return CopyText(WithoutTrailingBlanks(defaultValue ? defaultValue : ""), returned, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section) {
    if (!key && !value) return TRUE;  // a request to flush: writes are never held back
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string_view sectionName = TrimProfileBlanks(section);
  const std::string_view keyName = key ? TrimProfileBlanks(key) : std::string_view();
  if (!fileName || !IsWritableProfileSection(sectionName) || (key && !IsWritableProfileKey(keyName)) ||
      (key && value && !IsWritableProfileValue(value))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string path = NativePath(fileName);
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }

  std::lock_guard lock(writeMutex);
  std::string bytes;
  const Load load = LoadProfile(path, bytes);
  if (load == Load::Failed) return FALSE;
  const bool deleting = !key || !value;
  if (load == Load::Missing && deleting) return TRUE;  // nothing to delete

  const std::string updated = !key     ? DeleteProfileSection(bytes, sectionName)
                              : !value ? DeleteProfileKey(bytes, sectionName, keyName)
                                       : SetProfileValue(bytes, sectionName, keyName, value);
  if (load == Load::Loaded && updated == bytes) return TRUE;
  if (updated.size() > kMaxProfileFileSize) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return FALSE;
  }
  return ReplaceFileContents(path, updated) ? TRUE : FALSE;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  if (!section || !key) return static_cast<UINT>(defaultValue);
  const std::string bytes = BytesForReading(fileName);
  const auto found = FindProfileValue(bytes, TrimProfileBlanks(section), TrimProfileBlanks(key));
  if (!found || UpToNul(*found).empty()) return static_cast<UINT>(defaultValue);
  std::string_view text = UpToNul(*found);
  if (text.front() == '-') return 0;
  if (text.front() == '+') text.remove_prefix(1);
  UINT result = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    for (char c : text.substr(2)) {
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) break;
      result = result * 16 + static_cast<UINT>(digit);
    }
  } else {
    for (char c : text) {
      if (c < '0' || c > '9') break;
      result = result * 10 + static_cast<UINT>(c - '0');
    }
  }
  return result;
}
