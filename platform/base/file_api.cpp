#include "platform/base/file_api.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/code_page.h"
#include "platform/base/last_error.h"
#include "platform/base/module_path.h"

namespace {

using quorlin::platform::HandleKind;
using quorlin::platform::NativePath;
using quorlin::platform::SetLastErrorForPath;
using quorlin::platform::SetLastErrorFromErrno;

struct OpenFile : quorlin::platform::HandleObject {
  OpenFile(int fd, bool canRead, bool canWrite) : fd(fd), canRead(canRead), canWrite(canWrite) {}
  ~OpenFile() override { ::close(fd); }
  const int fd;
  const bool canRead;
  const bool canWrite;
};

struct FoundEntry {
  std::string name;  // GBK
  DWORD attributes;
  FILETIME creation, access, write;
  uint64_t size;
};

struct FileSearch : quorlin::platform::HandleObject {
  std::mutex mutex;
  std::vector<FoundEntry> entries;
  size_t next = 0;
};

template <typename T>
T FailWith(DWORD error, T result) {
  SetLastError(error);
  return result;
}

std::shared_ptr<OpenFile> FileOf(HANDLE handle) {
  auto file = quorlin::platform::LookupHandleAs<OpenFile>(handle, HandleKind::File);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

// ---- CloseHandle's registry of closable kinds.

struct CloseRegistry {
  std::mutex mutex;
  std::unordered_map<HandleKind, quorlin::platform::CloseHandleHook> hooks{{HandleKind::File, nullptr}};
};

CloseRegistry& Closers() {
  static CloseRegistry* registry = new CloseRegistry;  // lives to process exit
  return *registry;
}

// ---- Attributes and times.

FILETIME FileTimeOf(const timespec& t) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
  const int64_t ticks = (static_cast<int64_t>(t.tv_sec) + kSecondsFrom1601To1970) * 10000000 + t.tv_nsec / 100;
  const auto value = static_cast<uint64_t>(std::max<int64_t>(ticks, 0));
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

DWORD AttributesOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

// ---- File pointer.

bool Seek(const OpenFile& file, int64_t distance, DWORD method, int64_t& position, bool limitTo32Bits) {
  int64_t base;
  switch (method) {
    case FILE_BEGIN: base = 0; break;
    case FILE_CURRENT: base = ::lseek(file.fd, 0, SEEK_CUR); break;
    case FILE_END: {
      struct stat st;
      base = ::fstat(file.fd, &st) == 0 ? st.st_size : -1;
      break;
    }
    default: return FailWith(ERROR_INVALID_PARAMETER, false);
  }
  if (base < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  int64_t target;
  if (__builtin_add_overflow(base, distance, &target)) return FailWith(ERROR_INVALID_PARAMETER, false);
  if (target < 0) return FailWith(ERROR_NEGATIVE_SEEK, false);
  if (limitTo32Bits && target > static_cast<int64_t>(UINT32_MAX) - 1) return FailWith(ERROR_INVALID_PARAMETER, false);
  if (::lseek(file.fd, target, SEEK_SET) < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  position = target;
  return true;
}

// ---- Transfers.

bool WriteAll(int fd, const char* data, size_t length, size_t& done, const int64_t* offset) {
  done = 0;
  while (done < length) {
    const ssize_t n = offset ? ::pwrite(fd, data + done, length - done, *offset + static_cast<int64_t>(done))
                             : ::write(fd, data + done, length - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      return false;
    }
    if (n == 0) return FailWith(ERROR_DISK_FULL, false);
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadAll(int fd, char* data, size_t length, size_t& done, const int64_t* offset) {
  done = 0;
  while (done < length) {
    const ssize_t n = offset ? ::pread(fd, data + done, length - done, *offset + static_cast<int64_t>(done))
                             : ::read(fd, data + done, length - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(errno);
      return false;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return true;
}

int64_t OverlappedOffset(const OVERLAPPED& overlapped) {
  return static_cast<int64_t>((static_cast<uint64_t>(overlapped.OffsetHigh) << 32) | overlapped.Offset);
}

// ---- Moving across file systems.

bool CopyRegularFile(const std::string& from, const std::string& to, bool replace) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    SetLastErrorForPath(errno, from);
    return false;
  }
  struct stat st;
  if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(in);
    return FailWith(ERROR_ACCESS_DENIED, false);
  }
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL), st.st_mode & 07777);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    if (error == EEXIST) return FailWith(ERROR_ALREADY_EXISTS, false);
    SetLastErrorForPath(error, to);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  bool ok = true;
  for (;;) {
    size_t got = 0, put = 0;
    if (!ReadAll(in, buffer.data(), buffer.size(), got, nullptr)) { ok = false; break; }
    if (got == 0) break;
    if (!WriteAll(out, buffer.data(), got, put, nullptr)) { ok = false; break; }
  }
  if (ok && ::fsync(out) != 0) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  ::close(in);
  if (::close(out) != 0 && ok) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (!ok) ::unlink(to.c_str());
  return ok;
}

void SyncDirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// ---- File searches.

bool IsGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// A GBK text as characters: single bytes folded to lower case, double bytes as lead << 8 | trail.
std::vector<uint16_t> CharactersOf(std::string_view gbk) {
  std::vector<uint16_t> characters;
  characters.reserve(gbk.size());
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (IsGbkLead(b) && i + 1 < gbk.size()) {
      characters.push_back(static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(gbk[++i])));
    } else {
      characters.push_back(static_cast<uint16_t>(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b));
    }
  }
  return characters;
}

bool WildcardMatch(const std::vector<uint16_t>& pattern, const std::vector<uint16_t>& name) {
  size_t p = 0, n = 0;
  size_t starAt = SIZE_MAX, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starName = n;
    } else if (starAt != SIZE_MAX) {
      p = starAt + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool NameMatches(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (WildcardMatch(CharactersOf(pattern), CharactersOf(name))) return true;
  // As on the platform, "name.*" also finds "name".
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" && name.find('.') == std::string_view::npos) {
    return WildcardMatch(CharactersOf(pattern.substr(0, pattern.size() - 2)), CharactersOf(name));
  }
  return false;
}

// Where the name part of a GBK path starts (after the last '\' or '/' that is not a trail byte).
size_t NamePartStart(std::string_view gbk) {
  size_t start = 0;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (IsGbkLead(b) && i + 1 < gbk.size()) {
      ++i;
    } else if (b == '\\' || b == '/') {
      start = i + 1;
    }
  }
  return start;
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAA& data) {
  std::memset(&data, 0, sizeof data);
  data.dwFileAttributes = entry.attributes;
  data.ftCreationTime = entry.creation;
  data.ftLastAccessTime = entry.access;
  data.ftLastWriteTime = entry.write;
  data.nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(entry.size);
  std::memcpy(data.cFileName, entry.name.data(), entry.name.size());
}

bool NameLess(const FoundEntry& a, const FoundEntry& b) {
  const std::vector<uint16_t> x = CharactersOf(a.name), y = CharactersOf(b.name);
  if (x != y) return x < y;
  return a.name < b.name;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  if (!fileName) return FailWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const std::string path = NativePath(fileName);
  if (path.empty()) return FailWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);

  const bool canRead = desiredAccess & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA);
  const bool writeData = desiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA);
  const bool canWrite = writeData || (desiredAccess & FILE_APPEND_DATA);
  int flags = O_CLOEXEC | O_NONBLOCK | (canRead && canWrite ? O_RDWR : canWrite ? O_WRONLY : O_RDONLY);
  if (canWrite && !writeData) flags |= O_APPEND;
  const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;

  bool existed = false;
  int fd = -1;
  switch (creationDisposition) {
    case CREATE_NEW:
      fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
      if (fd < 0 && errno == EEXIST) return FailWith(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      // Try to create first, so that whether the file was there is known without a race.
      for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST) break;
        fd = ::open(path.c_str(), flags | (creationDisposition == CREATE_ALWAYS ? O_TRUNC : 0));
        existed = fd >= 0;
        if (fd < 0 && errno != ENOENT) break;
      }
      break;
    case OPEN_EXISTING: fd = ::open(path.c_str(), flags); break;
    case TRUNCATE_EXISTING:
      if (!writeData) return FailWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
      fd = ::open(path.c_str(), flags | O_TRUNC);
      break;
    default: return FailWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  if (fd < 0) {
    SetLastErrorForPath(errno, path);
    return INVALID_HANDLE_VALUE;
  }
  // Opened without blocking (a FIFO would otherwise wait for a writer); transfers block as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat st;
  if (::fstat(fd, &st) != 0 || (S_ISDIR(st.st_mode) && !(flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS))) {
    ::close(fd);
    return FailWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  }
  const HANDLE handle = quorlin::platform::RegisterHandle(HandleKind::File, std::make_shared<OpenFile>(fd, canRead, canWrite));
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  if (bytesRead) *bytesRead = 0;
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->canRead) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  if (!buffer && bytesToRead > 0) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  const int64_t offset = overlapped ? OverlappedOffset(*overlapped) : 0;
  size_t done = 0;
  const bool ok = ReadAll(file->fd, static_cast<char*>(buffer), bytesToRead, done, overlapped ? &offset : nullptr);
  if (bytesRead) *bytesRead = static_cast<DWORD>(done);
  if (overlapped) {
    overlapped->Internal = 0;
    overlapped->InternalHigh = done;
    ::lseek(file->fd, offset + static_cast<int64_t>(done), SEEK_SET);
    if (ok && done == 0 && bytesToRead > 0) return FailWith(ERROR_HANDLE_EOF, FALSE);
  }
  return ok ? TRUE : FALSE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
  if (bytesWritten) *bytesWritten = 0;
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->canWrite) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  if (!buffer && bytesToWrite > 0) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  const int64_t offset = overlapped ? OverlappedOffset(*overlapped) : 0;
  size_t done = 0;
  const bool ok = WriteAll(file->fd, static_cast<const char*>(buffer), bytesToWrite, done, overlapped ? &offset : nullptr);
  if (bytesWritten) *bytesWritten = static_cast<DWORD>(done);
  if (overlapped) {
    overlapped->Internal = 0;
    overlapped->InternalHigh = done;
    ::lseek(file->fd, offset + static_cast<int64_t>(done), SEEK_SET);
  }
  return ok ? TRUE : FALSE;
}

BOOL GetFileSizeEx(HANDLE handle, PLARGE_INTEGER fileSize) {
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!fileSize) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  struct stat st;
  if (::fstat(file->fd, &st) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  fileSize->QuadPart = st.st_size;
  return TRUE;
}

DWORD GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle, &size)) return INVALID_FILE_SIZE;
  const auto value = static_cast<uint64_t>(size.QuadPart);
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(value >> 32);
  const auto low = static_cast<DWORD>(value);
  if (low == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return low;
}

DWORD SetFilePointer(HANDLE handle, LONG distanceToMove, LONG* distanceToMoveHigh, DWORD moveMethod) {
  const auto file = FileOf(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  const int64_t distance = distanceToMoveHigh
      ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceToMoveHigh)) << 32) |
                             static_cast<uint32_t>(distanceToMove))
      : distanceToMove;
  int64_t position = 0;
  if (!Seek(*file, distance, moveMethod, position, distanceToMoveHigh == nullptr)) return INVALID_SET_FILE_POINTER;
  if (distanceToMoveHigh) *distanceToMoveHigh = static_cast<LONG>(position >> 32);
  const auto low = static_cast<DWORD>(position);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return low;
}

BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER distanceToMove, PLARGE_INTEGER newFilePointer, DWORD moveMethod) {
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  int64_t position = 0;
  if (!Seek(*file, distanceToMove.QuadPart, moveMethod, position, false)) return FALSE;
  if (newFilePointer) newFilePointer->QuadPart = position;
  return TRUE;
}

BOOL SetEndOfFile(HANDLE handle) {
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->canWrite) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  const off_t position = ::lseek(file->fd, 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(file->fd, position) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  const auto file = FileOf(handle);
  if (!file) return FALSE;
  if (!file->canWrite) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  if (::fsync(file->fd) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  const auto kind = quorlin::platform::HandleKindOf(object);
  if (!kind) return FailWith(ERROR_INVALID_HANDLE, FALSE);
  quorlin::platform::CloseHandleHook hook;
  {
    CloseRegistry& registry = Closers();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.hooks.find(*kind);
    if (it == registry.hooks.end()) return FailWith(ERROR_INVALID_HANDLE, FALSE);
    hook = it->second;
  }
  if (hook && !hook(object)) return FALSE;
  if (!quorlin::platform::ReleaseHandle(object, *kind)) return FailWith(ERROR_INVALID_HANDLE, FALSE);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (!fileName) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  const std::string path = NativePath(fileName);
  if (path.empty()) return FailWith(ERROR_PATH_NOT_FOUND, FALSE);
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  if (::unlink(path.c_str()) != 0) {
    SetLastErrorForPath(errno, path);
    return FALSE;
  }
  return TRUE;
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) return FailWith(ERROR_NOT_SUPPORTED, FALSE);
  if (!existingFileName || !newFileName) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  const std::string from = NativePath(existingFileName);
  const std::string to = NativePath(newFileName);
  if (from.empty() || to.empty()) return FailWith(ERROR_PATH_NOT_FOUND, FALSE);
  struct stat source;
  if (::lstat(from.c_str(), &source) != 0) {
    SetLastErrorForPath(errno, from);
    return FALSE;
  }
  const bool replace = flags & MOVEFILE_REPLACE_EXISTING;
  struct stat target;
  const bool targetExists = ::lstat(to.c_str(), &target) == 0;
  const bool sameFile = targetExists && source.st_dev == target.st_dev && source.st_ino == target.st_ino;
  if (targetExists && !sameFile) {
    if (!replace) return FailWith(ERROR_ALREADY_EXISTS, FALSE);
    if (S_ISDIR(target.st_mode)) return FailWith(ERROR_ACCESS_DENIED, FALSE);
  }

  int result = replace ? ::rename(from.c_str(), to.c_str())
                       : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (result != 0 && !replace && (errno == EINVAL || errno == ENOSYS)) {
    // The file system cannot refuse replacing by itself; the check above has to do.
    result = ::rename(from.c_str(), to.c_str());
  }
  if (result != 0) {
    const int error = errno;
    if (error == EEXIST) return FailWith(ERROR_ALREADY_EXISTS, FALSE);
    if (error != EXDEV) {
      SetLastErrorForPath(error, to);
      return FALSE;
    }
    if (!(flags & MOVEFILE_COPY_ALLOWED)) return FailWith(ERROR_NOT_SAME_DEVICE, FALSE);
    if (!S_ISREG(source.st_mode)) return FailWith(ERROR_ACCESS_DENIED, FALSE);
    if (!CopyRegularFile(from, to, replace)) return FALSE;
    if (::unlink(from.c_str()) != 0) {
      SetLastErrorForPath(errno, from);
      return FALSE;
    }
  }
  if (flags & MOVEFILE_WRITE_THROUGH) SyncDirectoryOf(to);
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (!fileName) return FailWith(ERROR_INVALID_PARAMETER, INVALID_FILE_ATTRIBUTES);
  const std::string path = NativePath(fileName);
  if (path.empty()) return FailWith(ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, path);
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(st);
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes) {
  if (!pathName) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  const std::string path = NativePath(pathName);
  if (path.empty()) return FailWith(ERROR_PATH_NOT_FOUND, FALSE);
  if (::mkdir(path.c_str(), 0777) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return FailWith(ERROR_PATH_NOT_FOUND, FALSE);
    SetLastErrorFromErrno(error);
    return FALSE;
  }
  return TRUE;
}

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData) {
  if (!fileName || !findFileData) return FailWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const std::string_view request(fileName);
  const size_t nameStart = NamePartStart(request);
  const std::string_view pattern = request.substr(nameStart);
  if (pattern.empty()) return FailWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  std::string directory = nameStart == 0 ? std::string(".") : NativePath(request.substr(0, nameStart));

  DIR* dir = ::opendir(directory.c_str());
  if (!dir) {
    const int error = errno;
    return FailWith(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : quorlin::platform::ErrorFromErrno(error),
                    INVALID_HANDLE_VALUE);
  }
  auto search = std::make_shared<FileSearch>();
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = quorlin::platform::Utf8ToGbk(entry->d_name);
    if (name.size() >= MAX_PATH || !NameMatches(pattern, name)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0 &&
        ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      continue;  // gone since it was listed
    }
    search->entries.push_back(FoundEntry{std::move(name), AttributesOf(st), FileTimeOf(st.st_mtim),
                                         FileTimeOf(st.st_atim), FileTimeOf(st.st_mtim),
                                         S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size)});
  }
  ::closedir(dir);
  if (search->entries.empty()) return FailWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  std::sort(search->entries.begin(), search->entries.end(), NameLess);
  Fill(search->entries[0], *findFileData);
  search->next = 1;
  SetLastError(ERROR_SUCCESS);
  return quorlin::platform::RegisterHandle(HandleKind::FindFile, std::move(search));
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData) {
  const auto search = quorlin::platform::LookupHandleAs<FileSearch>(findFile, HandleKind::FindFile);
  if (!search) return FailWith(ERROR_INVALID_HANDLE, FALSE);
  if (!findFileData) return FailWith(ERROR_INVALID_PARAMETER, FALSE);
  std::lock_guard lock(search->mutex);
  if (search->next >= search->entries.size()) return FailWith(ERROR_NO_MORE_FILES, FALSE);
  Fill(search->entries[search->next++], *findFileData);
  return TRUE;
}

BOOL FindClose(HANDLE findFile) {
  if (!quorlin::platform::ReleaseHandle(findFile, HandleKind::FindFile)) return FailWith(ERROR_INVALID_HANDLE, FALSE);
  return TRUE;
}

namespace quorlin::platform {

void RegisterCloseHandleKind(HandleKind kind, CloseHandleHook hook) {
  CloseRegistry& registry = Closers();
  std::lock_guard lock(registry.mutex);
  registry.hooks[kind] = hook;
}

}  // namespace quorlin::platform
