// Shared by the shell's tests: windows whose messages a test may watch or answer, a message
// pump, and a fixture that leaves the clipboard, the dialog script and the windows clean.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/shell/clipboard.h"
#include "platform/shell/headless_shell.h"
#include "platform/user/message_box.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::testing {

// Called before the default handling; return true when the message was handled.
using WindowHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

inline std::map<HWND, WindowHook>& Hooks() {
  static std::map<HWND, WindowHook> hooks;
  return hooks;
}

inline thread_local WindowHook t_pendingHook;

inline LRESULT HookedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) Hooks()[hwnd] = std::move(t_pendingHook);
  const auto it = Hooks().find(hwnd);
  LRESULT result = 0;
  if (it != Hooks().end() && it->second && it->second(hwnd, message, wParam, lParam, result)) return result;
  if (message == WM_NCDESTROY) Hooks().erase(hwnd);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline constexpr const char* kHookedClass = "ShellTestWindow";

inline void RegisterHookedClass(HCURSOR cursor = 0) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &HookedProc;
  windowClass.lpszClassName = kHookedClass;
  windowClass.hCursor = cursor;
  RegisterClassA(&windowClass);
}

inline HWND MakeWindow(DWORD style, RECT r, HWND parent = 0, WindowHook hook = {}) {
  RegisterHookedClass();
  t_pendingHook = std::move(hook);
  return CreateWindowExA(0, kHookedClass, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, 0,
                         0, nullptr);
}

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    for (HWND hwnd : windows_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Pump();
    Clean();
  }

  HWND Window(DWORD style, RECT r, HWND parent = 0, WindowHook hook = {}) {
    const HWND hwnd = MakeWindow(style, r, parent, std::move(hook));
    windows_.push_back(hwnd);
    return hwnd;
  }

 private:
  static void Clean() {
    platform::ResetClipboard();
    platform::TheHeadlessShell().ClearDialogAnswers();
    platform::ClearMessageBoxAnswers();
    platform::SetMessageBoxObserver(nullptr);
  }

  std::vector<HWND> windows_;
};

}  // namespace quorlin::testing
