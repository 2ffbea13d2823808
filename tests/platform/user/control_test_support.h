// Shared by the control tests: a parent window that records WM_COMMAND notifications and may
// answer WM_CTLCOLORSTATIC with a brush, at a known place on the screen.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/control_classes.h"
#include "platform/user/input_injection.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"

namespace quorlin::testing {

struct ParentRecord {
  std::vector<WPARAM> commands;
  HBRUSH staticBrush = 0;
  COLORREF staticText = CLR_INVALID;
};

inline ParentRecord& Parent() {
  static ParentRecord record;
  return record;
}

inline LRESULT ControlParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) Parent().commands.push_back(wParam);
  if (message == WM_CTLCOLORSTATIC && Parent().staticBrush) {
    if (Parent().staticText != CLR_INVALID) SetTextColor(static_cast<HDC>(wParam), Parent().staticText);
    return static_cast<LRESULT>(Parent().staticBrush);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class ControlTest : public ::testing::Test {
 protected:
  static constexpr int kParentX = 100, kParentY = 100;
  void SetUp() override {
    platform::RegisterControlClasses();
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &ControlParentProc;
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = "TestControlParent";
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    Parent() = ParentRecord{};
    parent_ = CreateWindowExA(0, "TestControlParent", "", WS_POPUP | WS_VISIBLE, kParentX, kParentY, 300, 200, 0, 0, 0, nullptr);
    ASSERT_NE(parent_, HWND{0});
    Pump();
  }
  void TearDown() override {
    if (IsWindow(parent_)) DestroyWindow(parent_);
    Pump();
    Parent() = ParentRecord{};
  }
  HWND Control(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id = 7) {
    const HWND hwnd = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent_,
                                      static_cast<HMENU>(id), 0, nullptr);
    Pump();
    return hwnd;
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // A point in the parent's client area, on the screen.
  static void MoveTo(int x, int y) {
    platform::InjectMouseMove(POINT{kParentX + x, kParentY + y});
    Pump();
  }
  static void Button(bool down) {
    platform::InjectMouseButton(platform::MouseButton::Left, down);
    Pump();
  }
  static void Key(BYTE key, bool down) {
    platform::InjectKey(key, down);
    Pump();
  }
  static COLORREF PixelOf(HWND hwnd, int x, int y) {
    const HDC hdc = GetDC(hwnd);
    const COLORREF c = GetPixel(hdc, x, y);
    ReleaseDC(hwnd, hdc);
    return c;
  }
  static int CountOf(HWND hwnd, const RECT& r, COLORREF c) {
    const HDC hdc = GetDC(hwnd);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += GetPixel(hdc, x, y) == c;
    ReleaseDC(hwnd, hdc);
    return n;
  }
  HWND parent_ = 0;
};

}  // namespace quorlin::testing
