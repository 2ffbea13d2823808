#include "platform/user/window_core.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/base/thread_services.h"
#include "tests/platform/user/window_test_support.h"

namespace quorlin::testing {
namespace {

using Log = std::vector<std::string>;

class WindowCore : public WindowTest {};

TEST_F(WindowCore, CreationSendsNcCreateThenCreateAndShowsVisibleWindowsAfterwards) {
  const HWND parent = Keep(MakeWindow("P"));
  ASSERT_NE(parent, 0u);
  const HWND child = MakeChild("C", parent, WS_VISIBLE);
  ASSERT_NE(child, 0u);
  EXPECT_EQ(Logged().Take(), (Log{"NCCREATE P", "CREATE P", "NCCREATE C", "CREATE C", "SHOWWINDOW C"}));
  EXPECT_TRUE(GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowVisible(child)) << "its parent is hidden";
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), child);

  char title[8];
  EXPECT_EQ(GetWindowTextA(parent, title, sizeof title), 1);
  EXPECT_STREQ(title, "P");
}

TEST_F(WindowCore, DestructionReachesParentsBeforeChildrenAndEndsWithTheNcDestroyOfTheWindow) {
  const HWND p = MakeWindow("P");
  const HWND a = MakeChild("A", p);
  const HWND a1 = MakeChild("A1", a);
  const HWND b = MakeChild("B", p);
  Logged().Take();
  Logged().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_DESTROY && hwnd == p) {
      // While the window gets WM_DESTROY its children are still there.
      EXPECT_EQ(GetWindow(p, GW_CHILD), a);
      EXPECT_TRUE(IsWindow(a1));
    }
    if (message == WM_NCDESTROY && hwnd == p) {
      EXPECT_FALSE(IsWindow(a));
    }
    return false;
  };
  EXPECT_TRUE(DestroyWindow(p));
  EXPECT_EQ(Logged().Take(), (Log{"DESTROY P", "DESTROY A", "DESTROY A1", "DESTROY B", "NCDESTROY A1", "NCDESTROY A",
                                  "NCDESTROY B", "NCDESTROY P"}));
  for (HWND hwnd : {p, a, a1, b}) EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(DestroyWindow(p));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowCore, OwnedWindowsGoBeforeTheirOwner) {
  const HWND owner = MakeWindow("O");
  const HWND popup = MakeWindow("Q", WS_POPUP, owner);
  EXPECT_EQ(GetParent(popup), owner) << "a pop-up's parent is its owner";
  EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
  Logged().Take();
  DestroyWindow(owner);
  EXPECT_EQ(Logged().Take(), (Log{"DESTROY Q", "NCDESTROY Q", "DESTROY O", "NCDESTROY O"}));
}

TEST_F(WindowCore, RefusedCreationFailsAndLeavesNoWindow) {
  struct Case {
    UINT refused;
    LRESULT answer;
    Log expected;
  };
  const Case cases[] = {
      {WM_NCCREATE, FALSE, {"NCCREATE X", "NCDESTROY X"}},
      {WM_CREATE, -1, {"NCCREATE X", "CREATE X", "DESTROY X", "NCDESTROY X"}},
  };
  for (const Case& c : cases) {
    HWND seen = 0;
    Logged().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
      seen = hwnd;
      if (message != c.refused) return false;
      result = c.answer;
      return true;
    };
    EXPECT_EQ(MakeWindow("X"), 0u) << MessageName(c.refused);
    EXPECT_EQ(Logged().Take(), c.expected);
    EXPECT_FALSE(IsWindow(seen));
  }
}

TEST_F(WindowCore, CreationNeedsAClassAndAParentForChildWindows) {
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, 0, 0, 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_EQ(MakeWindow("X", WS_CHILD), 0u);
  EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
  EXPECT_EQ(MakeChild("X", 0x7FFFFFF0), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowCore, AWindowIsDestroyedOnceWhateverItsHandlersDo) {
  const HWND p = MakeWindow("P");
  const HWND c = MakeChild("C", p);
  int childDestroys = 0;
  Logged().hook = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_DESTROY) {
      // Each asks again for itself and for the other; none of it may repeat a message.
      EXPECT_TRUE(DestroyWindow(hwnd));
      DestroyWindow(hwnd == p ? c : p);
      if (hwnd == c) ++childDestroys;
    }
    return false;
  };
  Logged().Take();
  EXPECT_TRUE(DestroyWindow(c));
  EXPECT_EQ(childDestroys, 1);
  EXPECT_EQ(Logged().Take(), (Log{"DESTROY C", "DESTROY P", "NCDESTROY C", "NCDESTROY P"}));
  EXPECT_FALSE(IsWindow(p));
  EXPECT_FALSE(IsWindow(c));
}

TEST_F(WindowCore, CloseThroughDefWindowProcDestroysAndCreateHandlersMayDestroyToo) {
  const HWND w = MakeWindow("W");
  SendMessageA(w, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(w));

  Logged().hook = [](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_CREATE) DestroyWindow(hwnd);
    return false;
  };
  EXPECT_EQ(MakeWindow("Y"), 0u) << "a window destroyed while it was created is no result";
}

WNDPROC g_previous = nullptr;

// Subclass procedure: answers WM_USER itself and passes the rest on.
LRESULT SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) return 42;
  return CallWindowProcA(g_previous, hwnd, message, wParam, lParam);
}

TEST_F(WindowCore, SubclassingChainsToThePreviousProcedure) {
  const HWND w = Keep(MakeWindow("W"));
  g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  EXPECT_EQ(g_previous, &LoggingProc);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SubclassProc));
  EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 42);
  EXPECT_TRUE(SetWindowTextA(w, "new title"));  // reaches DefWindowProcA through both
  char title[16];
  EXPECT_EQ(GetWindowTextA(w, title, sizeof title), 9);
  EXPECT_STREQ(title, "new title");
}

TEST_F(WindowCore, WindowWordsAndExtraBytes) {
  const HWND w = Keep(MakeWindow("W"));
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, 0x1234567890), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0x1234567890);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_ID, 7), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, GWLP_ID), 7);

  // The class has 16 extra bytes: two pointer-sized words, the second ending at byte 16.
  EXPECT_EQ(SetWindowLongPtrA(w, 8, -5), 0);
  EXPECT_EQ(GetWindowLongPtrA(w, 8), -5);
  EXPECT_EQ(GetWindowLongA(w, 12), -1);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(w, 9), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  SetLastError(0);
  EXPECT_EQ(SetWindowLongA(w, 13, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
  EXPECT_EQ(GetWindowLongPtrA(w, -100), 0);

  // Style changes go through WM_STYLECHANGING, which may alter them.
  Logged().hook = [](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
    if (message == WM_STYLECHANGING) reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_BORDER;
    return false;
  };
  const LONG_PTR old = SetWindowLongPtrA(w, GWL_STYLE, WS_POPUP);
  EXPECT_EQ(static_cast<DWORD>(old), WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_POPUP | WS_BORDER);
}

TEST_F(WindowCore, PropertiesAreNamedWithoutCase) {
  const HWND w = Keep(MakeWindow("W"));
  EXPECT_TRUE(SetPropA(w, "Colour", 11));
  EXPECT_TRUE(SetPropA(w, MAKEINTATOM(5), 22));
  EXPECT_EQ(GetPropA(w, "COLOUR"), 11u);
  EXPECT_EQ(GetPropA(w, "#5"), 22u);
  EXPECT_TRUE(SetPropA(w, "colour", 33));
  EXPECT_EQ(RemovePropA(w, "Colour"), 33u);
  EXPECT_EQ(GetPropA(w, "Colour"), 0u);
  EXPECT_FALSE(SetPropA(w, nullptr, 1));
}

TEST_F(WindowCore, TitlesAreCutOnlyBetweenCharacters) {
  const HWND w = Keep(MakeWindow("W"));
  const char* title = "a\xB0\xC9\xC1\xE4";  // "a吧龄"
  SetWindowTextA(w, title);
  EXPECT_EQ(GetWindowTextLengthA(w), 5);
  struct Case {
    int buffer;
    const char* expected;
  };
  for (const Case& c : {Case{1, ""}, Case{2, "a"}, Case{3, "a"}, Case{4, "a\xB0\xC9"}, Case{5, "a\xB0\xC9"},
                        Case{6, "a\xB0\xC9\xC1\xE4"}}) {
    char text[8];
    std::memset(text, 'z', sizeof text);
    const int n = GetWindowTextA(w, text, c.buffer);
    EXPECT_STREQ(text, c.expected) << "buffer " << c.buffer;
    EXPECT_EQ(n, static_cast<int>(std::strlen(c.expected)));
  }
}

TEST_F(WindowCore, TheTreeAnswersInZOrder) {
  const HWND p = Keep(MakeWindow("Tree P"));
  const HWND a = MakeChild("A", p);
  const HWND b = MakeChild("B", p);
  const HWND b1 = MakeChild("B1", b);
  // New children go to the bottom, so the first created is on top.
  EXPECT_EQ(GetWindow(p, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), 0u);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), b);
  EXPECT_TRUE(IsChild(p, b1));
  EXPECT_FALSE(IsChild(a, b1));
  EXPECT_EQ(GetAncestor(b1, GA_ROOT), p);

  std::vector<HWND> seen;
  EnumChildWindows(p, [](HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a, b, b1}));

  EXPECT_EQ(FindWindowA(LoggingClass, "tree p"), p);
  EXPECT_EQ(FindWindowA("testloggingwindow", nullptr), FindWindowA(LoggingClass, nullptr));
  EXPECT_EQ(FindWindowA(LoggingClass, "A"), 0u) << "children are not top-level windows";
  EXPECT_EQ(FindWindowExA(p, a, nullptr, "b"), b);

  DWORD process = 0;
  EXPECT_EQ(GetWindowThreadProcessId(b1, &process), GetCurrentThreadId());
  EXPECT_EQ(process, GetCurrentProcessId());
}

TEST_F(WindowCore, NamesAreMatchedWithoutCaseButDoubleByteCharactersExactly) {
  // The second byte of 吧 (B0 C9) and of 夷 (D2 C4) … and an ASCII-range one: 丂 is 81 40.
  const HWND w = Keep(MakeWindow("x\x81\x40"));
  EXPECT_EQ(FindWindowA(nullptr, "X\x81\x40"), w);
  EXPECT_EQ(FindWindowA(nullptr, "x\x81\x60"), 0u) << "0x40 and 0x60 differ as the second byte";
}

TEST_F(WindowCore, ClassesAreUniqueAndStayWhileTheyHaveWindows) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DefWindowProcA;
  wc.lpszClassName = "TestClassLife";
  wc.cbWndExtra = 8;
  const ATOM atom = RegisterClassA(&wc);
  ASSERT_NE(atom, 0);
  wc.lpszClassName = "TESTCLASSLIFE";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  WNDCLASSA info{};
  EXPECT_TRUE(GetClassInfoA(0, "testclasslife", &info));
  EXPECT_EQ(info.cbWndExtra, 8);
  EXPECT_EQ(info.lpfnWndProc, &DefWindowProcA);

  const HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "t", 0, 0, 0, 1, 1, 0, 0, 0, nullptr);
  ASSERT_NE(w, 0u);
  char name[32];
  EXPECT_EQ(GetClassNameA(w, name, sizeof name), 13);
  EXPECT_STREQ(name, "TestClassLife");
  EXPECT_FALSE(UnregisterClassA("TestClassLife", 0));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("TestClassLife", 0));
  EXPECT_FALSE(GetClassInfoA(0, "TestClassLife", &info));

  for (int bad : {-1, 1 << 20}) {
    WNDCLASSA wrong = wc;
    wrong.lpszClassName = "TestClassBadExtra";
    wrong.cbWndExtra = bad;
    EXPECT_EQ(RegisterClassA(&wrong), 0) << bad;
  }
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof ex - 1;
  ex.lpfnWndProc = &DefWindowProcA;
  ex.lpszClassName = "TestClassEx";
  EXPECT_EQ(RegisterClassExA(&ex), 0);
}

TEST_F(WindowCore, SetIconKeepsTheIconsAndAnswersTheOneReplaced) {
  const HWND w = Keep(MakeWindow("W"));
  const auto big = static_cast<HICON>(0x1234), small = static_cast<HICON>(0x5678);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL2, 0), 0);
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, static_cast<LPARAM>(big)), 0);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL2, 0), static_cast<LRESULT>(big)) << "no small icon: the big one";
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(small)), 0);
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_SMALL2, 0), static_cast<LRESULT>(small));
  EXPECT_EQ(SendMessageA(w, WM_SETICON, ICON_BIG, 0), static_cast<LRESULT>(big));
  EXPECT_EQ(SendMessageA(w, WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(WindowCore, WindowsBelongToTheirThreadAndGoWithIt) {
  HWND foreign = 0;
  std::thread([&] {
    foreign = MakeWindow("F");
    EXPECT_NE(foreign, 0u);
  }).join();
  EXPECT_FALSE(IsWindow(foreign)) << "a thread's windows end with the thread";
  EXPECT_EQ(Logged().Take(), (Log{"NCCREATE F", "CREATE F"}));

  const HWND mine = Keep(MakeWindow("M"));
  std::thread([&] {
    EXPECT_FALSE(DestroyWindow(mine));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_NE(GetWindowThreadProcessId(mine, nullptr), GetCurrentThreadId());
  }).join();
  EXPECT_TRUE(IsWindow(mine));
}

}  // namespace
}  // namespace quorlin::testing
