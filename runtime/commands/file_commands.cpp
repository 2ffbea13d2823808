#include "runtime/commands/file_commands.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/base/file_api.h"
#include "platform/base/file_replace.h"
#include "platform/base/module_path.h"
#include "runtime/commands/command_arguments.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

using detail::Arguments;

// The largest request handed to one ReadFile call.
constexpr DWORD MaxTransfer = 1u << 30;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (IsOpen()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != 0; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

void GetProgramDirectory(TypedValue* result, int32_t, TypedValue*) {
  detail::SetText(result, NewText(TextView(LibraryHost::ProgramDirectory())));
}

void ReadFileBytes(TypedValue* result, int32_t argCount, TypedValue* args) {
  detail::SetByteSet(result, nullptr);
  const std::string name(Arguments(argCount, args).Text(0));
  if (name.empty()) return;
  FileHandle file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, 0));
  if (!file.IsOpen()) return;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0) return;
  // A byte set's length is a 32-bit count: a larger file cannot be one.
  if (size.QuadPart > std::numeric_limits<int32_t>::max() - static_cast<LONGLONG>(ByteSetHeaderSize)) return;
  const auto expected = static_cast<size_t>(size.QuadPart);

  void* block = NewByteSetUninitialised(expected);
  uint8_t* data = ByteSetData(block);
  size_t got = 0;
  while (got < expected) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(expected - got, MaxTransfer));
    DWORD read = 0;
    if (!ReadFile(file.Get(), data + got, chunk, &read, nullptr)) {
      LibraryHost::Free(block);
      return;
    }
    if (read == 0) break;  // the file became shorter since its size was taken
    got += read;
  }
  if (got == 0) {
    LibraryHost::Free(block);
    return;
  }
  const auto length = static_cast<int32_t>(got);
  std::memcpy(static_cast<uint8_t*>(block) + 4, &length, 4);
  detail::SetByteSet(result, block);
}

void WriteFileBytes(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  const std::string name(a.Text(0));
  detail::SetBoolean(result, false);
  if (name.empty()) return;
  std::vector<std::string_view> pieces;
  for (int32_t i = 1; i < a.Count(); ++i) pieces.push_back(a.Bytes(i));
  // The file is replaced whole or not at all: a full disk never leaves a part of it.
  detail::SetBoolean(result, platform::ReplaceFileContents(platform::NativePath(name), pieces));
}

}  // namespace quorlin::commands
