// Inside the desktop display: the backend and the Qt window that shows one top-level window.
#pragma once

#include <QtGui/QBackingStore>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/display/display_backend.h"
#include "platform/user/cursors.h"

class QSocketNotifier;

namespace quorlin::platform {

class DesktopDisplay;

// What the window layer holds about a top-level window, read in one go.
struct TopLevelState {
  HWND hwnd = 0;
  HWND owner = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};    // screen coordinates
  RECT client{};  // relative to the window's corner
  bool visible = false;
  std::string title;  // GBK
};

// Shows the pixels of one top-level window: the client area of a window with a caption (the
// window manager draws the frame), the whole window of a pop-up.
class SurfaceWindow final : public QWindow {
 public:
  SurfaceWindow(DesktopDisplay& display, const TopLevelState& state, QWindow* transientFor);
  ~SurfaceWindow() override;

  HWND Handle() const { return hwnd_; }
  bool Framed() const { return framed_; }
  // Follows the window's place, size, visibility, title and size state.
  void Follow(const TopLevelState& state);
  // Shows the window's pixels in part (window coordinates) that changed since last shown.
  void PresentPart(const RECT& part, bool all);
  // The part of our window this Qt window shows, in window coordinates.
  RECT ShownPart() const { return shown_; }
  QPoint LastRequestedPosition() const { return requested_; }

 protected:
  bool event(QEvent* event) override;
  void exposeEvent(QExposeEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  POINT ToScreen(QPointF local) const;
  void UpdateIcon();
  void SetFixedSizeIfNeeded(QSize size, DWORD style);

  DesktopDisplay& display_;
  const HWND hwnd_;
  const bool framed_;
  RECT shown_{};
  DWORD style_ = 0;
  std::string title_;
  HICON icon_ = 0;
  RECT rect_{};  // our window's rectangle when last followed
  QPoint requested_{INT32_MIN, INT32_MIN};
  bool minimised_ = false;
  std::unique_ptr<QBackingStore> store_;
  std::vector<uint32_t> lastShown_;  // what is on screen, shown_ sized
  int lastWidth_ = 0, lastHeight_ = 0;
};

class DesktopDisplay final : public DisplayBackend {
 public:
  // Null with the reason when no Qt platform could open a display.
  static std::unique_ptr<DisplayBackend> Make(std::string& error);
  ~DesktopDisplay() override;

  const char* Name() const override { return "desktop"; }
  SIZE ScreenSize() const override { return size_; }
  void Present(const RECT& rect) override;
  void WindowChanged(HWND hwnd) override { ScheduleSync(); }
  void WindowRetitled(HWND hwnd) override { ScheduleSync(); }
  void WindowDestroyed(HWND hwnd) override { ScheduleSync(); }
  void ScreenChanged(const RECT& rect) override;
  void WhileUserLooks(std::function<void()> work) override;

  // On the Qt thread.
  // A window of ours flushed a frame to the screen.
  void FramePresented();
  void Sync();
  void Wait(int wakeFd, int timeoutMs);
  QPoint ToQt(POINT screen) const { return QPoint(screen.x + origin_.x(), screen.y + origin_.y()); }
  POINT FromQt(QPoint p) const { return POINT{p.x() - origin_.x(), p.y() - origin_.y()}; }
  bool PositionsAreReal() const { return positionsReal_; }
  // The Qt window showing a top-level window of ours, or null.
  SurfaceWindow* WindowOf(HWND hwnd) const;
  void NoteActivated(HWND hwnd) { lastForeground_ = hwnd; }
  // While a Qt loop other than our wait runs (a native dialog), our queue is pumped by it.
  void EnterForeignLoop();
  void LeaveForeignLoop();

  static DesktopDisplay* Instance();
  QObject* Context() { return &context_; }
  // Serves our queue from a Qt loop other than our wait.
  void PumpOwnQueue();

 private:
  DesktopDisplay(QApplication* app);
  void ScheduleSync();
  void QueueReadable();
  // The pointer shows the shape our window layer's current cursor has.
  void FollowCursor();

  QApplication* app_;
  QObject context_;  // on the Qt thread: the target of queued calls
  SIZE size_{};
  QPoint origin_;
  bool positionsReal_ = true;
  std::unordered_map<HWND, std::unique_ptr<SurfaceWindow>> windows_;
  HWND lastForeground_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  int notifierFd_ = -1;
  bool waiting_ = false;
  bool woke_ = false;
  int foreignLoops_ = 0;
  bool pumping_ = false;
  bool cursorKnown_ = false;
  CursorShape cursor_{};
  bool framePresented_ = false;
  std::vector<std::function<void()>> afterFirstFrame_;

  std::mutex mutex_;  // guards what follows
  bool syncScheduled_ = false;
  RECT dirty_{};
};

}  // namespace quorlin::platform
