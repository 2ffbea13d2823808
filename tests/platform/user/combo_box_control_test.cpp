// The COMBOBOX class: its item messages, and the list pop-up driven through the real input paths.
#include <string>

#include "platform/gdi/sys_colors.h"
#include "platform/user/combo_box_control.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_geometry.h"
#include "tests/platform/user/control_test_support.h"

namespace quorlin::testing {
namespace {

class ComboBoxControlTest : public ControlTest {
 protected:
  HWND MakeCombo(std::initializer_list<const char*> items, int selected = 0, DWORD style = CBS_DROPDOWNLIST) {
    const HWND combo = Control("COMBOBOX", "", style | WS_VSCROLL, 20, 20, 150, 160);
    for (const char* item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    Pump();
    Parent().commands.clear();
    return combo;
  }
  static std::vector<WORD> Codes() {
    std::vector<WORD> codes;
    for (WPARAM w : Parent().commands) codes.push_back(HIWORD(w));
    return codes;
  }
  static RECT ListRect(HWND combo) {
    RECT r{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  static std::string Text(HWND combo) {
    char buffer[64] = {};
    GetWindowTextA(combo, buffer, sizeof buffer);
    return buffer;
  }
  static void Press(BYTE key) {
    Key(key, true);
    Key(key, false);
  }
  // Screen point to parent client point, for MoveTo.
  static void MoveToScreen(int x, int y) { MoveTo(x - kParentX, y - kParentY); }
};

TEST_F(ComboBoxControlTest, ItemMessages) {
  const HWND combo = MakeCombo({"one", "two"}, -1);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zero")), 0);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("three")), 3);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
  char buffer[16];
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "one");
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 3, 0), 5);
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("TWO")), 2);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("tw")), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 2, reinterpret_cast<LPARAM>("t")), 3) << "searches after the start";

  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(Text(combo), "two");
  EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 2, 77), TRUE);
  EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "the current item moves with its item";
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 77);
  EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 1, 0), 2);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR) << "deleting the current item leaves none";
  EXPECT_EQ(Text(combo), "");
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), CB_ERR);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(Parent().commands.empty()) << "program changes never notify";

  const HWND sorted = Control("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_SORT, 20, 60, 100, 100, 8);
  for (const char* item : {"b", "C", "a"}) SendMessageA(sorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(SendMessageA(sorted, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("a")), 0);
  EXPECT_EQ(SendMessageA(sorted, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("c")), 2);
}

TEST_F(ComboBoxControlTest, BoxKeepsItsFieldHeightAndTheRestBoundsTheList) {
  const HWND combo = MakeCombo({"a", "b", "c"});
  RECT box;
  GetWindowRect(combo, &box);
  const int field = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  EXPECT_EQ(box.bottom - box.top, field + 6);
  EXPECT_EQ(ListRect(combo).bottom - ListRect(combo).top, 160) << "closed: the whole height given";
  SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 30);
  GetWindowRect(combo, &box);
  EXPECT_EQ(box.bottom - box.top, 36);
  EXPECT_EQ(SendMessageA(combo, CB_SETITEMHEIGHT, 0, 0), CB_ERR);
}

TEST_F(ComboBoxControlTest, ClickOpensTheListBelowAndAClickOnAnItemChoosesIt) {
  const HWND combo = MakeCombo({"alpha", "beta", "gamma"});
  RECT box;
  GetWindowRect(combo, &box);
  MoveToScreen(box.left + 20, box.top + 5);
  Button(true);
  Button(false);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(GetFocus(), combo);
  const RECT list = ListRect(combo);
  EXPECT_EQ(list.left, box.left);
  EXPECT_EQ(list.top, box.bottom) << "right below the box, in screen coordinates";
  EXPECT_EQ(list.right, box.right);
  const HWND popup = WindowFromPoint(POINT{list.left + 5, list.top + 5});
  EXPECT_EQ(GetCapture(), popup);
  EXPECT_TRUE(GetWindowLongPtrA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const int item = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  MoveToScreen(list.left + 10, list.top + 1 + 2 * item + item / 2);  // over "gamma"
  const int right = list.right - list.left - 8;
  EXPECT_EQ(PixelOf(popup, right, 2 * item + item / 2), GetSysColor(COLOR_HIGHLIGHT)) << "hover highlights";
  EXPECT_NE(PixelOf(popup, right, item / 2), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0) << "hovering does not choose";
  Button(true);
  Button(false);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Text(combo), "gamma");
  EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
  EXPECT_EQ(GetCapture(), HWND{0});
}

TEST_F(ComboBoxControlTest, EscapeAndClicksOutsideKeepTheOldSelection) {
  const HWND combo = MakeCombo({"alpha", "beta", "gamma"}, 1);
  SetFocus(combo);
  Pump();
  Parent().commands.clear();
  Press(VK_F1 + 3);  // F4
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "with the list open keys move the highlight only";
  Press(VK_ESCAPE);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));

  Parent().commands.clear();
  Key(VK_MENU, true);
  Press(VK_DOWN);
  Key(VK_MENU, false);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) << "Alt+Down opens";
  MoveTo(280, 180);  // outside box and list
  Button(true);
  Button(false);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboBoxControlTest, ArrowKeysChooseWithTheListClosed) {
  const HWND combo = MakeCombo({"alpha", "beta", "gamma"}, 0);
  SetFocus(combo);
  Pump();
  Parent().commands.clear();
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  Press(VK_END);
  Press(VK_DOWN);  // already the last: no change, no notification
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  Press(VK_HOME);
  EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(PixelOf(combo, 6, 6), GetSysColor(COLOR_HIGHLIGHT)) << "the focused box highlights its item";
  SetFocus(parent_);
  Pump();
  EXPECT_EQ(Codes().back(), CBN_KILLFOCUS);
  EXPECT_NE(PixelOf(combo, 6, 6), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(ComboBoxControlTest, ListOpensAboveWhenTheScreenHasNoRoomBelow) {
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const HWND low = CreateWindowExA(0, "TestControlParent", "", WS_POPUP | WS_VISIBLE, 100, screenHeight - 60, 300, 60, 0, 0,
                                   0, nullptr);
  const HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150, 160, low,
                                     static_cast<HMENU>(9), 0, nullptr);
  for (const char* item : {"a", "b", "c", "d"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  RECT box;
  GetWindowRect(combo, &box);
  const RECT list = ListRect(combo);
  EXPECT_EQ(list.bottom, box.top);
  EXPECT_EQ(list.bottom - list.top, 4 * SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0) + 2);
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  DestroyWindow(low);
}

TEST_F(ComboBoxControlTest, DropDownKeepsItsTextInAnEditField) {
  const HWND combo = MakeCombo({"alpha", "beta"}, 1, CBS_DROPDOWN);
  EXPECT_EQ(Text(combo), "beta");
  SetFocus(combo);
  Pump();
  const HWND edit = GetFocus();
  EXPECT_NE(edit, combo) << "the edit field takes the focus";
  EXPECT_EQ(GetParent(edit), combo);
  platform::InjectCharacters("!");
  Pump();
  EXPECT_EQ(Text(combo), "!") << "typing replaced the selected text";
  const std::vector<WORD> codes = Codes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITCHANGE), codes.end());
  EXPECT_EQ(codes.front(), CBN_SETFOCUS);
  Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1) << "already the last item";
  Press(VK_UP);
  EXPECT_EQ(Text(combo), "alpha") << "arrow keys in the field choose items";
  Press(VK_F1 + 3);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  Press(VK_ESCAPE);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
}

}  // namespace
}  // namespace quorlin::testing
