#include "platform/display/desktop/desktop_dialogs.h"

#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <cstdio>

#include "platform/base/code_page.h"
#include "platform/display/desktop/desktop_internal.h"
#include "platform/display/desktop/exchange_formats.h"
#include "platform/user/message_box.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

// While a native dialog's own loop runs, our queue is served from it: messages as they come,
// and a slow tick for timers (their expiry wakes nobody).
class ForeignLoop {
 public:
  ForeignLoop() : display_(DesktopDisplay::Instance()) {
    if (!display_) return;
    display_->EnterForeignLoop();
    QObject::connect(&tick_, &QTimer::timeout, [display = display_] { display->PumpOwnQueue(); });
    tick_.start(50);
  }
  ~ForeignLoop() {
    if (display_) display_->LeaveForeignLoop();
  }
  ForeignLoop(const ForeignLoop&) = delete;
  ForeignLoop& operator=(const ForeignLoop&) = delete;

 private:
  DesktopDisplay* display_;
  QTimer tick_;
};

MessageBoxPresenter g_offThreadPresenter = nullptr;

// Qt's widgets live on its thread; a dialog asked for elsewhere is not shown.
bool OnQtThread() { return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread(); }

// The dialog stays above the window of ours it belongs to.
void PlaceOver(QWidget& dialog, HWND owner) {
  DesktopDisplay* display = DesktopDisplay::Instance();
  SurfaceWindow* parent = display ? display->WindowOf(owner ? GetAncestor(owner, GA_ROOT) : GetForegroundWindow()) : nullptr;
  if (!parent) return;
  dialog.winId();  // makes the native window, so that it can have a transient parent
  if (QWindow* handle = dialog.windowHandle()) handle->setTransientParent(parent);
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

QString FromGbk(LPCSTR text) {
  if (!text) return {};
  const std::u16string wide = GbkToUtf16(text);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

COLORREF ColourRefOf(const QColor& colour) {
  return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()), static_cast<BYTE>(colour.blue()));
}

QColor QColorOf(COLORREF colour) { return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)); }

struct ButtonRow {
  QMessageBox::StandardButton button;
  int id;
};

std::vector<ButtonRow> ButtonsOf(UINT type) {
  using B = QMessageBox;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}};
    case MB_YESNO: return {{B::Yes, IDYES}, {B::No, IDNO}};
    case MB_RETRYCANCEL: return {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}};
    case MB_CANCELTRYCONTINUE: return {{B::Cancel, IDCANCEL}, {B::Retry, IDTRYAGAIN}, {B::Ignore, IDCONTINUE}};
    default: return {{B::Ok, IDOK}};
  }
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

FileDialogAnswer RunFileDialog(const FileDialogRequest& request) {
  FileDialogAnswer answer;
  if (!OnQtThread()) return answer;
  QFileDialog dialog;
  PlaceOver(dialog, request.owner);
  const bool save = request.kind == FileDialogKind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.title.empty()) dialog.setWindowTitle(FromUtf8(request.title));
  QStringList filters;
  for (const auto& filter : request.filters) filters << FromUtf8(NameFilterOf(filter));
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size())) - 1;
    dialog.selectNameFilter(filters[index]);
  }
  if (!request.initialDirectory.empty()) dialog.setDirectory(FromUtf8(request.initialDirectory));
  if (!request.defaultExtension.empty()) dialog.setDefaultSuffix(FromUtf8(request.defaultExtension));
  if (!request.initialName.empty()) dialog.selectFile(FromUtf8(request.initialName));
  int result;
  {
    ForeignLoop loop;
    result = dialog.exec();
  }
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return answer;
  answer.confirmed = true;
  answer.path = dialog.selectedFiles().front().toStdString();
  answer.filterIndex = std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
  return answer;
}

FontDialogAnswer RunFontDialog(const FontDialogRequest& request) {
  FontDialogAnswer answer;
  if (!OnQtThread()) return answer;
  QFont initial;
  if (!request.face.empty()) initial.setFamily(FromUtf8(request.face));
  if (request.pointSize > 0) initial.setPointSize(request.pointSize);
  initial.setWeight(static_cast<QFont::Weight>(std::clamp(request.weight, 100, 900)));
  initial.setItalic(request.italic);
  initial.setUnderline(request.underline);
  initial.setStrikeOut(request.strikeOut);
  QFontDialog dialog(initial);
  PlaceOver(dialog, request.owner);
  int result;
  {
    ForeignLoop loop;
    result = dialog.exec();
  }
  if (result != QDialog::Accepted) return answer;
  const QFont chosen = dialog.selectedFont();
  answer.confirmed = true;
  answer.face = chosen.family().toStdString();
  answer.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : request.pointSize;
  answer.weight = static_cast<int>(chosen.weight());
  answer.italic = chosen.italic();
  answer.underline = chosen.underline();
  answer.strikeOut = chosen.strikeOut();
  answer.colour = request.colour;
  return answer;
}

ColourDialogAnswer RunColourDialog(const ColourDialogRequest& request) {
  ColourDialogAnswer answer;
  answer.custom = request.custom;
  if (!OnQtThread()) return answer;
  for (int i = 0; i < QColorDialog::customCount() && i < static_cast<int>(request.custom.size()); ++i) {
    QColorDialog::setCustomColor(i, QColorOf(request.custom[static_cast<size_t>(i)]));
  }
  QColorDialog dialog(QColorOf(request.initial));
  PlaceOver(dialog, request.owner);
  int result;
  {
    ForeignLoop loop;
    result = dialog.exec();
  }
  for (int i = 0; i < QColorDialog::customCount() && i < static_cast<int>(answer.custom.size()); ++i) {
    answer.custom[static_cast<size_t>(i)] = ColourRefOf(QColorDialog::customColor(i));
  }
  if (result != QDialog::Accepted) return answer;
  answer.confirmed = true;
  answer.colour = ColourRefOf(dialog.selectedColor());
  return answer;
}

int PresentNativeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (!OnQtThread()) {
    if (g_offThreadPresenter) return g_offThreadPresenter(owner, text, caption, type);
    std::fprintf(stderr, "msgbox %s | %s\n", caption ? GbkToUtf8(caption).c_str() : "\xE9\x94\x99\xE8\xAF\xAF",
                 text ? GbkToUtf8(text).c_str() : "");
    return FirstButtonOf(type);
  }
  const std::vector<ButtonRow> rows = ButtonsOf(type);
  QMessageBox box;
  box.setIcon(IconOf(type));
  box.setWindowTitle(caption ? FromGbk(caption) : QString::fromUtf8("错误"));
  box.setText(FromGbk(text));
  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (const ButtonRow& row : rows) buttons.emplace_back(box.addButton(row.button), row.id);
  const size_t defaultIndex = ((type & MB_DEFMASK) >> 8) < rows.size() ? (type & MB_DEFMASK) >> 8 : 0;
  box.setDefaultButton(static_cast<QPushButton*>(buttons[defaultIndex].first));
  // Escape and the close button answer as the platform's do: Cancel where there is one, OK
  // for a box with OK alone.
  for (const auto& [button, id] : buttons) {
    if (id == IDCANCEL || rows.size() == 1) box.setEscapeButton(button);
  }
  PlaceOver(box, owner);
  {
    ForeignLoop loop;
    box.exec();
  }
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, id] : buttons) {
    if (button == clicked) return id;
  }
  return FirstButtonOf(type);
}

void InstallNativeMessageBoxes() {
  const MessageBoxPresenter previous = SetMessageBoxPresenter(&PresentNativeMessageBox);
  if (previous != &PresentNativeMessageBox) g_offThreadPresenter = previous;
}

}  // namespace quorlin::platform
