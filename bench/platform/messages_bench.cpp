// The cost of the message path: a posted message taken and dispatched (target: under 1 µs),
// and a message sent to a window of another thread.
#include <benchmark/benchmark.h>

#include <future>
#include <thread>

#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"

namespace {

LRESULT CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) return static_cast<LRESULT>(wParam) + 1;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeBenchWindow() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CountingProc;
    wc.lpszClassName = "MessagesBenchWindow";
    return RegisterClassA(&wc) != 0;
  }();
  return registered ? CreateWindowExA(0, "MessagesBenchWindow", "", 0, 0, 0, 1, 1, 0, 0, 0, nullptr) : 0;
}

void PostPeekDispatch(benchmark::State& state) {
  const HWND window = MakeBenchWindow();
  MSG msg;
  LRESULT sum = 0;
  for (auto _ : state) {
    PostMessageA(window, WM_USER, 1, 0);
    PeekMessageA(&msg, 0, 0, 0, PM_REMOVE);
    sum += DispatchMessageA(&msg);
  }
  benchmark::DoNotOptimize(sum);
  DestroyWindow(window);
}
BENCHMARK(PostPeekDispatch);

// A hundred messages waiting, then all taken: the queue stays cheap when it is not empty.
void PostBatchThenPump(benchmark::State& state) {
  const HWND window = MakeBenchWindow();
  MSG msg;
  for (auto _ : state) {
    for (int i = 0; i < 100; ++i) PostMessageA(window, WM_USER, 1, 0);
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  state.SetItemsProcessed(state.iterations() * 100);
  DestroyWindow(window);
}
BENCHMARK(PostBatchThenPump);

void SendToAnotherThread(benchmark::State& state) {
  std::promise<HWND> made;
  std::thread receiver([&] {
    const HWND window = MakeBenchWindow();
    made.set_value(window);
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(window);
  });
  const HWND window = made.get_future().get();
  const DWORD receiverThread = GetWindowThreadProcessId(window, nullptr);
  LRESULT sum = 0;
  for (auto _ : state) sum += SendMessageA(window, WM_USER, 1, 0);
  benchmark::DoNotOptimize(sum);
  PostThreadMessageA(receiverThread, WM_QUIT, 0, 0);
  receiver.join();
}
BENCHMARK(SendToAnotherThread)->UseRealTime();

}  // namespace
