// Reading what was dropped out of a data object. Every read is bounded by the size of the
// global block the source handed over; a format that cannot be read gives nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/drag_drop.h"

namespace quorlin::dragdrop {

// True when the data offers the format as global memory.
bool Offers(IDataObject* data, UINT format);

// The format's bytes up to their first NUL (or the end of the block).
std::optional<std::string> ReadTextFormat(IDataObject* data, UINT format);

// The dropped file paths (system code page) as the FilesDropped text; nothing when the list
// cannot be read or names no file.
std::optional<std::string> ReadFileListText(IDataObject* data);

// The paths of a file-drop list; nothing for a malformed or empty list.
std::optional<std::vector<std::string>> PathsOfFileDropList(HDROP drop);

// A single path unchanged; several paths each followed by CR LF.
std::string FileListText(const std::vector<std::string>& paths);

// "HTML Format" bytes, UTF-8, as text in the system code page, every no-break space made a
// plain space. Characters the code page lacks become '?'.
std::string HtmlBytesToSystemText(std::string_view utf8);

}  // namespace quorlin::dragdrop
