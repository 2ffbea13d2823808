#include "platform/user/timers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Timers : public WindowTest {};

// The WM_TIMER messages (as timer ids) waiting now, taken.
std::vector<UINT_PTR> TakeTimerMessages() {
  std::vector<UINT_PTR> ids;
  MSG msg;
  while (PeekMessageA(&msg, 0, WM_TIMER, WM_TIMER, PM_REMOVE)) ids.push_back(msg.wParam);
  return ids;
}

TEST_F(Timers, ATimerFiresAfterItsPeriodWithoutBusyWaiting) {
  const HWND w = Keep(MakeWindow("W"));
  ASSERT_NE(SetTimer(w, 5, 40, nullptr), 0u);
  const auto start = Clock::now();
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
  const auto waited = Clock::now() - start;
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.hwnd, w);
  EXPECT_EQ(msg.wParam, 5u);
  EXPECT_GE(waited, 39ms);
  EXPECT_LT(waited, 200ms);
  KillTimer(w, 5);
}

TEST_F(Timers, ExpiriesWhileNobodyLooksGiveOneMessagePerTimer) {
  const HWND w = Keep(MakeWindow("W"));
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 10, nullptr);
  std::this_thread::sleep_for(80ms);
  auto ids = TakeTimerMessages();
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<UINT_PTR>{1, 2}));
  EXPECT_TRUE(TakeTimerMessages().empty()) << "the next period has only begun";

  PostMessageA(w, WM_USER, 0, 0);
  std::this_thread::sleep_for(20ms);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER) << "timers wait behind posted messages";
  KillTimer(w, 1);
  KillTimer(w, 2);
}

TEST_F(Timers, KillTimerAndDestroyWindowEndTimersAndTheirPendingMessage) {
  const HWND w = MakeWindow("W");
  SetTimer(w, 1, 10, nullptr);
  SetTimer(w, 2, 10, nullptr);
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(KillTimer(w, 1));
  EXPECT_FALSE(KillTimer(w, 1));
  EXPECT_EQ(TakeTimerMessages(), std::vector<UINT_PTR>{2});
  DestroyWindow(w);
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(TakeTimerMessages().empty());
  EXPECT_EQ(SetTimer(w, 3, 10, nullptr), 0u) << "no timers for a window that is gone";
}

TEST_F(Timers, SettingAnIdAgainRestartsThatTimer) {
  const HWND w = Keep(MakeWindow("W"));
  SetTimer(w, 1, 10, nullptr);
  std::this_thread::sleep_for(30ms);
  SetTimer(w, 1, 500, nullptr);
  EXPECT_TRUE(TakeTimerMessages().empty()) << "the restarted timer has not expired";
  KillTimer(w, 1);
}

int g_procCalls = 0;
UINT_PTR g_procId = 0;
void CountingTimerProc(HWND, UINT message, UINT_PTR id, DWORD) {
  EXPECT_EQ(message, WM_TIMER);
  ++g_procCalls;
  g_procId = id;
}

TEST_F(Timers, ThreadTimersWithAProcedureAreCalledByDispatch) {
  g_procCalls = 0;
  const UINT_PTR id = SetTimer(0, 0, 10, &CountingTimerProc);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(SetTimer(0, id, 10, &CountingTimerProc), id) << "naming an existing thread timer replaces it";
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.hwnd, 0u);
  DispatchMessageA(&msg);
  EXPECT_EQ(g_procCalls, 1);
  EXPECT_EQ(g_procId, id);

  // A WM_TIMER whose procedure is not a live timer's is not called.
  EXPECT_TRUE(KillTimer(0, id));
  DispatchMessageA(&msg);
  const MSG forged{0, WM_TIMER, 99, reinterpret_cast<LPARAM>(&CountingTimerProc), 0, {}, 0};
  DispatchMessageA(&forged);
  EXPECT_EQ(g_procCalls, 1);
}

TEST_F(Timers, PeriodsAreKeptWithinTheirLimits) {
  const HWND w = Keep(MakeWindow("W"));
  SetTimer(w, 1, 0, nullptr);  // becomes USER_TIMER_MINIMUM
  const auto start = Clock::now();
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, 0, WM_TIMER, WM_TIMER), 1);
  EXPECT_GE(Clock::now() - start, 9ms);
  KillTimer(w, 1);
}

}  // namespace
}  // namespace quorlin::testing
