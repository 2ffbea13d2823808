#include "platform/user/message_queue.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <thread>

#include "platform/base/thread_services.h"
#include "platform/user/input_injection.h"
#include "platform/user/paint_flags.h"
#include "platform/user/virtual_keys.h"
#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

using namespace std::chrono_literals;

class MessageQueue : public WindowTest {};

std::vector<UINT> TakeAll(HWND hwnd = 0, UINT min = 0, UINT max = 0) {
  std::vector<UINT> messages;
  MSG msg;
  while (PeekMessageA(&msg, hwnd, min, max, PM_REMOVE)) {
    messages.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
  }
  return messages;
}

TEST_F(MessageQueue, PostedMessagesComeInOrderAndTheQuitMessageAfterThem) {
  const HWND w = Keep(MakeWindow("W"));
  PostMessageA(w, WM_USER + 1, 10, 20);
  PostMessageA(0, WM_USER + 2, 0, 0);  // a thread message
  PostQuitMessage(7);
  PostMessageA(w, WM_USER + 3, 0, 0);
  std::vector<UINT> seen;
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, 0, 0, 0)) > 0) {
    seen.push_back(msg.message);
    if (msg.message == WM_USER + 1) {
      EXPECT_EQ(msg.hwnd, w);
      EXPECT_EQ(msg.wParam, 10u);
      EXPECT_EQ(msg.lParam, 20);
    }
  }
  EXPECT_EQ(got, 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
  EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) << "taking the quit message clears it";
}

TEST_F(MessageQueue, PeekMessageFiltersByWindowAndRange) {
  const HWND p = Keep(MakeWindow("P"));
  const HWND c = MakeChild("C", p);
  const HWND other = Keep(MakeWindow("O"));
  struct Case {
    const char* name;
    HWND hwnd;
    UINT min, max;
    std::vector<UINT> expected;
  };
  // Posted: p:U+1, c:U+2, other:U+3, thread:U+4, p:WM_APP.
  const Case cases[] = {
      {"all", 0, 0, 0, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4, WM_APP}},
      {"window and its children", p, 0, 0, {WM_USER + 1, WM_USER + 2, WM_APP}},
      {"child only", c, 0, 0, {WM_USER + 2}},
      {"thread messages", static_cast<HWND>(-1), 0, 0, {WM_USER + 4}},
      {"range", 0, WM_USER + 2, WM_USER + 3, {WM_USER + 2, WM_USER + 3}},
      {"window and range", p, WM_APP, WM_APP, {WM_APP}},
      {"reversed range filters nothing", 0, WM_USER + 3, WM_USER + 2,
       {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4, WM_APP}},
  };
  for (const Case& test : cases) {
    PostMessageA(p, WM_USER + 1, 0, 0);
    PostMessageA(c, WM_USER + 2, 0, 0);
    PostMessageA(other, WM_USER + 3, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 0, 0);
    PostMessageA(p, WM_APP, 0, 0);
    EXPECT_EQ(TakeAll(test.hwnd, test.min, test.max), test.expected) << test.name;
    Drain();
  }
}

TEST_F(MessageQueue, NoRemoveLeavesTheMessageAndQuitIgnoresEveryFilter) {
  const HWND w = Keep(MakeWindow("W"));
  PostMessageA(w, WM_USER, 1, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  PostQuitMessage(3);
  EXPECT_TRUE(PeekMessageA(&msg, w, WM_APP, WM_APP, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER, WM_QUIT}));
}

TEST_F(MessageQueue, BadWindowHandles) {
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, 0x7FFFFFF0, 0, 0), -1);
  EXPECT_FALSE(PeekMessageA(&msg, 0x7FFFFFF0, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(0x7FFFFFF0, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(SendMessageA(0x7FFFFFF0, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostThreadMessageA(0xFFFFFFF0, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);

  const HWND w = MakeWindow("W");
  PostMessageA(w, WM_USER, 0, 0);
  DestroyWindow(w);
  EXPECT_EQ(TakeAll(), std::vector<UINT>{}) << "a destroyed window's messages go with it";
}

TEST_F(MessageQueue, TranslateMessagePostsTheCharacterOfAKey) {
  const HWND w = Keep(MakeWindow("W"));
  struct Case {
    WPARAM key;
    UINT down;
    int character;  // -1: none
  };
  const Case cases[] = {
      {'A', WM_KEYDOWN, 'a'},      {'7', WM_KEYDOWN, '7'},           {static_cast<WPARAM>(VK_NUMPAD0 + 3), WM_KEYDOWN, '3'},
      {static_cast<WPARAM>(VK_RETURN), WM_KEYDOWN, '\r'},  {static_cast<WPARAM>(VK_OEM_COMMA), WM_KEYDOWN, ','},
      {static_cast<WPARAM>(VK_SHIFT), WM_KEYDOWN, -1},     {static_cast<WPARAM>(VK_LEFT), WM_KEYDOWN, -1},
      {'A', WM_KEYUP, -1},         {'X', WM_SYSKEYDOWN, 'x'},
  };
  for (const Case& c : cases) {
    const MSG key{w, c.down, c.key, 0x1E0001, 0, {}, 0};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg;
    if (c.character < 0) {
      EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) << c.key;
      continue;
    }
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) << c.key;
    EXPECT_EQ(msg.message, c.down == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c.character));
    EXPECT_EQ(msg.lParam, 0x1E0001);
  }
  const MSG notKey{w, WM_USER, 0, 0, 0, {}, 0};
  EXPECT_FALSE(TranslateMessage(&notKey));
}

TEST_F(MessageQueue, CtrlWithALetterGivesItsControlCharacter) {
  const HWND w = Keep(MakeWindow("W"));
  const auto characterOf = [w](WPARAM key) -> int {
    const MSG down{w, WM_KEYDOWN, key, 0x1E0001, 0, {}, 0};
    TranslateMessage(&down);
    MSG msg;
    return PeekMessageA(&msg, 0, WM_CHAR, WM_CHAR, PM_REMOVE) ? static_cast<int>(msg.wParam) : -1;
  };
  const auto hold = [](BYTE key, bool down) {
    platform::InjectKey(key, down);
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  };
  hold(VK_CONTROL, true);
  EXPECT_EQ(characterOf('C'), 0x03) << "Ctrl+C is a control character, not a letter to type";
  EXPECT_EQ(characterOf('V'), 0x16);
  EXPECT_EQ(characterOf('1'), -1);
  hold(VK_CONTROL, false);
  EXPECT_EQ(characterOf('C'), 'c');
}

TEST_F(MessageQueue, PaintComesWhenNothingElseWaitsUntilTheWindowIsValidated) {
  const HWND w = Keep(MakeWindow("W"));
  platform::SetWindowNeedsPaint(w, true);
  PostMessageA(w, WM_USER, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT) << "paint stays until validated";
    EXPECT_EQ(msg.hwnd, w);
  }
  PostQuitMessage(0);
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT) << "the quit message comes before painting";
  EXPECT_FALSE(PeekMessageA(&msg, 0, WM_USER, WM_APP, PM_REMOVE)) << "outside the range";
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
  DispatchMessageA(&msg);  // DefWindowProcA validates
  EXPECT_FALSE(platform::WindowNeedsPaint(w));
  EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueue, DispatchCallsTheProcedureOfTheMessagesWindow) {
  const HWND w = Keep(MakeWindow("W"));
  Logged().hook = [](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    result = static_cast<LRESULT>(wParam) * 2;
    return message == WM_USER;
  };
  PostMessageA(w, WM_USER, 21, 0);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, 0, 0, 0));
  EXPECT_EQ(DispatchMessageA(&msg), 42);
  const MSG threadMessage{0, WM_USER, 21, 0, 0, {}, 0};
  EXPECT_EQ(DispatchMessageA(&threadMessage), 0);
}

TEST_F(MessageQueue, QueueStatusTellsWhatIsThereAndWhatIsNew) {
  PostMessageA(0, WM_USER, 0, 0);
  DWORD status = GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(LOWORD(status) & QS_POSTMESSAGE, QS_POSTMESSAGE);
  EXPECT_EQ(HIWORD(status) & QS_POSTMESSAGE, QS_POSTMESSAGE);
  status = GetQueueStatus(QS_ALLINPUT);
  EXPECT_EQ(LOWORD(status), 0) << "no longer new";
  EXPECT_EQ(HIWORD(status) & QS_POSTMESSAGE, QS_POSTMESSAGE);
  Drain();
  EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), 0u);
}

TEST_F(MessageQueue, WaitsEndWithTheirTimeoutOrWithNewMessages) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 29ms);

  PostMessageA(0, WM_USER, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_TIMER), WAIT_TIMEOUT) << "masked out";
  Drain();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT) << "seen already";
  EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);

  // A message from another thread wakes a thread blocked in GetMessageA and in WaitMessage.
  const DWORD self = GetCurrentThreadId();
  std::thread poster([self] {
    std::this_thread::sleep_for(20ms);
    PostThreadMessageA(self, WM_USER + 5, 0, 0);
    std::this_thread::sleep_for(20ms);
    PostThreadMessageA(self, WM_USER + 6, 0, 0);
  });
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
  EXPECT_EQ(msg.message, WM_USER + 5u);
  EXPECT_TRUE(WaitMessage());
  ASSERT_TRUE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 6u);
  poster.join();
}

int g_waits = 0;
void PollingWait(int fd, int timeoutMs) {
  ++g_waits;
  pollfd p{fd, POLLIN, 0};
  poll(&p, 1, timeoutMs);
}

TEST_F(MessageQueue, AWaitFunctionWaitsOnTheWakeDescriptor) {
  const auto previous = platform::SetQueueWaitFunction(&PollingWait);
  const int fd = platform::QueueWakeFd();
  ASSERT_GE(fd, 0);
  const DWORD self = GetCurrentThreadId();
  std::thread poster([self] {
    std::this_thread::sleep_for(20ms);
    PostThreadMessageA(self, WM_USER, 0, 0);
  });
  MSG msg;
  ASSERT_EQ(GetMessageA(&msg, 0, 0, 0), 1);
  poster.join();
  EXPECT_GE(g_waits, 1);
  pollfd p{fd, POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 0) << "looking at the queue drains the descriptor";
  PostMessageA(0, WM_USER, 0, 0);
  EXPECT_EQ(poll(&p, 1, 0), 1) << "new content makes it readable";
  platform::SetQueueWaitFunction(previous);
}

TEST_F(MessageQueue, InputComesAfterPostedMessages) {
  const HWND w = Keep(MakeWindow("W"));
  platform::PostInputMessage(MSG{w, WM_KEYDOWN, 'A', 0, 0, {}, 0});
  PostMessageA(w, WM_USER, 0, 0);
  EXPECT_EQ(HIWORD(GetQueueStatus(QS_ALLINPUT)) & QS_KEY, QS_KEY);
  EXPECT_EQ(TakeAll(), (std::vector<UINT>{WM_USER, WM_KEYDOWN}));
}

}  // namespace
}  // namespace quorlin::testing
