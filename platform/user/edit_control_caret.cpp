#include "platform/user/edit_control_caret.h"

#include <atomic>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/timers.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {
namespace {

constexpr UINT_PTR kBlinkTimer = 0xCA7E;

struct Caret {
  HWND owner = 0;
  POINT position{};
  SIZE size{};
  int hideCount = 0;
  bool on = true;  // the blink phase
};

thread_local Caret caret;
std::atomic<UINT> blinkTime{530};

RECT CaretRect() {
  return RECT{caret.position.x, caret.position.y, caret.position.x + caret.size.cx, caret.position.y + caret.size.cy};
}

void InvalidateCaret() {
  if (!caret.owner || !IsWindow(caret.owner)) return;
  const RECT r = CaretRect();
  InvalidateRect(caret.owner, &r, FALSE);
}

void BlinkProc(HWND hwnd, UINT, UINT_PTR, DWORD) {
  if (hwnd != caret.owner) return;
  caret.on = !caret.on;
  if (caret.hideCount == 0) InvalidateCaret();
}

// After a change the caret shows at once and the blink period starts again.
void RestartBlink() {
  caret.on = true;
  if (caret.owner && IsWindow(caret.owner)) SetTimer(caret.owner, kBlinkTimer, blinkTime, &BlinkProc);
}

bool IsOwner(HWND hwnd) { return caret.owner && (hwnd == 0 || hwnd == caret.owner); }

}  // namespace

void DrawCaret(HWND hwnd, HDC hdc) {
  if (hwnd != caret.owner || caret.hideCount > 0 || !caret.on) return;
  const RECT r = CaretRect();
  InvertRect(hdc, &r);
}

}  // namespace quorlin::platform

using namespace quorlin::platform;

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  if (!IsWindow(hwnd)) return FALSE;
  DestroyCaret();
  caret = Caret{};
  caret.owner = hwnd;
  caret.size = SIZE{width > 0 ? width : 1, height > 0 ? height : 1};
  caret.hideCount = 1;
  RestartBlink();
  return TRUE;
}

BOOL DestroyCaret() {
  if (!caret.owner) return FALSE;
  if (IsWindow(caret.owner)) {
    KillTimer(caret.owner, kBlinkTimer);
    if (caret.hideCount == 0) InvalidateCaret();
  }
  caret = Caret{};
  return TRUE;
}

BOOL ShowCaret(HWND hwnd) {
  if (!IsOwner(hwnd) || caret.hideCount == 0) return FALSE;
  if (--caret.hideCount == 0) {
    RestartBlink();
    InvalidateCaret();
  }
  return TRUE;
}

BOOL HideCaret(HWND hwnd) {
  if (!IsOwner(hwnd)) return FALSE;
  if (caret.hideCount++ == 0) InvalidateCaret();
  return TRUE;
}

BOOL SetCaretPos(int x, int y) {
  if (!caret.owner) return FALSE;
  if (caret.position.x == x && caret.position.y == y) return TRUE;
  if (caret.hideCount == 0) InvalidateCaret();
  caret.position = POINT{x, y};
  if (caret.hideCount == 0) {
    RestartBlink();
    InvalidateCaret();
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* point) {
  if (!point) return FALSE;
  *point = caret.position;
  return TRUE;
}

UINT GetCaretBlinkTime() { return blinkTime; }

BOOL SetCaretBlinkTime(UINT milliseconds) {
  if (milliseconds == 0) return FALSE;
  blinkTime = milliseconds;
  if (caret.owner) RestartBlink();
  return TRUE;
}
