// A plain visible top-level window for drops to land on, outside any form.
#pragma once

#include "platform/user/window_core.h"

namespace quorlin::testing {

inline HWND MakeDropWindow(int left, int top, int width, int height) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DefWindowProcA;
    windowClass.lpszClassName = "QuorlinDropTestWindow";
    return RegisterClassA(&windowClass) != 0;
  }();
  if (!registered) return 0;
  return CreateWindowExA(0, "QuorlinDropTestWindow", "", WS_POPUP | WS_VISIBLE, left, top, width, height, 0, 0, 0,
                         nullptr);
}

}  // namespace quorlin::testing
