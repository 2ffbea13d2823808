// The desktop backend: start-up of Qt, following the window layer's top-level windows, and
// the wait that sleeps on our queue and on Qt's events together.
#include <poll.h>

#include <QtCore/QSocketNotifier>
#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtGui/QScreen>

#include <cstdlib>

#include "platform/display/desktop/desktop_display.h"
#include "platform/display/desktop/desktop_internal.h"
#include "platform/display/desktop/desktop_shell.h"
#include "platform/gdi/surface.h"
#include "platform/user/cursors.h"
#include "platform/user/message_box.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {
namespace {

DesktopDisplay* g_instance = nullptr;

void WaitThunk(int wakeFd, int timeoutMs) {
  if (g_instance) g_instance->Wait(wakeFd, timeoutMs);
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// The Qt platforms to try: the user's choice, else Wayland when there is a compositor and
// X11 otherwise; "offscreen" last, so that a display that cannot be opened is told apart
// instead of ending the process inside Qt.
std::string PlatformList(bool& userAskedOffscreen) {
  const char* user = std::getenv("QT_QPA_PLATFORM");
  std::string list = user && *user ? user : (IsSet("WAYLAND_DISPLAY") ? "wayland;xcb" : "xcb");
  userAskedOffscreen = list.rfind("offscreen", 0) == 0;
  if (!userAskedOffscreen) list += ";offscreen";
  return list;
}

RECT Unite(const RECT& a, const RECT& b) {
  if (IsRectEmpty(&a)) return b;
  if (IsRectEmpty(&b)) return a;
  RECT out{};
  UnionRect(&out, &a, &b);
  return out;
}

}  // namespace

DesktopDisplay* DesktopDisplay::Instance() { return g_instance; }

std::unique_ptr<DisplayBackend> DesktopDisplay::Make(std::string& error) {
  if (g_instance) {
    error = "the desktop display is already in use";
    return nullptr;
  }
  bool userAskedOffscreen = false;
  const std::string platforms = PlatformList(userAskedOffscreen);
  const char* before = std::getenv("QT_QPA_PLATFORM");
  const std::string saved = before ? before : "";
  setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
  static int argc = 1;
  static char name[] = "quorlin";
  static char* argv[] = {name, nullptr};
  auto* app = new QApplication(argc, argv);
  // Programs we start see the environment as it was.
  if (before) {
    setenv("QT_QPA_PLATFORM", saved.c_str(), 1);
  } else {
    unsetenv("QT_QPA_PLATFORM");
  }
  if (QGuiApplication::platformName() == QLatin1String("offscreen") && !userAskedOffscreen) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display) display = std::getenv("DISPLAY");
    error = std::string("cannot open the display ") + (display ? display : "");
    delete app;
    return nullptr;
  }
  return std::unique_ptr<DisplayBackend>(new DesktopDisplay(app));
}

DesktopDisplay::DesktopDisplay(QApplication* app) : app_(app) {
  g_instance = this;
  QGuiApplication::setQuitOnLastWindowClosed(false);
  QScreen* screen = QGuiApplication::primaryScreen();
  const QRect geometry = screen ? screen->geometry() : QRect(0, 0, 1280, 1024);
  size_ = SIZE{std::max(1, geometry.width()), std::max(1, geometry.height())};
  origin_ = geometry.topLeft();
  // A Wayland compositor places windows itself and tells nobody where.
  positionsReal_ = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
  SetScreenSize(size_.cx, size_.cy);
  SetQueueWaitFunction(&WaitThunk);
  InstallDesktopShell(*this);
}

DesktopDisplay::~DesktopDisplay() {
  SetQueueWaitFunction(nullptr);
  windows_.clear();
  g_instance = nullptr;
}

SurfaceWindow* DesktopDisplay::WindowOf(HWND hwnd) const {
  const auto it = windows_.find(hwnd);
  return it == windows_.end() ? nullptr : it->second.get();
}

void DesktopDisplay::ScheduleSync() {
  {
    std::lock_guard lock(mutex_);
    if (syncScheduled_) return;
    syncScheduled_ = true;
  }
  QMetaObject::invokeMethod(&context_, [this] { Sync(); }, Qt::QueuedConnection);
}

void DesktopDisplay::ScreenChanged(const RECT& rect) {
  {
    std::lock_guard lock(mutex_);
    dirty_ = Unite(dirty_, rect);
  }
  ScheduleSync();
}

void DesktopDisplay::WhileUserLooks(std::function<void()> work) {
  if (framePresented_) {
    work();
    return;
  }
  afterFirstFrame_.push_back(std::move(work));
}

void DesktopDisplay::FramePresented() {
  if (framePresented_) return;
  framePresented_ = true;
  for (auto& work : std::exchange(afterFirstFrame_, {})) work();
}

void DesktopDisplay::Sync() {
  RECT dirty;
  {
    std::lock_guard lock(mutex_);
    syncScheduled_ = false;
    dirty = std::exchange(dirty_, RECT{});
  }
  std::vector<TopLevelState> states;
  {
    std::lock_guard lock(TreeLock());
    for (HWND top : TopLevelWindowsLocked(false)) {
      WindowRecord* window = RecordLocked(top);
      if (!window || window->life == WindowLife::Gone) continue;
      TopLevelState state;
      state.hwnd = top;
      state.owner = window->owner;
      state.style = window->style;
      state.exStyle = window->exStyle;
      state.rect = WindowRectLocked(*window);
      state.client = ClientRectInWindowLocked(*window);
      state.visible = (window->style & WS_VISIBLE) && window->life != WindowLife::Gone && window->width > 0 &&
                      window->height > 0;
      state.title = window->text;
      states.push_back(std::move(state));
    }
  }
  // Bottom first, so that an owner has its Qt window before the windows it owns.
  std::unordered_map<HWND, bool> alive;
  for (auto it = states.rbegin(); it != states.rend(); ++it) {
    const TopLevelState& state = *it;
    alive[state.hwnd] = true;
    SurfaceWindow* window = WindowOf(state.hwnd);
    if (!state.visible) {
      if (window && window->isVisible()) window->hide();
      continue;
    }
    if (!window) {
      QWindow* parent = WindowOf(state.owner);
      if (!parent) parent = WindowOf(lastForeground_);
      auto made = std::make_unique<SurfaceWindow>(*this, state, parent);
      window = made.get();
      windows_[state.hwnd] = std::move(made);
      cursorKnown_ = false;  // a new window shows the current shape too
    }
    window->Follow(state);
  }
  std::erase_if(windows_, [&](const auto& entry) { return !alive.count(entry.first); });
  const HWND foreground = GetForegroundWindow();
  if (foreground != lastForeground_) {
    lastForeground_ = foreground;
    SurfaceWindow* window = WindowOf(foreground);
    if (window && window->isVisible() && window->Framed() && !window->isActive()) window->requestActivate();
  }
  FollowCursor();
  if (!IsRectEmpty(&dirty)) Present(dirty);
}

void DesktopDisplay::FollowCursor() {
  const CursorShape shape = CurrentCursorShape();
  if (cursorKnown_ && shape == cursor_) return;
  cursorKnown_ = true;
  cursor_ = shape;
  Qt::CursorShape qt = Qt::ArrowCursor;
  switch (shape) {
    case CursorShape::Hidden: qt = Qt::BlankCursor; break;
    case CursorShape::Arrow: qt = Qt::ArrowCursor; break;
    case CursorShape::IBeam: qt = Qt::IBeamCursor; break;
    case CursorShape::Wait: qt = Qt::WaitCursor; break;
    case CursorShape::Cross: qt = Qt::CrossCursor; break;
    case CursorShape::UpArrow: qt = Qt::UpArrowCursor; break;
    case CursorShape::SizeAll: qt = Qt::SizeAllCursor; break;
    case CursorShape::SizeNWSE: qt = Qt::SizeFDiagCursor; break;
    case CursorShape::SizeNESW: qt = Qt::SizeBDiagCursor; break;
    case CursorShape::SizeWE: qt = Qt::SizeHorCursor; break;
    case CursorShape::SizeNS: qt = Qt::SizeVerCursor; break;
    case CursorShape::No: qt = Qt::ForbiddenCursor; break;
    case CursorShape::Hand: qt = Qt::PointingHandCursor; break;
    case CursorShape::AppStarting: qt = Qt::BusyCursor; break;
    case CursorShape::Help: qt = Qt::WhatsThisCursor; break;
  }
  for (const auto& [hwnd, window] : windows_) window->setCursor(QCursor(qt));
}

void DesktopDisplay::Present(const RECT& rect) {
  for (const auto& [hwnd, window] : windows_) {
    if (!window->isVisible()) continue;
    RECT placed{};
    if (!GetWindowRect(hwnd, &placed)) continue;
    RECT part{};
    if (!IntersectRect(&part, &placed, &rect)) continue;
    OffsetRect(&part, -placed.left, -placed.top);
    window->PresentPart(part, false);
  }
}

void DesktopDisplay::Wait(int wakeFd, int timeoutMs) {
  if (!notifier_ || notifierFd_ != wakeFd) {
    notifier_ = std::make_unique<QSocketNotifier>(wakeFd, QSocketNotifier::Read);
    notifierFd_ = wakeFd;
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_, [this] { QueueReadable(); });
  }
  // What changed while the program worked is shown before it sleeps.
  Sync();
  pollfd ready{wakeFd, POLLIN, 0};
  if (poll(&ready, 1, 0) > 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  const bool outer = !waiting_;
  waiting_ = true;
  woke_ = false;
  QTimer timer;
  if (timeoutMs >= 0) {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &context_, [this] { woke_ = true; });
    timer.start(timeoutMs);
  }
  while (!woke_) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  // A wait inside another (a handler that waits) may have taken the wake meant for the outer
  // one: the outer one wakes too and looks at its queue again.
  if (outer) waiting_ = false;
  woke_ = !outer;
}

void DesktopDisplay::QueueReadable() {
  if (waiting_ && foreignLoops_ == 0) {
    woke_ = true;
    return;
  }
  if (foreignLoops_ > 0) PumpOwnQueue();
}

void DesktopDisplay::EnterForeignLoop() { ++foreignLoops_; }
void DesktopDisplay::LeaveForeignLoop() { --foreignLoops_; }

// Inside a native dialog's loop: our windows keep painting and their messages flowing.
void DesktopDisplay::PumpOwnQueue() {
  if (pumping_) return;
  pumping_ = true;
  MSG msg;
  for (int i = 0; i < 200 && PeekMessageA(&msg, 0, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that waits for it
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  pumping_ = false;
  Sync();
}

void RegisterDesktopDisplay() { SetDesktopDisplayFactory(&DesktopDisplay::Make); }

}  // namespace quorlin::platform

namespace quorlin::platform {
namespace {

QImage GrabScreen(const RECT& rect) {
  DesktopDisplay* display = DesktopDisplay::Instance();
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!display || !screen) return {};
  const QPoint at = display->ToQt(POINT{rect.left, rect.top});
  return screen->grabWindow(0, at.x(), at.y(), rect.right - rect.left, rect.bottom - rect.top)
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

bool ReadDesktopPixels(const RECT& rect, std::vector<uint32_t>& pixels) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  const QImage image = GrabScreen(rect);
  if (image.isNull() || image.width() != width || image.height() != height) return false;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = row[x] & 0xFFFFFF;
  }
  return true;
}

bool SaveDesktopScreenshot(const std::string& path) {
  DesktopDisplay* display = DesktopDisplay::Instance();
  if (!display) return false;
  const SIZE size = display->ScreenSize();
  const QImage image = GrabScreen(RECT{0, 0, size.cx, size.cy});
  return !image.isNull() && image.save(QString::fromStdString(path), "PNG");
}

}  // namespace quorlin::platform

// Qt's session-bus connection (libdbus) keeps a buffer for the life of the process; a
// sanitizer build would report it as a leak of ours at exit.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
