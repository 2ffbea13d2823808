// Dropping a file on a window as another program's drag does: the test plays the drag source
// of the X drag-and-drop protocol (XDND, version 5) on a connection of its own.
#pragma once

#include <string>

namespace quorlin::testing {

// Drags the file at `path` (absolute) over the top-level X window `target` to (x, y) on the
// screen and drops it there, serving the file's URI to the target whenever it asks. Whether
// the target accepted the drag there and finished the drop within timeoutMs; `error` says why
// not.
bool DropFileAt(unsigned long target, int x, int y, const std::string& path, int timeoutMs, std::string& error);

}  // namespace quorlin::testing
