#include "platform/base/module_path.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/base/code_page.h"
#include "platform/base/last_error.h"

namespace {

std::atomic<quorlin::platform::ModuleFileNameLookup> moduleFileNameLookup{nullptr};

std::string ReadExecutableLink() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(length));
    if (buffer.size() >= (size_t{1} << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  std::string name;
  if (module == 0) {
    const std::string path = quorlin::platform::ExecutablePath();
    if (path.empty()) {
      SetLastError(ERROR_GEN_FAILURE);
      return 0;
    }
    name = quorlin::platform::Utf8ToGbk(path);
  } else {
    const auto lookup = moduleFileNameLookup.load();
    std::optional<std::string> found = lookup ? lookup(module) : std::nullopt;
    if (!found) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    name = std::move(*found);
  }
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (name.size() < size) {
    std::memcpy(fileName, name.data(), name.size());
    fileName[name.size()] = '\0';
    return static_cast<DWORD>(name.size());
  }
  std::memcpy(fileName, name.data(), size - 1);
  fileName[size - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  std::vector<char> native(512);
  while (!::getcwd(native.data(), native.size())) {
    if (errno != ERANGE || native.size() >= (size_t{1} << 20)) {
      quorlin::platform::SetLastErrorFromErrno(errno);
      return 0;
    }
    native.resize(native.size() * 2);
  }
  const std::string directory = quorlin::platform::Utf8ToGbk(native.data());
  if (!buffer || bufferLength <= directory.size()) return static_cast<DWORD>(directory.size() + 1);
  std::memcpy(buffer, directory.c_str(), directory.size() + 1);
  return static_cast<DWORD>(directory.size());
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
  if (!pathName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string path = quorlin::platform::NativePath(pathName);
  if (::chdir(path.c_str()) != 0) {
    if (errno == ENOTDIR && ::access(path.c_str(), F_OK) == 0) {
      SetLastError(ERROR_DIRECTORY);
    } else {
      quorlin::platform::SetLastErrorForPath(errno, path);
    }
    return FALSE;
  }
  return TRUE;
}

namespace quorlin::platform {

std::string NativePath(std::string_view platformPath) {
  // Separators are replaced after decoding: 0x5C is also a trail byte of many GBK characters.
  std::string path = GbkToUtf8(platformPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string ExecutablePath() {
  static const std::string path = ReadExecutableLink();
  return path;
}

void SetModuleFileNameLookup(ModuleFileNameLookup lookup) { moduleFileNameLookup.store(lookup); }

}  // namespace quorlin::platform
