// The desktop's shell backend: the clipboard shared with other programs and drops from them.
#include "platform/display/desktop/desktop_shell.h"

#include <QtCore/QBuffer>
#include <QtCore/QMimeData>
#include <QtCore/QThread>
#include <QtCore/QUrl>
#include <QtGui/QClipboard>
#include <QtGui/QDropEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>

#include "platform/base/code_page.h"
#include "platform/display/desktop/desktop_dialogs.h"
#include "platform/display/desktop/desktop_internal.h"
#include "platform/display/desktop/exchange_formats.h"
#include "platform/shell/drag_drop.h"
#include "platform/user/message_box.h"
#include "platform/user/messages.h"

namespace quorlin::platform {
namespace {

constexpr const char* kHtmlFormat = "HTML Format";
constexpr const char* kUrlFormat = "UniformResourceLocator";

bool OnQtThread() { return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread(); }

QByteArray Bytes(const std::vector<BYTE>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::vector<BYTE> Bytes(const QByteArray& bytes) { return std::vector<BYTE>(bytes.begin(), bytes.end()); }

std::string Utf8(const QString& text) { return text.toStdString(); }

QMimeData* MimeOfExchange(const ExchangeData& content) {
  auto* mime = new QMimeData;
  if (content.text) mime->setText(QString::fromStdString(*content.text));
  if (content.dib) {
    if (auto file = BmpFileOfDib(*content.dib)) {
      QImage image;
      // Offered as image/png, image/bmp and the other image types Qt writes.
      if (image.loadFromData(Bytes(*file), "BMP")) mime->setImageData(image);
    }
  }
  if (!content.files.empty()) {
    QList<QUrl> urls;
    for (const std::string& path : content.files) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    mime->setUrls(urls);
  }
  for (const auto& [name, bytes] : content.custom) {
    if (name == kHtmlFormat) mime->setHtml(QString::fromStdString(HtmlOfHtmlFormat(bytes)));
  }
  return mime;
}

class DesktopShell final : public ShellBackend {
 public:
  const char* Name() const override { return "desktop"; }

  void PublishClipboard(const ExchangeData& content) override {
    auto publish = [content] {
      QClipboard* clipboard = QGuiApplication::clipboard();
      if (content.Empty()) {
        clipboard->clear();
      } else {
        clipboard->setMimeData(MimeOfExchange(content));  // the clipboard owns it from here
      }
    };
    if (OnQtThread()) {
      publish();
    } else if (DesktopDisplay* display = DesktopDisplay::Instance()) {
      QMetaObject::invokeMethod(display->Context(), publish, Qt::QueuedConnection);
    }
  }

  std::optional<ExchangeData> TakeForeignClipboard() override {
    // Reading another program's clipboard needs Qt's thread (the window thread); elsewhere our
    // own clipboard is all there is.
    if (!OnQtThread()) return std::nullopt;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard()) return std::nullopt;
    const QMimeData* mime = clipboard->mimeData();
    if (!mime) return std::nullopt;
    ExchangeData data = ExchangeOfMime(*mime);
    if (data.Empty()) return std::nullopt;
    return data;
  }

  void ShowFileDialog(const FileDialogRequest& request, FileDialogDone finish) override {
    finish(RunFileDialog(request));
  }
  void ShowFontDialog(const FontDialogRequest& request, FontDialogDone finish) override {
    finish(RunFontDialog(request));
  }
  void ShowColourDialog(const ColourDialogRequest& request, ColourDialogDone finish) override {
    finish(RunColourDialog(request));
  }
};

DWORD AllowedOf(Qt::DropActions actions) {
  DWORD allowed = 0;
  if (actions & Qt::CopyAction) allowed |= DROPEFFECT_COPY;
  if (actions & Qt::MoveAction) allowed |= DROPEFFECT_MOVE;
  if (actions & Qt::LinkAction) allowed |= DROPEFFECT_LINK;
  return allowed;
}

DWORD KeyStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  DWORD keys = 0;
  if (modifiers & Qt::ControlModifier) keys |= MK_CONTROL;
  if (modifiers & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (modifiers & Qt::AltModifier) keys |= MK_ALT;
  if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
  if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
  return keys;
}

// Our effect as the action the drag source is told; none refuses the drop here.
void Answer(QDropEvent* event, DWORD effect) {
  Qt::DropAction action = Qt::IgnoreAction;
  if (effect & DROPEFFECT_COPY) action = Qt::CopyAction;
  else if (effect & DROPEFFECT_MOVE) action = Qt::MoveAction;
  else if (effect & DROPEFFECT_LINK) action = Qt::LinkAction;
  if (action == Qt::IgnoreAction) {
    event->ignore();
  } else {
    event->setDropAction(action);
    event->accept();
  }
}

}  // namespace

ExchangeData ExchangeOfMime(const QMimeData& mime) {
  ExchangeData data;
  std::string url;
  for (const QUrl& u : mime.urls()) {
    if (u.isLocalFile()) {
      data.files.push_back(Utf8(u.toLocalFile()));
    } else if (url.empty() && u.isValid()) {
      url = Utf8(u.toString(QUrl::FullyEncoded));
    }
  }
  // Firefox: the URL, a line feed and the page's title, in UTF-16.
  if (url.empty() && mime.hasFormat(QStringLiteral("text/x-moz-url"))) {
    const QByteArray raw = mime.data(QStringLiteral("text/x-moz-url"));
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()), raw.size() / 2);
    url = Utf8(text.section(QLatin1Char('\n'), 0, 0).trimmed());
  }
  if (!url.empty()) {
    // The URL format holds system code page text with its terminator.
    std::string gbk = Utf8ToGbk(url);
    std::vector<BYTE> bytes(gbk.begin(), gbk.end());
    bytes.push_back(0);
    data.custom.emplace_back(kUrlFormat, std::move(bytes));
  }
  if (mime.hasText()) data.text = Utf8(mime.text());
  if (mime.hasHtml()) data.custom.emplace_back(kHtmlFormat, HtmlFormatOf(Utf8(mime.html())));
  if (mime.hasImage()) {
    const QImage image = qvariant_cast<QImage>(mime.imageData()).convertToFormat(QImage::Format_RGB888);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.isNull() && image.save(&buffer, "BMP")) data.dib = DibOfBmpFile(Bytes(bmp));
  }
  return data;
}

bool HandleDragEvent(QEvent* event, POINT screen) {
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      const DWORD effect = ExternalDragEnter(ExchangeOfMime(*drag->mimeData()), screen,
                                             KeyStateOf(drag->modifiers(), drag->buttons()),
                                             AllowedOf(drag->possibleActions()));
      // Entering is always accepted, so that the moves come and the target can change its mind.
      Answer(drag, effect);
      drag->accept();
      if (effect == DROPEFFECT_NONE) drag->setDropAction(Qt::IgnoreAction);
      return true;
    }
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      Answer(drag, ExternalDragOver(screen, KeyStateOf(drag->modifiers(), drag->buttons())));
      return true;
    }
    case QEvent::DragLeave: ExternalDragLeave(); return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      Answer(drop, ExternalDragDrop(screen, KeyStateOf(drop->modifiers(), drop->buttons())));
      return true;
    }
    default: return false;
  }
}

void InstallDesktopShell(DesktopDisplay& display) {
  static DesktopShell* shell = new DesktopShell;
  SetShellBackend(shell);
  InstallNativeMessageBoxes();
}

}  // namespace quorlin::platform
