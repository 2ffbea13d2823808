#include "platform/shell/headless_shell.h"

#include <cctype>

namespace quorlin::platform {
namespace {

std::optional<COLORREF> ParseRrggbb(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (c >= 'a' && c <= 'f')                     ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F')                     ? c - 'A' + 10
                                                                   : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return RGB(static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value));
}

}  // namespace

std::optional<DialogAnswer> ParseDialogAnswer(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  const size_t space = line.find(' ');
  const std::string_view word = line.substr(0, space);
  const std::string_view value = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
  DialogAnswer answer;
  if (word == "cancel" && value.empty()) {
    answer.action = DialogAnswer::Action::Cancel;
    return answer;
  }
  if (value.empty()) return std::nullopt;
  if (word == "open" || word == "save" || word == "font") {
    answer.action = word == "open"   ? DialogAnswer::Action::Open
                    : word == "save" ? DialogAnswer::Action::Save
                                     : DialogAnswer::Action::Font;
    answer.value = std::string(value);
    return answer;
  }
  if (word == "colour" || word == "color") {
    const auto colour = ParseRrggbb(value);
    if (!colour) return std::nullopt;
    answer.action = DialogAnswer::Action::Colour;
    answer.colour = *colour;
    return answer;
  }
  return std::nullopt;
}

void HeadlessShell::PublishClipboard(const ExchangeData& content) {
  std::lock_guard lock(lock_);
  published_ = content;
}

std::optional<ExchangeData> HeadlessShell::TakeForeignClipboard() {
  std::lock_guard lock(lock_);
  return std::exchange(foreign_, std::nullopt);
}

void HeadlessShell::SetForeignClipboard(ExchangeData content) {
  std::lock_guard lock(lock_);
  foreign_ = std::move(content);
}

ExchangeData HeadlessShell::PublishedClipboard() const {
  std::lock_guard lock(lock_);
  return published_;
}

void HeadlessShell::QueueDialogAnswer(DialogAnswer answer) {
  std::lock_guard lock(lock_);
  answers_.push_back(std::move(answer));
}

void HeadlessShell::ClearDialogAnswers() {
  std::lock_guard lock(lock_);
  answers_.clear();
}

size_t HeadlessShell::PendingDialogAnswers() const {
  std::lock_guard lock(lock_);
  return answers_.size();
}

std::optional<DialogAnswer> HeadlessShell::NextAnswer() {
  std::lock_guard lock(lock_);
  if (answers_.empty()) return std::nullopt;
  DialogAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void HeadlessShell::ShowFileDialog(const FileDialogRequest& request, FileDialogDone finish) {
  FileDialogAnswer result;
  result.filterIndex = request.filterIndex;
  const auto wanted = request.kind == FileDialogKind::Open ? DialogAnswer::Action::Open : DialogAnswer::Action::Save;
  if (auto answer = NextAnswer(); answer && answer->action == wanted) {
    result.confirmed = true;
    result.path = answer->value;
  }
  finish(result);
}

void HeadlessShell::ShowFontDialog(const FontDialogRequest& request, FontDialogDone finish) {
  FontDialogAnswer result;
  result.face = request.face;
  result.pointSize = request.pointSize;
  result.weight = request.weight;
  result.italic = request.italic;
  result.underline = request.underline;
  result.strikeOut = request.strikeOut;
  result.colour = request.colour;
  if (auto answer = NextAnswer(); answer && answer->action == DialogAnswer::Action::Font) {
    result.confirmed = true;
    result.face = answer->value;
  }
  finish(result);
}

void HeadlessShell::ShowColourDialog(const ColourDialogRequest& request, ColourDialogDone finish) {
  ColourDialogAnswer result;
  result.colour = request.initial;
  result.custom = request.custom;
  if (auto answer = NextAnswer(); answer && answer->action == DialogAnswer::Action::Colour) {
    result.confirmed = true;
    result.colour = answer->colour;
  }
  finish(result);
}

DWORD HeadlessShell::Drop(const ExchangeData& data, POINT screen, DWORD keyState, DWORD allowed) {
  ExternalDragEnter(data, screen, keyState, allowed);
  ExternalDragOver(screen, keyState);
  return ExternalDragDrop(screen, keyState);
}

DWORD HeadlessShell::DropFiles(std::vector<std::string> pathsUtf8, POINT screen, DWORD keyState) {
  ExchangeData data;
  data.files = std::move(pathsUtf8);
  return Drop(data, screen, keyState);
}

DWORD HeadlessShell::DropText(std::string textUtf8, POINT screen, DWORD keyState) {
  ExchangeData data;
  data.text = std::move(textUtf8);
  return Drop(data, screen, keyState);
}

HeadlessShell& TheHeadlessShell() {
  static auto* shell = new HeadlessShell;
  return *shell;
}

}  // namespace quorlin::platform
