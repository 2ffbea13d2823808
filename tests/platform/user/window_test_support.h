// Shared by the window layer's tests: a window class that logs the messages it gets under
// the name each window was created with, and a fixture that starts from an empty queue.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/user/message_queue.h"
#include "platform/user/paint_flags.h"
#include "platform/user/window_core.h"

namespace quorlin::testing {

// Called before the default handling; return true when the message was handled.
using MessageHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;

struct LoggedWindows {
  std::mutex lock;
  std::map<HWND, std::string> names;
  std::vector<std::string> log;
  std::vector<UINT> logged{WM_NCCREATE, WM_CREATE,    WM_DESTROY,   WM_NCDESTROY, WM_SHOWWINDOW,
                           WM_ACTIVATE, WM_SETFOCUS,  WM_KILLFOCUS, WM_ENABLE,    WM_CLOSE};
  MessageHook hook;

  std::string NameOf(HWND hwnd) {
    std::lock_guard guard(lock);
    auto it = names.find(hwnd);
    return it == names.end() ? "?" : it->second;
  }
  std::vector<std::string> Take() {
    std::lock_guard guard(lock);
    return std::exchange(log, {});
  }
};

inline LoggedWindows& Logged() {
  static LoggedWindows windows;
  return windows;
}

inline const char* MessageName(UINT message) {
  switch (message) {
    case WM_NCCREATE: return "NCCREATE";
    case WM_CREATE: return "CREATE";
    case WM_DESTROY: return "DESTROY";
    case WM_NCDESTROY: return "NCDESTROY";
    case WM_SHOWWINDOW: return "SHOWWINDOW";
    case WM_ACTIVATE: return "ACTIVATE";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    case WM_ENABLE: return "ENABLE";
    case WM_CLOSE: return "CLOSE";
    default: return "other";
  }
}

inline LRESULT LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LoggedWindows& windows = Logged();
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    std::lock_guard guard(windows.lock);
    windows.names[hwnd] = create->lpCreateParams ? static_cast<const char*>(create->lpCreateParams) : "?";
  }
  {
    std::lock_guard guard(windows.lock);
    if (std::find(windows.logged.begin(), windows.logged.end(), message) != windows.logged.end()) {
      windows.log.push_back(std::string(MessageName(message)) + " " + windows.names[hwnd]);
    }
  }
  LRESULT result = 0;
  if (windows.hook && windows.hook(hwnd, message, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline constexpr const char* LoggingClass = "TestLoggingWindow";

inline void RegisterLoggingClass() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &LoggingProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = LoggingClass;
    return RegisterClassA(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
}

// A logging window named `name` (the name also is its title).
inline HWND MakeWindow(const char* name, DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = 0, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, LoggingClass, name, style, 0, 0, 100, 50, parent, 0, 0, const_cast<char*>(name));
}

inline HWND MakeChild(const char* name, HWND parent, DWORD style = 0) {
  return MakeWindow(name, WS_CHILD | style, parent);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterLoggingClass();
    Drain();
    Logged().hook = nullptr;
    Logged().Take();
  }
  void TearDown() override {
    Logged().hook = nullptr;
    for (HWND hwnd : made_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Drain();
  }
  // Empties the calling thread's queue without dispatching.
  static void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT) platform::SetWindowNeedsPaint(msg.hwnd, false);
    }
  }
  HWND Keep(HWND hwnd) {
    made_.push_back(hwnd);
    return hwnd;
  }

 private:
  std::vector<HWND> made_;
};

}  // namespace quorlin::testing
