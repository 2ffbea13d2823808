// The steps and hooks over the shell services: dialog answers, drops, the clipboard, and the
// transcript lines of message boxes and dialogs.
#include "platform/shell/clipboard.h"
#include "platform/shell/common_dialogs.h"
#include "platform/shell/headless_shell.h"
#include "platform/user/message_box.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/scenario/scenario_player.h"
#include "runtime/forms/scenario/screen_shot_file.h"

namespace quorlin::forms {
namespace {

platform::HeadlessShell* CurrentHeadlessShell() {
  platform::HeadlessShell& shell = platform::TheHeadlessShell();
  return &platform::CurrentShellBackend() == &shell ? &shell : nullptr;
}

platform::DialogAnswer::Action ActionOf(AnswerKind kind) {
  using Action = platform::DialogAnswer::Action;
  switch (kind) {
    case AnswerKind::Open: return Action::Open;
    case AnswerKind::Save: return Action::Save;
    case AnswerKind::Font: return Action::Font;
    case AnswerKind::Colour: return Action::Colour;
    case AnswerKind::Cancel: break;
  }
  return Action::Cancel;
}

}  // namespace

void ScenarioPlayer::InstallShellHooks() {
  // Message boxes are answered by the standard presenter with their first button.
  platform::SetMessageBoxObserver([this](const platform::ShownMessageBox& box) {
    transcript_.Line("msgbox " + box.caption + " | " + box.text);
  });
  platform::SetDialogObserver([this](const platform::ShownDialog& dialog) {
    transcript_.Line(std::string("dialog ") + platform::DialogKindName(dialog.kind) + " " + dialog.filter + " | " +
                     dialog.initial);
  });
}

void ScenarioPlayer::RemoveShellHooks() {
  platform::SetMessageBoxObserver(nullptr);
  platform::SetDialogObserver(nullptr);
}

ScenarioPlayer::Flow ScenarioPlayer::Answer(const ScenarioStep& step) {
  platform::HeadlessShell* shell = CurrentHeadlessShell();
  if (!shell) return Fail(step.line, "the shell is not the headless one");
  platform::DialogAnswer answer;
  answer.action = ActionOf(step.answer);
  if (step.answer == AnswerKind::Open || step.answer == AnswerKind::Save) {
    answer.value = ResolvePath(step.text).string();
  } else {
    answer.value = step.text;
  }
  answer.colour = RGB(static_cast<BYTE>(step.colour >> 16), static_cast<BYTE>(step.colour >> 8),
                      static_cast<BYTE>(step.colour));
  shell->QueueDialogAnswer(std::move(answer));
  return Flow::Next;
}

ScenarioPlayer::Flow ScenarioPlayer::Drop(const ScenarioStep& step) {
  platform::HeadlessShell* shell = CurrentHeadlessShell();
  if (!shell) return Fail(step.line, "the shell is not the headless one");
  std::string reason;
  const std::optional<HWND> unitWindow = ShownUnitWindow(step, reason);
  if (!unitWindow) return Fail(step.line, reason);
  std::vector<std::string> paths;
  for (const std::string& path : step.paths) paths.push_back(ResolvePath(path).string());
  RECT rect{};
  GetWindowRect(*unitWindow, &rect);
  shell->DropFiles(std::move(paths), POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  return Flow::Yield;
}

ScenarioPlayer::Flow ScenarioPlayer::Clipboard(const ScenarioStep& step) {
  const std::optional<std::vector<BYTE>> bitmap = platform::ClipboardBitmapAsBmp();
  if (!bitmap) {
    transcript_.Line("clipboard empty");
    return Flow::Next;
  }
  std::string reason;
  if (!WriteBytesFile(ResolvePath(step.text), *bitmap, reason)) return Fail(step.line, reason);
  return Flow::Next;
}

}  // namespace quorlin::forms
