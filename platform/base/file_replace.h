// Replacing a file's contents so that a failure (a full disk, a size limit, a lost power) leaves
// the old file, or no file, and never a part of the new one.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorlin::platform {

// Writes `pieces` one after the other to a temporary file in the target's folder, syncs it and
// renames it over `path` (a Linux path): the file is then wholly old or wholly new. The
// temporary file is removed when anything fails. A symbolic link is followed and its target
// replaced; an existing file keeps its permission bits. An existing file its owner may not
// write, or anything but a regular file, is left alone and the call fails. False with the last
// error set, and errno holding the reason, on failure.
bool ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces);
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace quorlin::platform
