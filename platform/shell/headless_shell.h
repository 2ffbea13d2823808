// The headless shell backend: no other programs, dialogs answered from a script, drags
// injected by code.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell/drag_drop.h"
#include "platform/shell/shell_backend.h"

namespace quorlin::platform {

// One scripted dialog answer. A dialog takes the next answer in the queue; an answer of
// another kind than the dialog (open for a save dialog …) cancels it, and so does an empty queue.
struct DialogAnswer {
  enum class Action { Open, Save, Font, Colour, Cancel };
  Action action = Action::Cancel;
  std::string value;    // the path or face, UTF-8
  COLORREF colour = 0;  // for Colour
};

// "open PATH", "save PATH", "font FACE", "colour RRGGBB" (also "color"), "cancel"; the value
// is the rest of the line after one space. Nothing for anything else.
std::optional<DialogAnswer> ParseDialogAnswer(std::string_view line);

class HeadlessShell final : public ShellBackend {
 public:
  const char* Name() const override { return "headless"; }
  void PublishClipboard(const ExchangeData& content) override;
  std::optional<ExchangeData> TakeForeignClipboard() override;
  void ShowFileDialog(const FileDialogRequest& request, FileDialogDone finish) override;
  void ShowFontDialog(const FontDialogRequest& request, FontDialogDone finish) override;
  void ShowColourDialog(const ColourDialogRequest& request, ColourDialogDone finish) override;

  void QueueDialogAnswer(DialogAnswer answer);
  void ClearDialogAnswers();
  size_t PendingDialogAnswers() const;

  // As if another program put this on the clipboard: our clipboard takes it on its next open.
  void SetForeignClipboard(ExchangeData content);
  // What our clipboard last offered to other programs.
  ExchangeData PublishedClipboard() const;

  // A whole drag from another program: enter and one over at the screen point, then the drop.
  // The effect the target chose, DROPEFFECT_NONE where nothing accepted it.
  DWORD Drop(const ExchangeData& data, POINT screen, DWORD keyState = 0,
             DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
  DWORD DropFiles(std::vector<std::string> pathsUtf8, POINT screen, DWORD keyState = 0);
  DWORD DropText(std::string textUtf8, POINT screen, DWORD keyState = 0);

 private:
  std::optional<DialogAnswer> NextAnswer();

  mutable std::mutex lock_;
  std::deque<DialogAnswer> answers_;
  std::optional<ExchangeData> foreign_;
  ExchangeData published_;
};

// The process's headless shell (the default backend).
HeadlessShell& TheHeadlessShell();

}  // namespace quorlin::platform
