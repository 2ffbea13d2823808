#include "platform/shell/common_dialogs.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/base/code_page.h"
#include "platform/base/file_api.h"
#include "platform/base/thread_services.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/shell_backend.h"
#include "platform/user/modal_loop.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

thread_local DWORD t_dialogError = 0;

// A filter longer than this is taken as unterminated.
constexpr size_t kMaxFilterBytes = 64 * 1024;
constexpr int kScreenDpi = 96;

std::mutex& ObserverLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

DialogObserver& Observer() {
  static auto* observer = new DialogObserver;
  return *observer;
}

void Report(const ShownDialog& shown) {
  DialogObserver observer;
  {
    std::lock_guard lock(ObserverLock());
    observer = Observer();
  }
  if (observer) observer(shown);
}

BOOL Fail(DWORD error) {
  t_dialogError = error;
  return FALSE;
}

// Shows a dialog through the backend and runs the modal loop until it is answered. Nothing
// when a quit message ended the loop first (the dialog then counts as cancelled).
template <typename Answer, typename Show>
std::optional<Answer> RunDialog(HWND owner, Show show) {
  struct Shared {
    std::mutex lock;
    std::optional<Answer> answer;
  };
  auto shared = std::make_shared<Shared>();
  const DWORD thread = GetCurrentThreadId();
  auto finish = [shared, thread](const Answer& answer) {
    {
      std::lock_guard lock(shared->lock);
      if (!shared->answer) shared->answer = answer;
    }
    // On the window thread the loop looks at the answer after every message it handles.
    if (GetCurrentThreadId() != thread) WakeModalLoop(thread);
  };
  RunModalLoop(
      owner,
      [&] {
        std::lock_guard lock(shared->lock);
        return shared->answer.has_value();
      },
      ModalScope::Owner, [&] { show(finish); });
  std::lock_guard lock(shared->lock);
  return shared->answer;
}

// A text of at most `limit` bytes (a buffer the caller sized) up to its NUL.
std::string BoundedText(const char* text, size_t limit) {
  if (!text) return {};
  const void* end = std::memchr(text, 0, limit);
  return std::string(text, end ? static_cast<const char*>(end) - text : limit);
}

std::vector<std::pair<std::string, std::string>> ParseFilter(const char* filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!filter) return pairs;
  size_t at = 0;
  auto next = [&](std::string& out) {
    const void* end = std::memchr(filter + at, 0, kMaxFilterBytes - std::min(at, kMaxFilterBytes));
    if (!end) return false;
    const size_t n = static_cast<size_t>(static_cast<const char*>(end) - (filter + at));
    out.assign(filter + at, n);
    at += n + 1;
    return true;
  };
  for (;;) {
    std::string description, pattern;
    if (!next(description) || description.empty() || !next(pattern)) break;
    pairs.emplace_back(GbkToUtf8(description), GbkToUtf8(pattern));
  }
  return pairs;
}

size_t NameStart(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where the extension starts (after the dot), 0 without one.
size_t ExtensionStart(const std::string& path) {
  const size_t name = NameStart(path);
  const size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < name ? 0 : dot + 1;
}

BOOL RunFileDialog(LPOPENFILENAMEA ofn, FileDialogKind kind) {
  t_dialogError = 0;
  if (!ofn || ofn->lStructSize < offsetof(OPENFILENAMEA, pvReserved)) return Fail(CDERR_STRUCTSIZE);
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) return Fail(CDERR_INITIALIZATION);

  FileDialogRequest request;
  request.kind = kind;
  request.owner = ofn->hwndOwner;
  request.title = GbkToUtf8(BoundedText(ofn->lpstrTitle, MAX_PATH));
  request.filters = ParseFilter(ofn->lpstrFilter);
  const int filters = static_cast<int>(request.filters.size());
  request.filterIndex = std::clamp(static_cast<int>(ofn->nFilterIndex), 1, std::max(1, filters));
  request.initialName = GbkToUtf8(BoundedText(ofn->lpstrFile, ofn->nMaxFile));
  request.initialDirectory = GbkToUtf8(BoundedText(ofn->lpstrInitialDir, 4 * MAX_PATH));
  const std::string defaultExtension = BoundedText(ofn->lpstrDefExt, MAX_PATH);
  request.defaultExtension = GbkToUtf8(defaultExtension);
  request.mustExist = (ofn->Flags & OFN_FILEMUSTEXIST) != 0;
  request.confirmOverwrite = (ofn->Flags & OFN_OVERWRITEPROMPT) != 0;

  ShownDialog shown{kind == FileDialogKind::Open ? DialogKind::Open : DialogKind::Save, {}, request.initialName};
  for (const auto& [description, pattern] : request.filters) {
    if (!shown.filter.empty()) shown.filter += '|';
    shown.filter += description + '|' + pattern;
  }
  Report(shown);

  const auto answer = RunDialog<FileDialogAnswer>(
      request.owner, [&](ShellBackend::FileDialogDone done) { CurrentShellBackend().ShowFileDialog(request, done); });
  if (!answer || !answer->confirmed || answer->path.empty()) return FALSE;

  std::string path = Utf8ToGbk(answer->path);
  if (ExtensionStart(path) == 0 && !defaultExtension.empty()) path += "." + defaultExtension;
  // A real dialog does not let a missing file be confirmed.
  if (request.mustExist && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return FALSE;
  if (path.size() + 1 > ofn->nMaxFile) {
    if (ofn->nMaxFile >= 2) {
      const WORD needed = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
      std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
    }
    return Fail(FNERR_BUFFERTOOSMALL);
  }
  std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
  const size_t name = NameStart(path);
  const size_t extension = ExtensionStart(path);
  ofn->nFileOffset = static_cast<WORD>(std::min<size_t>(name, 0xFFFF));
  ofn->nFileExtension = static_cast<WORD>(std::min<size_t>(extension, 0xFFFF));
  ofn->nFilterIndex = static_cast<DWORD>(std::clamp(answer->filterIndex, 1, std::max(1, filters)));
  ofn->Flags &= ~(OFN_READONLY | OFN_EXTENSIONDIFFERENT);
  if (!defaultExtension.empty() && (extension == 0 || !EqualNamesNoCase(path.substr(extension), defaultExtension))) {
    ofn->Flags |= OFN_EXTENSIONDIFFERENT;
  }
  if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
    const std::string title = path.substr(name);
    const size_t n = CharacterBoundaryPrefix(title, ofn->nMaxFileTitle - 1);
    std::memcpy(ofn->lpstrFileTitle, title.data(), n);
    ofn->lpstrFileTitle[n] = '\0';
  }
  return TRUE;
}

std::string HexColour(COLORREF colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

}  // namespace

const char* DialogKindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::Open: return "open";
    case DialogKind::Save: return "save";
    case DialogKind::Font: return "font";
    case DialogKind::Colour: return "colour";
  }
  return "";
}

void SetDialogObserver(DialogObserver observer) {
  std::lock_guard lock(ObserverLock());
  Observer() = std::move(observer);
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn) { return RunFileDialog(ofn, FileDialogKind::Open); }

BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn) { return RunFileDialog(ofn, FileDialogKind::Save); }

BOOL ChooseFontA(LPCHOOSEFONTA cf) {
  t_dialogError = 0;
  if (!cf || cf->lStructSize != sizeof(CHOOSEFONTA)) return Fail(CDERR_STRUCTSIZE);
  if (!cf->lpLogFont) return Fail(CDERR_INITIALIZATION);
  LOGFONTA& font = *cf->lpLogFont;
  FontDialogRequest request;
  request.owner = cf->hwndOwner;
  request.effects = (cf->Flags & CF_EFFECTS) != 0;
  if (request.effects) request.colour = cf->rgbColors;
  if (cf->Flags & CF_INITTOLOGFONTSTRUCT) {
    request.face = GbkToUtf8(BoundedText(font.lfFaceName, LF_FACESIZE));
    if (font.lfHeight != 0) request.pointSize = MulDiv(std::abs(font.lfHeight), 72, kScreenDpi);
    request.weight = font.lfWeight == 0 ? 400 : static_cast<int>(font.lfWeight);
    request.italic = font.lfItalic != 0;
    request.underline = font.lfUnderline != 0;
    request.strikeOut = font.lfStrikeOut != 0;
  }
  Report(ShownDialog{DialogKind::Font, {}, request.face});

  const auto answer = RunDialog<FontDialogAnswer>(
      request.owner, [&](ShellBackend::FontDialogDone done) { CurrentShellBackend().ShowFontDialog(request, done); });
  if (!answer || !answer->confirmed) return FALSE;

  const std::string face = Utf8ToGbk(answer->face);
  const size_t n = CharacterBoundaryPrefix(face, LF_FACESIZE - 1);
  std::memcpy(font.lfFaceName, face.data(), n);
  font.lfFaceName[n] = '\0';
  if (answer->pointSize > 0) {
    font.lfHeight = -MulDiv(answer->pointSize, kScreenDpi, 72);
    cf->iPointSize = answer->pointSize * 10;
  }
  font.lfWeight = answer->weight;
  font.lfItalic = answer->italic ? 1 : 0;
  if (request.effects) {
    font.lfUnderline = answer->underline ? 1 : 0;
    font.lfStrikeOut = answer->strikeOut ? 1 : 0;
    cf->rgbColors = answer->colour;
  }
  constexpr WORD kBold = 0x0100, kItalic = 0x0200, kRegular = 0x0400;
  cf->nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (answer->weight >= 700 ? kBold : kRegular) |
                                    (answer->italic ? kItalic : 0));
  return TRUE;
}

BOOL ChooseColorA(LPCHOOSECOLORA cc) {
  t_dialogError = 0;
  if (!cc || cc->lStructSize != sizeof(CHOOSECOLORA)) return Fail(CDERR_STRUCTSIZE);
  if (!cc->lpCustColors) return Fail(CDERR_INITIALIZATION);
  ColourDialogRequest request;
  request.owner = cc->hwndOwner;
  request.initial = (cc->Flags & CC_RGBINIT) ? cc->rgbResult & 0x00FFFFFF : 0;
  std::copy_n(cc->lpCustColors, request.custom.size(), request.custom.begin());
  request.fullOpen = (cc->Flags & CC_FULLOPEN) != 0;
  Report(ShownDialog{DialogKind::Colour, {}, HexColour(request.initial)});

  const auto answer = RunDialog<ColourDialogAnswer>(
      request.owner,
      [&](ShellBackend::ColourDialogDone done) { CurrentShellBackend().ShowColourDialog(request, done); });
  if (!answer || !answer->confirmed) return FALSE;
  cc->rgbResult = answer->colour & 0x00FFFFFF;
  std::copy(answer->custom.begin(), answer->custom.end(), cc->lpCustColors);
  return TRUE;
}

DWORD CommDlgExtendedError() { return t_dialogError; }
