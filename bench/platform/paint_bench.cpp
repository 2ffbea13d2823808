// An invalidated card-sized child repainted and composed onto the screen (target: under 1 ms).
#include <benchmark/benchmark.h>

#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace {

LRESULT CardProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC hdc = BeginPaint(hwnd, &ps);
    static const HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
    FillRect(hdc, &ps.rcPaint, brush);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void BM_RepaintCardChild(benchmark::State& state) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &CardProc;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "BenchCard";
  RegisterClassA(&wc);
  const HWND top = CreateWindowExA(0, "BenchCard", "card", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE |
                                   WS_CLIPCHILDREN, 100, 100, 586, 453, 0, 0, 0, nullptr);
  const HWND card = CreateWindowExA(0, "BenchCard", "", WS_CHILD | WS_VISIBLE, 0, 0, 580, 385, top, 0, 0, nullptr);
  UpdateWindow(top);
  for (auto _ : state) {
    InvalidateRect(card, nullptr, TRUE);
    UpdateWindow(card);
  }
  DestroyWindow(top);
}
BENCHMARK(BM_RepaintCardChild)->Unit(benchmark::kMicrosecond);

}  // namespace
