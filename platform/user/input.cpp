// Capture, key state, the pointer, and the routing of injected input.
#include "platform/user/input.h"

#include <array>
#include <map>
#include <cstdlib>

#include "platform/base/thread_services.h"
#include "platform/user/cursors.h"
#include "platform/user/input_injection.h"
#include "platform/user/thread_queue.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_frame.h"
#include "platform/user/window_geometry.h"
#include "platform/user/window_layout.h"

namespace quorlin::platform {
namespace {

constexpr DWORD kDoubleClickMs = 500;

// Guarded by the tree lock.
struct InputGlobals {
  // The capture of each thread that set one, and the thread that set one last.
  std::map<DWORD, HWND> captures;
  DWORD lastCaptureThread = 0;
  POINT cursor{0, 0};
  std::array<BYTE, 256> keys{};  // bit 0x80 down, bit 0x01 toggled
  // The last press, for double clicks.
  HWND lastPressWindow = 0;
  UINT lastPressMessage = 0;
  DWORD lastPressTime = 0;
  POINT lastPressAt{0, 0};
};

InputGlobals& Input() {
  static InputGlobals* input = new InputGlobals;
  return *input;
}

bool Down(const InputGlobals& in, int vk) { return (in.keys[static_cast<size_t>(vk)] & 0x80) != 0; }

HWND LiveCaptureLocked(DWORD threadId) {
  const auto& captures = Input().captures;
  const auto it = captures.find(threadId);
  if (it == captures.end()) return 0;
  WindowRecord* window = RecordLocked(it->second);
  return window && window->life != WindowLife::Gone ? it->second : 0;
}

// The capture the mouse talks to: the foreground thread's, else the one set last.
HWND MouseCaptureLocked(HWND foregroundWindow) {
  if (WindowRecord* foreground = RecordLocked(foregroundWindow)) {
    if (const HWND capture = LiveCaptureLocked(foreground->threadId)) return capture;
  }
  return LiveCaptureLocked(Input().lastCaptureThread);
}

WPARAM MouseKeysLocked() {
  const InputGlobals& in = Input();
  WPARAM keys = 0;
  if (Down(in, VK_LBUTTON)) keys |= MK_LBUTTON;
  if (Down(in, VK_RBUTTON)) keys |= MK_RBUTTON;
  if (Down(in, VK_MBUTTON)) keys |= MK_MBUTTON;
  if (Down(in, VK_SHIFT)) keys |= MK_SHIFT;
  if (Down(in, VK_CONTROL)) keys |= MK_CONTROL;
  return keys;
}

LPARAM PointParam(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, POINT screen, DWORD binding = 0) {
  PostInputMessage(MSG{hwnd, message, wParam, lParam, GetTickCount(), screen, binding});
}

// The window the keyboard talks to: the foreground thread's focus, else its active window.
HWND KeyboardTarget() {
  const HWND foreground = GetForegroundWindow();
  std::lock_guard lock(TreeLock());
  WindowRecord* window = RecordLocked(foreground);
  if (!window) return 0;
  const InputState& state = *window->queue->inputState;
  return state.focus ? state.focus : state.active;
}

// A mouse message for the window under the pointer or the capture.
void RouteMouse(UINT clientMessage, UINT frameMessage, bool press) {
  POINT screen;
  HWND capture;
  const HWND foreground = GetForegroundWindow();
  {
    std::lock_guard lock(TreeLock());
    screen = Input().cursor;
    capture = MouseCaptureLocked(foreground);
  }
  HWND target = capture ? capture : WindowFromPoint(screen);
  if (!target) return;
  HWND root;
  bool dblClicks;
  bool disabledRoot;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(target);
    if (!window) return;
    root = RootLocked(target);
    WindowRecord* top = RecordLocked(root);
    disabledRoot = top && (top->style & WS_DISABLED);
    dblClicks = (window->windowClass->style & CS_DBLCLKS) != 0;
  }
  if (!capture && disabledRoot) return;
  const LRESULT hit = capture ? HTCLIENT : FrameHitTest(target, screen);
  if (press && !capture) {
    HWND active = 0;
    {
      std::lock_guard lock(TreeLock());
      if (WindowRecord* top = RecordLocked(root)) active = top->queue->inputState->active;
    }
    if (active != root) ActivateTopLevel(root);
  }
  UINT message = hit == HTCLIENT ? clientMessage : frameMessage;
  WPARAM wParam;
  {
    std::lock_guard lock(TreeLock());
    InputGlobals& in = Input();
    wParam = hit == HTCLIENT ? MouseKeysLocked() : static_cast<WPARAM>(hit);
    if (press) {
      const DWORD now = GetTickCount();
      const bool again = dblClicks && in.lastPressWindow == target && in.lastPressMessage == clientMessage &&
                         now - in.lastPressTime <= kDoubleClickMs &&
                         std::abs(screen.x - in.lastPressAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                         std::abs(screen.y - in.lastPressAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
      if (again) {
        message += 2;  // WM_xBUTTONDOWN + 2 is WM_xBUTTONDBLCLK, for the frame messages as well
        in.lastPressWindow = 0;
      } else {
        in.lastPressWindow = target;
        in.lastPressMessage = clientMessage;
        in.lastPressTime = now;
        in.lastPressAt = screen;
      }
    }
  }
  POINT at = screen;
  if (hit == HTCLIENT) ScreenToClient(target, &at);
  // Without a capture the window under the pointer chooses the cursor first; a window of
  // another thread is told without waiting for it.
  if (!capture) {
    SendNotifyMessageA(target, WM_SETCURSOR, target,
                       MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(clientMessage)));
  }
  Post(target, message, wParam, PointParam(at), screen);
}

void SetKeyLocked(int vk, bool down) {
  BYTE& state = Input().keys[static_cast<size_t>(vk & 0xFF)];
  if (down && !(state & 0x80)) state ^= 0x01;
  state = static_cast<BYTE>(down ? (state | 0x80) : (state & ~0x80));
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

void InjectMouseMove(POINT screen) {
  {
    std::lock_guard lock(TreeLock());
    Input().cursor = screen;
  }
  RouteMouse(WM_MOUSEMOVE, WM_NCMOUSEMOVE, false);
}

void InjectMouseButton(MouseButton button, bool down) {
  static constexpr struct {
    int vk;
    UINT downMessage, frameDownMessage;
  } kButtons[] = {{VK_LBUTTON, WM_LBUTTONDOWN, WM_NCLBUTTONDOWN},
                  {VK_RBUTTON, WM_RBUTTONDOWN, WM_NCRBUTTONDOWN},
                  {VK_MBUTTON, WM_MBUTTONDOWN, WM_NCMBUTTONDOWN}};
  const auto& b = kButtons[static_cast<int>(button)];
  {
    std::lock_guard lock(TreeLock());
    SetKeyLocked(b.vk, down);
  }
  if (down) {
    RouteMouse(b.downMessage, b.frameDownMessage, true);
  } else {
    RouteMouse(b.downMessage + 1, b.frameDownMessage + 1, false);
  }
}

void InjectKey(BYTE virtualKey, bool down) {
  bool wasDown;
  bool alt;
  {
    std::lock_guard lock(TreeLock());
    wasDown = Down(Input(), virtualKey);
    SetKeyLocked(virtualKey, down);
    alt = Down(Input(), VK_MENU);
  }
  const HWND target = KeyboardTarget();
  if (!target) return;
  // Repeat count 1; bit 29 Alt, bit 30 the previous state, bit 31 a release.
  DWORD lParam = 1;
  if (alt) lParam |= 1u << 29;
  if (wasDown) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  const bool system = alt || virtualKey == VK_MENU;
  const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  POINT cursor;
  {
    std::lock_guard lock(TreeLock());
    cursor = Input().cursor;
  }
  Post(target, message, virtualKey, static_cast<LPARAM>(lParam), cursor, kToKeyboardFocus);
}

void InjectCharacters(std::string_view gbk) {
  const HWND target = KeyboardTarget();
  if (!target) return;
  POINT cursor;
  GetCursorPos(&cursor);
  for (char c : gbk) Post(target, WM_CHAR, static_cast<unsigned char>(c), 1, cursor, kToKeyboardFocus);
}

void InjectCommittedText(std::string_view gbk) {
  const HWND target = KeyboardTarget();
  if (!target) return;
  POINT cursor;
  GetCursorPos(&cursor);
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    WPARAM character = lead;
    if (IsLeadByte(lead) && i + 1 < gbk.size()) {
      character = (static_cast<WPARAM>(lead) << 8) | static_cast<unsigned char>(gbk[++i]);
    }
    Post(target, WM_IME_CHAR, character, 1, cursor, kToKeyboardFocus);
  }
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

// The capture belongs to the thread of the window that takes it.
HWND SetCapture(HWND hwnd) {
  HWND previous;
  {
    std::lock_guard lock(TreeLock());
    WindowRecord* window = RecordLocked(hwnd);
    const DWORD thread = window ? window->threadId : GetCurrentThreadId();
    previous = LiveCaptureLocked(thread);
    const HWND capture = window && window->life != WindowLife::Gone ? hwnd : 0;
    if (capture) {
      Input().captures[thread] = capture;
      Input().lastCaptureThread = thread;
    } else {
      Input().captures.erase(thread);
    }
    if (previous == capture) return previous;
  }
  if (previous && IsWindow(previous)) SendMessageA(previous, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(hwnd));
  return previous;
}

BOOL ReleaseCapture() {
  HWND previous;
  {
    std::lock_guard lock(TreeLock());
    previous = LiveCaptureLocked(GetCurrentThreadId());
    Input().captures.erase(GetCurrentThreadId());
  }
  if (previous && IsWindow(previous)) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  std::lock_guard lock(TreeLock());
  return LiveCaptureLocked(GetCurrentThreadId());
}

SHORT GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 0xFF) return 0;
  std::lock_guard lock(TreeLock());
  const BYTE state = Input().keys[static_cast<size_t>(virtualKey)];
  return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey) { return static_cast<SHORT>(GetKeyState(virtualKey) & 0x8000); }

BOOL GetCursorPos(POINT* point) {
  if (!point) return FALSE;
  std::lock_guard lock(TreeLock());
  *point = Input().cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  InjectMouseMove(POINT{x, y});
  return TRUE;
}
