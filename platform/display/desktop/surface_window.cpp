// One top-level window of ours as a Qt window: its pixels, its frame, and its input.
#include <QtGui/QDropEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QIcon>
#include <QtGui/QInputMethod>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QWheelEvent>

#include <algorithm>
#include <cstring>

#include "platform/base/code_page.h"
#include "platform/base/thread_services.h"
#include "platform/display/desktop/desktop_internal.h"
#include "platform/display/desktop/desktop_shell.h"
#include "platform/display/desktop/key_mapping.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/surface.h"
#include "platform/user/input.h"
#include "platform/user/input_injection.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_frame.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_record.h"

namespace quorlin::platform {
namespace {

// Never equal to a surface pixel (their top byte is 0): the first present shows everything.
constexpr uint32_t kNotShown = 0xFF000000;
constexpr WPARAM kIconBig = 1;

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

Qt::WindowFlags FlagsFor(const TopLevelState& state) {
  if (!HasCaption(state.style)) {
    // Pop-ups (a combo box's list, a colour palette) take no focus: the keyboard stays with
    // the window that opened them, and our window layer routes it.
    return Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
  }
  Qt::WindowFlags flags = (state.exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (state.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (state.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
  if (state.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  if (state.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

// The icon's pixels with its mask as alpha; a null image when there is none.
QImage ImageOfIcon(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  QImage image;
  BITMAP bm{};
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0 &&
      bm.bmWidth <= 256 && bm.bmHeight <= 256) {
    const int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO request{};
    request.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> colour(static_cast<size_t>(w) * h), mask(colour.size(), 0);
    const HDC dc = CreateCompatibleDC(0);
    const bool got = GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(h), colour.data(), &request, DIB_RGB_COLORS) > 0;
    BITMAPINFO maskRequest = request;
    if (got && info.hbmMask) GetDIBits(dc, info.hbmMask, 0, static_cast<UINT>(h), mask.data(), &maskRequest, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (got) {
      image = QImage(w, h, QImage::Format_ARGB32);
      for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
          const size_t i = static_cast<size_t>(y) * w + x;
          const bool transparent = (mask[i] & 0xFFFFFF) != 0;
          row[x] = transparent ? 0 : (0xFF000000u | (colour[i] & 0xFFFFFF));
        }
      }
    }
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return image;
}

QString FromGbk(const std::string& gbk) {
  const std::u16string wide = GbkToUtf16(gbk);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

MouseButton ButtonOf(Qt::MouseButton button, bool& known) {
  known = true;
  switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: known = false; return MouseButton::Left;
  }
}

WPARAM MouseKeys() {
  WPARAM keys = 0;
  if (GetKeyState(VK_LBUTTON) & 0x8000) keys |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) & 0x8000) keys |= MK_RBUTTON;
  if (GetKeyState(VK_MBUTTON) & 0x8000) keys |= MK_MBUTTON;
  if (GetKeyState(VK_SHIFT) & 0x8000) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) & 0x8000) keys |= MK_CONTROL;
  return keys;
}

}  // namespace

SurfaceWindow::SurfaceWindow(DesktopDisplay& display, const TopLevelState& state, QWindow* transientFor)
    : display_(display), hwnd_(state.hwnd), framed_(HasCaption(state.style)) {
  setSurfaceType(QSurface::RasterSurface);
  setFlags(FlagsFor(state));
  if (transientFor) setTransientParent(transientFor);
  store_ = std::make_unique<QBackingStore>(this);
  style_ = state.style;
}

SurfaceWindow::~SurfaceWindow() { store_.reset(); }

void SurfaceWindow::SetFixedSizeIfNeeded(QSize size, DWORD style) {
  if (!framed_ || !(style & WS_THICKFRAME)) {
    setMinimumSize(size);
    setMaximumSize(size);
  } else {
    setMinimumSize(QSize(1, 1));
    setMaximumSize(QSize((1 << 24) - 1, (1 << 24) - 1));
  }
}

void SurfaceWindow::Follow(const TopLevelState& state) {
  rect_ = state.rect;
  const int width = state.rect.right - state.rect.left, height = state.rect.bottom - state.rect.top;
  const RECT shown = framed_ ? state.client : RECT{0, 0, width, height};
  const int shownWidth = std::max<int>(1, shown.right - shown.left);
  const int shownHeight = std::max<int>(1, shown.bottom - shown.top);
  if (shownWidth != lastWidth_ || shownHeight != lastHeight_) {
    lastWidth_ = shownWidth;
    lastHeight_ = shownHeight;
    lastShown_.assign(static_cast<size_t>(shownWidth) * shownHeight, kNotShown);
  }
  shown_ = shown;
  if (state.title != title_) {
    title_ = state.title;
    setTitle(FromGbk(title_));
  }
  UpdateIcon();  // WM_SETICON may have changed it; an unchanged icon costs one WM_GETICON
  style_ = state.style;
  if (state.style & WS_MINIMIZE) {
    if (!isVisible()) show();
    if (!(windowState() & Qt::WindowMinimized)) {
      minimised_ = true;
      showMinimized();
    }
    return;
  }
  if (minimised_) {
    minimised_ = false;
    showNormal();
  }
  const QRect target(display_.ToQt(POINT{state.rect.left + shown.left, state.rect.top + shown.top}),
                     QSize(shownWidth, shownHeight));
  SetFixedSizeIfNeeded(target.size(), state.style);
  if (geometry() != target) {
    requested_ = target.topLeft();
    setGeometry(target);
  }
  if (!isVisible()) show();
}

void SurfaceWindow::UpdateIcon() {
  if (!framed_) return;
  HICON icon = 0;
  DWORD processId = 0;
  if (GetWindowThreadProcessId(hwnd_, &processId) == GetCurrentThreadId()) {
    icon = static_cast<HICON>(SendMessageA(hwnd_, WM_GETICON, kIconBig, 0));
  }
  if (!icon) icon = static_cast<HICON>(GetClassLongPtrA(hwnd_, GCLP_HICON));
  if (!icon) icon = static_cast<HICON>(GetClassLongPtrA(hwnd_, GCLP_HICONSM));
  if (icon == icon_) return;
  icon_ = icon;
  const QImage image = ImageOfIcon(icon);
  if (!image.isNull()) setIcon(QIcon(QPixmap::fromImage(image)));
}

void SurfaceWindow::PresentPart(const RECT& part, bool all) {
  if (!isExposed() || lastShown_.empty()) return;
  // Shown whole, the window shows its frame too.
  if (!framed_) PaintOwedFrame(hwnd_);
  std::shared_ptr<Surface> surface;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd_);
    if (!window || !window->surface) return;
    surface = window->surface;
  }
  // The part in this Qt window's coordinates.
  RECT local = part;
  OffsetRect(&local, -shown_.left, -shown_.top);
  const RECT bounds{0, 0, lastWidth_, lastHeight_};
  if (!IntersectRect(&local, &local, &bounds)) return;
  RECT changed{};
  {
    std::lock_guard lock(surface->mutex);
    const RECT onSurface{0, 0, surface->width - shown_.left, surface->height - shown_.top};
    if (!IntersectRect(&local, &local, &onSurface)) return;
    changed = RECT{local.right, local.bottom, local.left, local.top};
    for (int y = local.top; y < local.bottom; ++y) {
      const uint32_t* from = surface->Row(y + shown_.top) + shown_.left;
      uint32_t* to = lastShown_.data() + static_cast<size_t>(y) * lastWidth_;
      int first = local.left;
      int last = local.right - 1;
      if (!all) {
        while (first <= last && from[first] == to[first]) ++first;
        if (first > last) continue;
        while (last > first && from[last] == to[last]) --last;
      }
      std::memcpy(to + first, from + first, sizeof(uint32_t) * static_cast<size_t>(last - first + 1));
      changed.left = std::min<LONG>(changed.left, first);
      changed.right = std::max<LONG>(changed.right, last + 1);
      changed.top = std::min<LONG>(changed.top, y);
      changed.bottom = std::max<LONG>(changed.bottom, y + 1);
    }
  }
  if (changed.left >= changed.right || changed.top >= changed.bottom) return;
  const QRect area(changed.left, changed.top, changed.right - changed.left, changed.bottom - changed.top);
  const QImage image(reinterpret_cast<const uchar*>(lastShown_.data()), lastWidth_, lastHeight_,
                     static_cast<qsizetype>(lastWidth_) * 4, QImage::Format_RGB32);
  if (store_->size() != QSize(lastWidth_, lastHeight_)) store_->resize(QSize(lastWidth_, lastHeight_));
  store_->beginPaint(QRegion(area));
  {
    QPainter painter(store_->paintDevice());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area.topLeft(), image, area);
  }
  store_->endPaint();
  store_->flush(QRegion(area));
  display_.FramePresented();
}

POINT SurfaceWindow::ToScreen(QPointF local) const {
  RECT placed = rect_;
  GetWindowRect(hwnd_, &placed);
  return POINT{placed.left + shown_.left + static_cast<LONG>(local.x()),
               placed.top + shown_.top + static_cast<LONG>(local.y())};
}

void SurfaceWindow::exposeEvent(QExposeEvent*) {
  if (isExposed()) PresentPart(shown_, true);
}

void SurfaceWindow::resizeEvent(QResizeEvent*) {
  if (!framed_ || !(style_ & WS_THICKFRAME) || minimised_) return;
  // The user resized a sizeable window: our window follows with its frame around the new
  // client area.
  const QSize now = size();
  if (now.width() == lastWidth_ && now.height() == lastHeight_) return;
  const int frameWidth = (rect_.right - rect_.left) - (shown_.right - shown_.left);
  const int frameHeight = (rect_.bottom - rect_.top) - (shown_.bottom - shown_.top);
  SetWindowPos(hwnd_, 0, 0, 0, now.width() + frameWidth, now.height() + frameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SurfaceWindow::moveEvent(QMoveEvent*) {
  if (!display_.PositionsAreReal() || minimised_ || !isVisible()) return;
  const QPoint at = position();
  if (at == requested_) return;  // where we put it
  // The window manager moved it (the user dragged the title bar): our window moves too.
  requested_ = at;
  const POINT screen = display_.FromQt(at);
  const int x = screen.x - shown_.left, y = screen.y - shown_.top;
  RECT placed{};
  if (GetWindowRect(hwnd_, &placed) && (placed.left != x || placed.top != y)) {
    SetWindowPos(hwnd_, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SurfaceWindow::mousePressEvent(QMouseEvent* event) {
  bool known;
  const MouseButton button = ButtonOf(event->button(), known);
  if (!known) return;
  InjectMouseMove(ToScreen(event->position()));
  InjectMouseButton(button, true);
}

void SurfaceWindow::mouseReleaseEvent(QMouseEvent* event) {
  bool known;
  const MouseButton button = ButtonOf(event->button(), known);
  if (!known) return;
  InjectMouseMove(ToScreen(event->position()));
  InjectMouseButton(button, false);
}

void SurfaceWindow::mouseMoveEvent(QMouseEvent* event) { InjectMouseMove(ToScreen(event->position())); }

void SurfaceWindow::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) return;
  const POINT at = ToScreen(event->position());
  // The wheel talks to the focus window, as the keyboard does.
  HWND target = GetFocus();
  if (!target) target = WindowFromPoint(at);
  if (!target) return;
  const auto clamped = static_cast<short>(std::clamp(delta, -32768, 32767));
  PostInputMessage(MSG{target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(MouseKeys()), static_cast<WORD>(clamped)),
                       MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)), 0, at, 0});
}

void SurfaceWindow::keyPressEvent(QKeyEvent* event) {
  const BYTE vk = VirtualKeyOfQtKey(event->key(), (event->modifiers() & Qt::KeypadModifier) != 0);
  const bool ctrlOrAlt = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
  const QString text = event->text();
  const KeyPress press = KeyPressOf(vk, text.toStdU16String(), ctrlOrAlt);
  if (press.keyDown) InjectKey(press.keyDown, true);
  if (!press.characters.empty()) InjectCharacters(press.characters);
}

void SurfaceWindow::keyReleaseEvent(QKeyEvent* event) {
  const BYTE vk = VirtualKeyOfQtKey(event->key(), (event->modifiers() & Qt::KeypadModifier) != 0);
  if (vk) InjectKey(vk, false);
}

void SurfaceWindow::focusInEvent(QFocusEvent*) {
  // Activation by the window manager (a click on the title bar, the task bar).
  if (GetForegroundWindow() == hwnd_ || !IsWindowEnabled(hwnd_)) return;
  display_.NoteActivated(hwnd_);
  SetForegroundWindow(hwnd_);
}

bool SurfaceWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Close:
      // The window manager's close button takes the path of our frame's close box.
      event->ignore();
      PostMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case QEvent::WindowStateChange: {
      const bool minimised = (windowState() & Qt::WindowMinimized) != 0;
      if (minimised && !minimised_) {
        minimised_ = true;
        ShowWindow(hwnd_, SW_MINIMIZE);
      } else if (!minimised && minimised_) {
        minimised_ = false;
        ShowWindow(hwnd_, SW_RESTORE);
      }
      return QWindow::event(event);
    }
    case QEvent::InputMethod: {
      const QString commit = static_cast<QInputMethodEvent*>(event)->commitString();
      if (!commit.isEmpty()) InjectCommittedText(Utf16ToGbk(commit.toStdU16String()));
      event->accept();
      return true;
    }
    case QEvent::InputMethodQuery: {
      auto* query = static_cast<QInputMethodQueryEvent*>(event);
      if (query->queries() & Qt::ImEnabled) query->setValue(Qt::ImEnabled, true);
      if (query->queries() & Qt::ImHints) query->setValue(Qt::ImHints, static_cast<int>(Qt::ImhNone));
      if (query->queries() & Qt::ImCursorRectangle) {
        // Candidates open below the focus window (an edit box) rather than at the corner.
        QRect caret(0, 0, 1, 16);
        RECT focus{};
        if (const HWND hwnd = GetFocus(); hwnd && GetWindowRect(hwnd, &focus)) {
          RECT placed = rect_;
          GetWindowRect(hwnd_, &placed);
          caret = QRect(focus.left - placed.left - shown_.left, focus.top - placed.top - shown_.top, 1,
                        std::max<int>(1, focus.bottom - focus.top));
        }
        query->setValue(Qt::ImCursorRectangle, caret);
      }
      query->accept();
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return HandleDragEvent(event, ToScreen(static_cast<QDropEvent*>(event)->position()));
    case QEvent::DragLeave: return HandleDragEvent(event, POINT{});
    default: return QWindow::event(event);
  }
}

}  // namespace quorlin::platform
