// Registration of the shell's exports: the clipboard in user32, the file-drop list in shell32,
// drag and drop in ole32, the common dialogs in comdlg32 and global memory in kernel32.
#pragma once

namespace quorlin::platform {

// Safe to call more than once and from any thread.
void RegisterShellExports();

}  // namespace quorlin::platform
