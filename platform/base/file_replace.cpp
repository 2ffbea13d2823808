#include "platform/base/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <random>

#include "platform/base/last_error.h"

namespace quorlin::platform {
namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write should replace: the target of a symbolic link rather than the link.
std::string WriteTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      std::string target(resolved);
      std::free(resolved);
      return target;
    }
  }
  return path;
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetLastErrorFromErrno(n < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces) {
  const std::string target = WriteTarget(path);
  const std::string directory = DirectoryOf(target);
  const size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  struct stat old;
  const bool hadFile = ::stat(target.c_str(), &old) == 0;
  if (hadFile && !S_ISREG(old.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  if (hadFile && ::access(target.c_str(), W_OK) != 0) {  // a file its owner made read-only stays as it is
    SetLastErrorFromErrno(errno);
    return false;
  }
  static std::atomic<unsigned> counter{0};
  std::random_device entropy;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temporary = directory + "/." + base + "." + std::to_string(::getpid()) + "." +
                std::to_string(counter.fetch_add(1)) + "." + std::to_string(entropy() % 1000000) + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    SetLastErrorForPath(errno, temporary);
    return false;
  }
  bool ok = true;
  for (std::string_view piece : pieces) ok = ok && WriteAllBytes(fd, piece);
  if (ok && hadFile && ::fchmod(fd, old.st_mode & 07777) != 0) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (ok && ::fdatasync(fd) != 0) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    SetLastErrorFromErrno(errno);
    ok = false;
  }
  if (!ok) {
    const int reason = errno;
    ::unlink(temporary.c_str());
    errno = reason;
    return false;
  }
  // The folder is not synced: after a crash the rename may be lost, which leaves the old file,
  // whole; the new contents were synced before the rename, so no name ever shows a part of them.
  return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  return ReplaceFileContents(path, std::span<const std::string_view>(&bytes, 1));
}

}  // namespace quorlin::platform
