// The shell services a display backend supplies: clipboard exchange with other programs, drags
// from other programs, and the common dialogs.
//
// The clipboard, drop targets and dialog structures of the window layer (clipboard.h,
// drag_drop.h, common_dialogs.h) are ours and work the same on every display; the backend is
// only asked for what crosses to the outside. The headless backend (headless_shell.h) is the
// default: it exchanges with nobody and answers dialogs from a script. A desktop backend
// installs its own with SetShellBackend when it starts.
//
// Texts crossing this interface are UTF-8 (paths, clipboard text, dialog texts), so a backend
// never sees the system code page.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// Data crossing to or from another program: on the clipboard or in a drag.
struct ExchangeData {
  std::optional<std::string> text;          // plain text, UTF-8, no terminator
  std::optional<std::vector<BYTE>> dib;     // a packed DIB (CF_DIB bytes: header, colours, rows)
  std::vector<std::string> files;           // absolute paths, UTF-8
  // Registered formats by name ("HTML Format", "UniformResourceLocator" …) and their bytes.
  std::vector<std::pair<std::string, std::vector<BYTE>>> custom;

  bool Empty() const { return !text && !dib && files.empty() && custom.empty(); }
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::Open;
  HWND owner = 0;
  std::string title;                                         // empty: the backend's default
  std::vector<std::pair<std::string, std::string>> filters;  // (description, "*.jpg;*.png")
  int filterIndex = 1;                                       // 1-based into filters
  std::string initialName;                                   // may hold a directory part
  std::string initialDirectory;
  std::string defaultExtension;                              // without the dot; may be empty
  bool mustExist = false;                                    // OFN_FILEMUSTEXIST
  bool confirmOverwrite = false;                             // OFN_OVERWRITEPROMPT
};

struct FileDialogAnswer {
  bool confirmed = false;
  std::string path;     // the chosen file, absolute or as typed
  int filterIndex = 1;  // the filter in force when the user confirmed
};

struct FontDialogRequest {
  HWND owner = 0;
  std::string face;        // empty: the backend's default
  int pointSize = 0;       // 0: unspecified
  int weight = 400;        // 100..900
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  bool effects = false;    // CF_EFFECTS: offer underline, strike-out and colour
  COLORREF colour = 0;
};

struct FontDialogAnswer {
  bool confirmed = false;
  std::string face;
  int pointSize = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  COLORREF colour = 0;
};

struct ColourDialogRequest {
  HWND owner = 0;
  COLORREF initial = 0;
  std::array<COLORREF, 16> custom{};
  bool fullOpen = false;  // CC_FULLOPEN
};

struct ColourDialogAnswer {
  bool confirmed = false;
  COLORREF colour = 0;
  std::array<COLORREF, 16> custom{};  // as the user left them
};

class ShellBackend {
 public:
  virtual ~ShellBackend() = default;
  virtual const char* Name() const = 0;

  // Clipboard. Called on CloseClipboard after our clipboard changed: offer this to other
  // programs (an empty value means we emptied it).
  virtual void PublishClipboard(const ExchangeData& content) = 0;
  // Called on OpenClipboard: what another program has put on the clipboard since our last
  // PublishClipboard, or nothing when ours is still the current content.
  virtual std::optional<ExchangeData> TakeForeignClipboard() = 0;

  // Dialogs. The window layer runs its modal loop (owner disabled, other windows painting,
  // timers running) until `finish` is called, exactly once, with the user's answer. `finish`
  // may be called before Show… returns, or later from any thread.
  using FileDialogDone = std::function<void(const FileDialogAnswer&)>;
  using FontDialogDone = std::function<void(const FontDialogAnswer&)>;
  using ColourDialogDone = std::function<void(const ColourDialogAnswer&)>;
  virtual void ShowFileDialog(const FileDialogRequest& request, FileDialogDone finish) = 0;
  virtual void ShowFontDialog(const FontDialogRequest& request, FontDialogDone finish) = 0;
  virtual void ShowColourDialog(const ColourDialogRequest& request, ColourDialogDone finish) = 0;
};

// The backend in use: the headless one unless a display installed its own.
ShellBackend& CurrentShellBackend();
// Installs a backend (kept by the caller; it must outlive its use). Null restores the
// headless one. Returns the previous backend.
ShellBackend* SetShellBackend(ShellBackend* backend);

// Drags from other programs, for the backend to call on the window thread. One drag at a time:
// DragEnter starts it, any number of DragOver follow as the pointer moves, and DragLeave or
// DragDrop end it. Each goes to the drop target registered for the window under the screen
// point (the nearest registered ancestor); a move between windows leaves one and enters the
// other. keyState holds MK_* bits, allowed and the result DROPEFFECT_* bits: the effect the
// target chose, DROPEFFECT_NONE where no target accepts.
DWORD ExternalDragEnter(const ExchangeData& data, POINT screen, DWORD keyState, DWORD allowed);
DWORD ExternalDragOver(POINT screen, DWORD keyState);
void ExternalDragLeave();
DWORD ExternalDragDrop(POINT screen, DWORD keyState);

}  // namespace quorlin::platform
