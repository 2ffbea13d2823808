// Shared by the geometry, painting and input tests: windows of a class that records the
// messages it gets and paints its client area in a colour of its own.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::testing {

struct Recorded {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct RecorderState {
  std::mutex lock;
  std::vector<Recorded> log;
  std::map<HWND, COLORREF> colours;  // painted on WM_PAINT; absent: default handling
};

inline RecorderState& Recorder() {
  static RecorderState state;
  return state;
}

inline LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  RecorderState& state = Recorder();
  COLORREF colour = 0;
  bool paints = false;
  {
    std::lock_guard guard(state.lock);
    state.log.push_back(Recorded{hwnd, message, wParam, lParam});
    auto it = state.colours.find(hwnd);
    if (it != state.colours.end()) colour = it->second, paints = true;
  }
  if (message == WM_PAINT && paints) {
    PAINTSTRUCT ps;
    const HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(hdc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

inline constexpr const char* RecordingClass = "TestRecordingWindow";

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = &RecordingProc;
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = RecordingClass;
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    Pump();
    Take();
  }
  void TearDown() override {
    for (HWND hwnd : made_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Pump();
    std::lock_guard guard(Recorder().lock);
    Recorder().colours.clear();
  }
  HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = 0, DWORD exStyle = 0) {
    const HWND hwnd = CreateWindowExA(exStyle, RecordingClass, "", style, x, y, w, h, parent, 0, 0, nullptr);
    made_.push_back(hwnd);
    return hwnd;
  }
  static void Paints(HWND hwnd, COLORREF colour) {
    std::lock_guard guard(Recorder().lock);
    Recorder().colours[hwnd] = colour;
  }
  // Dispatches everything waiting, paint included.
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  static std::vector<Recorded> Take() {
    std::lock_guard guard(Recorder().lock);
    return std::exchange(Recorder().log, {});
  }
  // The messages of one window among those listed, in order.
  static std::vector<UINT> MessagesOf(const std::vector<Recorded>& log, HWND hwnd, std::vector<UINT> wanted) {
    std::vector<UINT> out;
    for (const Recorded& r : log) {
      if (r.hwnd == hwnd && std::find(wanted.begin(), wanted.end(), r.message) != wanted.end()) out.push_back(r.message);
    }
    return out;
  }
  static const Recorded* Last(const std::vector<Recorded>& log, HWND hwnd, UINT message) {
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
      if (it->hwnd == hwnd && it->message == message) return &*it;
    }
    return nullptr;
  }
  // A pixel of the composed screen.
  static COLORREF ScreenPixel(int x, int y) {
    const HDC screen = GetDC(0);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(0, screen);
    return c;
  }

 private:
  std::vector<HWND> made_;
};

}  // namespace quorlin::testing
