#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/base/thread_services.h"
#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

using namespace std::chrono_literals;

constexpr UINT Ask = WM_USER + 10;         // answers wParam + 1 after lParam milliseconds
constexpr UINT AskBack = WM_USER + 11;     // sends Ask to the window in wParam, answers its answer
constexpr UINT AskAndReply = WM_USER + 12; // replies wParam at once, then sleeps lParam ms

std::atomic<bool> g_inSendSeen{false};

bool AnswerTestMessages(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case Ask:
      g_inSendSeen = InSendMessage() != FALSE;
      std::this_thread::sleep_for(std::chrono::milliseconds(lParam));
      result = static_cast<LRESULT>(wParam) + 1;
      return true;
    case AskBack: result = SendMessageA(static_cast<HWND>(wParam), Ask, 100, 0); return true;
    case AskAndReply:
      ReplyMessage(static_cast<LRESULT>(wParam));
      std::this_thread::sleep_for(std::chrono::milliseconds(lParam));
      result = -1;
      return true;
    default: return false;
  }
}

// A thread with a window of its own, pumping messages until it is stopped.
class PumpingThread {
 public:
  PumpingThread() {
    std::promise<HWND> made;
    auto future = made.get_future();
    thread_ = std::thread([this, &made] {
      threadId_ = GetCurrentThreadId();
      made.set_value(MakeWindow("T"));
      MSG msg;
      while (GetMessageA(&msg, 0, 0, 0) > 0) DispatchMessageA(&msg);
    });
    window_ = future.get();
  }
  ~PumpingThread() { Stop(); }
  void Stop() {
    if (!thread_.joinable()) return;
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  HWND window() const { return window_; }
  DWORD threadId() const { return threadId_; }

 private:
  std::thread thread_;
  HWND window_ = 0;
  DWORD threadId_ = 0;
};

class SendMessage : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Logged().hook = &AnswerTestMessages;
  }
};

TEST_F(SendMessage, OnTheSameThreadItCallsTheProcedureDirectly) {
  const HWND w = Keep(MakeWindow("W"));
  g_inSendSeen = true;
  EXPECT_EQ(SendMessageA(w, Ask, 4, 0), 5);
  EXPECT_FALSE(g_inSendSeen) << "InSendMessage is only for messages from other threads";
  EXPECT_TRUE(SendNotifyMessageA(w, Ask, 4, 0));
}

TEST_F(SendMessage, ToAnotherThreadItBlocksUntilHandledAndReturnsTheAnswer) {
  PumpingThread other;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendMessageA(other.window(), Ask, 41, 50), 42);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_TRUE(g_inSendSeen);

  // Window text goes through the window's own thread too.
  EXPECT_TRUE(SetWindowTextA(other.window(), "remote"));
  char text[16];
  EXPECT_EQ(GetWindowTextA(other.window(), text, sizeof text), 6);
  EXPECT_STREQ(text, "remote");
}

TEST_F(SendMessage, TwoThreadsSendingToEachOtherDoNotDeadlock) {
  PumpingThread other;
  const HWND mine = Keep(MakeWindow("M"));
  // The other thread's handler sends back to this thread's window while this thread waits.
  EXPECT_EQ(SendMessageA(other.window(), AskBack, mine, 0), 101);
}

TEST_F(SendMessage, ReplyMessageLetsTheSenderGoOnAtOnce) {
  PumpingThread other;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SendMessageA(other.window(), AskAndReply, 9, 200), 9);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 150ms);
}

TEST_F(SendMessage, TimeoutsAndEndedThreadsAreBounded) {
  PumpingThread other;
  DWORD_PTR result = 77;
  EXPECT_EQ(SendMessageTimeoutA(other.window(), Ask, 1, 300, SMTO_NORMAL, 20, &result), 0);
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(result, 0u);
  EXPECT_EQ(SendMessageTimeoutA(other.window(), Ask, 1, 0, SMTO_BLOCK, 5000, &result), 1);
  EXPECT_EQ(result, 2u);

  // A thread that ends without looking at its queue answers what waits for it with 0.
  std::promise<HWND> made;
  std::promise<void> release;
  std::thread silent([&] {
    made.set_value(MakeWindow("S"));
    release.get_future().wait();
  });
  const HWND silentWindow = made.get_future().get();
  std::thread releaser([&] {
    std::this_thread::sleep_for(30ms);
    release.set_value();
  });
  EXPECT_EQ(SendMessageA(silentWindow, Ask, 1, 0), 0);
  silent.join();
  releaser.join();
  EXPECT_FALSE(IsWindow(silentWindow));
}

TEST_F(SendMessage, NotifyMessagesDoNotWait) {
  PumpingThread other;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(SendNotifyMessageA(other.window(), Ask, 1, 100));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 80ms);
}

}  // namespace
}  // namespace quorlin::testing
