// The program's file name, the current directory, and how a file name the runtime writes
// becomes a Linux path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/win_types.h"

// Module 0 is the running executable (its real path, as GBK bytes, '/' separators). Another
// module's name comes from the lookup SetModuleFileNameLookup installed; without one, or for an
// unknown module, the call fails with ERROR_MOD_NOT_FOUND. A name that does not fit is cut to
// size - 1 bytes plus NUL, the result is size and the error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// Copies the current directory (GBK) and returns its length; when it does not fit, returns the
// size needed including the terminator and copies nothing.
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR pathName);

namespace quorlin::platform {

// A file name as the runtime writes it (GBK bytes, '\' or '/' separators) as a UTF-8 Linux path
// with '/' separators. A drive prefix such as "C:" has no meaning here and is kept as it is.
std::string NativePath(std::string_view platformPath);

// The real path of the running executable (UTF-8).
std::string ExecutablePath();

// Lets the module registry answer GetModuleFileNameA for its modules (GBK bytes, or nullopt).
using ModuleFileNameLookup = std::optional<std::string> (*)(HMODULE module);
void SetModuleFileNameLookup(ModuleFileNameLookup lookup);

}  // namespace quorlin::platform
