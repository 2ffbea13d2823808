#include "platform/user/focus.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "platform/base/thread_services.h"
#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

using Log = std::vector<std::string>;

class Focus : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    SetFocus(0);
    SetActiveWindow(0);
    Logged().Take();
  }
};

TEST_F(Focus, SetFocusActivatesTheTopLevelWindowThenMovesTheFocus) {
  const HWND top = Keep(MakeWindow("P"));
  const HWND a = MakeChild("A", top);
  const HWND b = MakeChild("B", top);
  Logged().Take();
  EXPECT_EQ(SetFocus(a), 0u);
  EXPECT_EQ(Logged().Take(), (Log{"ACTIVATE P", "SETFOCUS P", "KILLFOCUS P", "SETFOCUS A"}));
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetForegroundWindow(), top);

  HWND focusDuringKill = 0;
  Logged().hook = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_KILLFOCUS) focusDuringKill = GetFocus();
    return false;
  };
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(Logged().Take(), (Log{"KILLFOCUS A", "SETFOCUS B"}));
  EXPECT_EQ(focusDuringKill, b) << "the window losing the focus already sees the new one";
  EXPECT_EQ(SetFocus(b), b);
  EXPECT_TRUE(Logged().Take().empty());
}

TEST_F(Focus, HidingDisablingAndDestroyingTakeTheFocusAway) {
  const HWND top = Keep(MakeWindow("P"));
  const HWND a = MakeChild("A", top, WS_VISIBLE);
  const HWND b = MakeChild("B", a, WS_VISIBLE);
  SetFocus(b);
  Logged().Take();

  EXPECT_TRUE(ShowWindow(a, SW_HIDE));
  EXPECT_EQ(Logged().Take(), (Log{"SHOWWINDOW A", "KILLFOCUS B", "SETFOCUS P"}));
  EXPECT_EQ(GetFocus(), top) << "a hidden child's focus goes to its parent";

  SetFocus(b);
  Logged().Take();
  EXPECT_FALSE(EnableWindow(a, FALSE));
  EXPECT_EQ(Logged().Take(), (Log{"KILLFOCUS B", "ENABLE A"}));
  EXPECT_EQ(GetFocus(), 0u);
  EXPECT_FALSE(IsWindowEnabled(a));
  EXPECT_TRUE(EnableWindow(a, TRUE)) << "it was disabled";
  EXPECT_TRUE(IsWindowEnabled(a));
  EXPECT_FALSE(EnableWindow(a, TRUE));
  Logged().Take();

  SetFocus(b);
  Logged().Take();
  DestroyWindow(a);
  EXPECT_EQ(Logged().Take(), (Log{"KILLFOCUS B", "SETFOCUS P", "DESTROY A", "DESTROY B", "NCDESTROY B", "NCDESTROY A"}));
}

TEST_F(Focus, ShowingATopLevelWindowActivatesItUnlessAskedNotTo) {
  const HWND first = Keep(MakeWindow("F"));
  const HWND second = Keep(MakeWindow("S"));
  Logged().Take();
  EXPECT_FALSE(ShowWindow(first, SW_SHOW));
  EXPECT_EQ(Logged().Take(), (Log{"SHOWWINDOW F", "ACTIVATE F", "SETFOCUS F"}));
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_FALSE(ShowWindow(second, SW_SHOWNA));
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_TRUE(ShowWindow(second, SW_SHOWMINIMIZED));
  EXPECT_TRUE(IsIconic(second));
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_EQ(GetFocus(), 0u) << "a minimised window takes no focus";
  EXPECT_EQ(Logged().Take(), (Log{"SHOWWINDOW S", "ACTIVATE F", "ACTIVATE S", "KILLFOCUS F"}));
  EXPECT_TRUE(ShowWindow(second, SW_HIDE));
  EXPECT_EQ(Logged().Take(), (Log{"SHOWWINDOW S", "ACTIVATE S", "ACTIVATE F", "SETFOCUS F"}))
      << "the activation goes to the next window";
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetForegroundWindow(), first);
  DestroyWindow(first);
  EXPECT_EQ(GetActiveWindow(), 0u);
  EXPECT_EQ(GetForegroundWindow(), 0u);
}

// The way the card application finds the focus window of the foreground window's thread.
HWND ForegroundFocus() {
  const HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(foreground, &process);
  const DWORD self = GetCurrentThreadId();
  if (thread == self) return GetFocus();
  EXPECT_TRUE(AttachThreadInput(thread, self, TRUE));
  const HWND focus = GetFocus();
  EXPECT_TRUE(AttachThreadInput(thread, self, FALSE));
  return focus;
}

TEST_F(Focus, AttachedInputShowsTheOtherThreadsFocus) {
  const HWND top = Keep(MakeWindow("P"));
  const HWND edit = MakeChild("E", top);
  SetFocus(edit);
  EXPECT_EQ(ForegroundFocus(), edit);

  std::thread([&] {
    EXPECT_EQ(GetFocus(), 0u) << "another thread's focus is not this thread's";
    EXPECT_EQ(ForegroundFocus(), edit);
    EXPECT_EQ(GetFocus(), 0u) << "detached again";
    EXPECT_EQ(SetFocus(edit), 0u) << "a window of an unattached thread";
  }).join();
  EXPECT_EQ(GetFocus(), edit) << "the focus stays with the window's thread";
  EXPECT_FALSE(AttachThreadInput(GetCurrentThreadId(), GetCurrentThreadId(), TRUE));
  EXPECT_FALSE(AttachThreadInput(GetCurrentThreadId(), 0xFFFFFFF0, TRUE));
}

}  // namespace
}  // namespace quorlin::testing
