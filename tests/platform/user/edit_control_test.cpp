// The EDIT class: its GBK text model, and the control driven through the real input paths.
#include <algorithm>
#include <string>
#include <utility>

#include "platform/gdi/sys_colors.h"
#include "platform/shell/clipboard.h"
#include "platform/user/edit_control.h"
#include "platform/user/edit_control_caret.h"
#include "platform/user/edit_control_text.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_geometry.h"
#include "tests/platform/user/control_test_support.h"

namespace quorlin::testing {
namespace {

using platform::EditText;

// "a中b" with 中 = D6 D0, and 癆 = B0 41 whose trail byte looks like 'A'.
const std::string kZhong = "\xD6\xD0";
const std::string kTrailA = "\xB0\x41";

TEST(EditTextTest, CharacterBoundariesNeverSplitADoubleByteCharacterOrCrLf) {
  EditText text;
  text.SetText("a" + kZhong + "b\r\nc" + kTrailA);  // a 中 b \r\n c 癆 : offsets 0 1 3 4 6 7 9
  const size_t boundaries[] = {0, 1, 3, 4, 6, 7, 9};
  size_t at = 0;
  for (size_t expected : boundaries) {
    EXPECT_EQ(at, expected);
    at = text.Next(at);
  }
  EXPECT_EQ(text.Previous(9), 7u);
  EXPECT_EQ(text.Previous(4), 3u);
  EXPECT_EQ(text.Snap(2), 1u) << "inside 中";
  EXPECT_EQ(text.Snap(5), 4u) << "between \\r and \\n";
  EXPECT_EQ(text.Snap(8), 7u) << "a trail byte in the ASCII range";
  text.Select(2, 8);
  EXPECT_EQ(text.SelectionStart(), 1u);
  EXPECT_EQ(text.SelectionEnd(), 7u);
  EXPECT_EQ(text.Lines(true).size(), 2u);
  EXPECT_EQ(text.Lines(false).size(), 1u);
}

TEST(EditTextTest, LimitCutsInsertedTextBetweenCharacters) {
  struct Row {
    size_t limit;
    std::string before, inserted, after;
    bool truncated;
  } rows[] = {
      {4, "ab", kZhong, "ab" + kZhong, false},
      {3, "ab", kZhong, "ab", true},  // half a character is not kept
      {4, "ab", "c" + kZhong + "d", "abc", true},
      {2, "abc", "x", "abc", true},  // already over the limit: nothing more
  };
  for (const Row& row : rows) {
    EditText text;
    text.SetText(row.before);
    text.SetLimit(row.limit);
    text.Select(row.before.size(), row.before.size());
    const EditText::Change change = text.ReplaceSelection(row.inserted, true);
    EXPECT_EQ(text.Text(), row.after) << row.limit;
    EXPECT_EQ(change.truncated, row.truncated) << row.limit;
    EXPECT_EQ(text.Caret(), row.after.size());
  }
}

TEST(EditTextTest, CaseConversionLeavesTrailBytesAlone) {
  EXPECT_EQ(platform::GbkToLower("AB" + kTrailA + "C"), "ab" + kTrailA + "c");
  EXPECT_EQ(platform::GbkToUpper("x\xB0\x61y"), "X\xB0\x61Y");
  EXPECT_EQ(platform::GbkCharacterCount("a" + kZhong + "\r\n"), 3u);
}

class EditControlTest : public ControlTest {
 protected:
  HWND MakeEdit(DWORD style = ES_AUTOHSCROLL, const char* text = "", int width = 150) {
    const HWND edit = Control("EDIT", text, style, 10, 10, width, 22);
    SetFocus(edit);
    Pump();
    Parent().commands.clear();
    return edit;
  }
  static std::string Text(HWND edit) {
    char buffer[256] = {};
    GetWindowTextA(edit, buffer, sizeof buffer);
    return buffer;
  }
  static std::pair<DWORD, DWORD> Sel(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  static void Type(std::string_view gbk) {
    platform::InjectCharacters(gbk);
    Pump();
  }
  static void Press(BYTE key) {
    Key(key, true);
    Key(key, false);
  }
  static void Chord(BYTE modifier, BYTE key) {
    Key(modifier, true);
    Press(key);
    Key(modifier, false);
  }
  static std::vector<WORD> Codes() {
    std::vector<WORD> codes;
    for (WPARAM w : Parent().commands) codes.push_back(HIWORD(w));
    return codes;
  }
};

TEST_F(EditControlTest, TypingAndCaretMovesOverMixedText) {
  const HWND edit = MakeEdit();
  Type("ab" + kZhong + "c");
  EXPECT_EQ(Text(edit), "ab" + kZhong + "c");
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{5}, DWORD{5}));
  Press(VK_LEFT);
  Press(VK_LEFT);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{2}, DWORD{2})) << "中 is stepped over as one";
  POINT caret{};
  GetCaretPos(&caret);
  const LRESULT expected = SendMessageA(edit, EM_POSFROMCHAR, 2, 0);
  EXPECT_EQ(caret.x, GET_X_LPARAM(expected)) << "the caret follows";
  EXPECT_EQ(caret.y, GET_Y_LPARAM(expected));
  Chord(VK_SHIFT, VK_RIGHT);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{2}, DWORD{4}));
  Type("x");
  EXPECT_EQ(Text(edit), "abxc") << "typing replaces the selection";
  Type(kZhong);
  Press(VK_BACK);
  EXPECT_EQ(Text(edit), "abxc") << "Backspace removes both bytes";
  Press(VK_HOME);
  Press(VK_DELETE);
  EXPECT_EQ(Text(edit), "bxc");
  Press(VK_END);
  Chord(VK_SHIFT, VK_HOME);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{3}));
  Press(VK_RIGHT);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{3}, DWORD{3})) << "Right collapses to the selection's end";
  Key(VK_CONTROL, true);
  Press('A');
  Key(VK_CONTROL, false);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{3}));
  EXPECT_EQ(Text(edit), "bxc") << "Ctrl+A types nothing";
}

TEST_F(EditControlTest, LoneLeadByteWaitsForItsTrailAndImeTextArrivesAsCharacters) {
  const HWND edit = MakeEdit();
  Type("\xD6");
  EXPECT_EQ(Text(edit), "");
  EXPECT_TRUE(Parent().commands.empty()) << "no change for half a character";
  Type("\xD0");
  EXPECT_EQ(Text(edit), kZhong);
  Type("\xD6 ");
  EXPECT_EQ(Text(edit), kZhong + " ") << "a lead byte without trail is dropped";
  Parent().commands.clear();
  platform::InjectCommittedText("\xD6\xD0\xCE\xC4");  // 中文
  Pump();
  EXPECT_EQ(Text(edit), kZhong + " " + kZhong + "\xCE\xC4");
  EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
}

TEST_F(EditControlTest, ChangeNotificationsFollowEveryChangeAndOnlyChanges) {
  const HWND edit = Control("EDIT", "init", ES_AUTOHSCROLL, 10, 10, 150, 22);
  EXPECT_TRUE(Parent().commands.empty()) << "the creation text does not notify";
  SetFocus(edit);
  Pump();
  EXPECT_EQ(Codes(), std::vector<WORD>{EN_SETFOCUS});
  Parent().commands.clear();
  SetWindowTextA(edit, "abc");
  SendMessageA(edit, EM_SETSEL, 3, 3);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("d"));
  EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE}));
  EXPECT_EQ(Text(edit), "abcd");
  Parent().commands.clear();
  Press(VK_HOME);
  Press(VK_BACK);  // nothing before the caret
  Press(VK_LEFT);
  EXPECT_TRUE(Parent().commands.empty()) << "caret moves do not notify";
  Press(VK_DELETE);
  EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
  EXPECT_EQ(Parent().commands[0] & 0xFFFF, 7u) << "the control's id";
  Parent().commands.clear();
  SetFocus(parent_);
  Pump();
  EXPECT_EQ(Codes(), std::vector<WORD>{EN_KILLFOCUS});
}

TEST_F(EditControlTest, LimitHoldsForTypingAndReplacingButNotForSetText) {
  const HWND edit = MakeEdit();
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 3);
  Type("ab" + kZhong);
  EXPECT_EQ(Text(edit), "ab");
  EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("xyz"));
  EXPECT_EQ(Text(edit), "abx");
  SetWindowTextA(edit, "longer than three");
  EXPECT_EQ(Text(edit), "longer than three");
  SendMessageA(edit, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditControlTest, CutCopyAndPasteGoThroughTheClipboardButAPasswordStaysInTheField) {
  platform::ResetClipboard();
  const HWND edit = MakeEdit(ES_AUTOHSCROLL, ("a" + kZhong + "b").c_str());
  SendMessageA(edit, EM_SETSEL, 1, 3);
  Chord(VK_CONTROL, 'C');
  EXPECT_EQ(platform::ClipboardText().value_or("<none>"), kZhong);
  EXPECT_EQ(Text(edit), "a" + kZhong + "b") << "copy leaves the text";
  SendMessageA(edit, WM_CUT, 0, 0);
  EXPECT_EQ(Text(edit), "ab");
  SendMessageA(edit, EM_SETSEL, 2, 2);
  Chord(VK_CONTROL, 'V');
  SendMessageA(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(edit), "ab" + kZhong + kZhong);

  const HWND password = MakeEdit(ES_AUTOHSCROLL | ES_PASSWORD, "secret");
  SendMessageA(password, EM_SETSEL, 0, -1);
  SendMessageA(password, WM_COPY, 0, 0);
  SendMessageA(password, WM_CUT, 0, 0);
  EXPECT_EQ(platform::ClipboardText().value_or("<none>"), kZhong);
  EXPECT_EQ(Text(password), "secret");
  platform::ResetClipboard();
}

TEST_F(EditControlTest, SelectionMessagesSnapToCharacters) {
  const HWND edit = MakeEdit(ES_AUTOHSCROLL, ("a" + kZhong + "b").c_str());
  SendMessageA(edit, EM_SETSEL, 2, -1);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{1}, DWORD{4}));
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELONG(1, 4));
  SendMessageA(edit, EM_SETSEL, 0, 100);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{0}, DWORD{4}));
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(Sel(edit).first, Sel(edit).second) << "start -1 removes the selection";
  char small[3];
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 1)
      << "a short buffer never ends in half a character";
  EXPECT_STREQ(small, "a");
}

TEST_F(EditControlTest, StylesFilterWhatTheUserTypes) {
  struct Row {
    DWORD style;
    std::string typed, expected;
  } rows[] = {
      {ES_NUMBER, "1a2" + kZhong + "3", "123"},
      {ES_UPPERCASE, "ab" + std::string("\xB0\x61"), "AB\xB0\x61"},
      {ES_LOWERCASE, "AbC", "abc"},
      {ES_READONLY, "abc", ""},
  };
  for (const Row& row : rows) {
    const HWND edit = MakeEdit(ES_AUTOHSCROLL | row.style);
    Type(row.typed);
    EXPECT_EQ(Text(edit), row.expected) << std::hex << row.style;
    DestroyWindow(edit);
  }
  const HWND edit = MakeEdit(ES_AUTOHSCROLL | ES_READONLY);
  SetWindowTextA(edit, "set");
  EXPECT_EQ(Text(edit), "set") << "the program may still change a read-only field";
  SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
  Press(VK_END);
  Type("!");
  EXPECT_EQ(Text(edit), "set!");
}

TEST_F(EditControlTest, AlignmentPlacesAShortLine) {
  const auto startOf = [&](DWORD style) {
    const HWND edit = Control("EDIT", "abc", style, 10, 10, 150, 22);
    const int x = GET_X_LPARAM(SendMessageA(edit, EM_POSFROMCHAR, 0, 0));
    const int end = GET_X_LPARAM(SendMessageA(edit, EM_POSFROMCHAR, 3, 0));
    DestroyWindow(edit);
    return std::make_pair(x, end);
  };
  const auto left = startOf(ES_LEFT), center = startOf(ES_CENTER), right = startOf(ES_RIGHT);
  EXPECT_LE(left.first, 2);
  EXPECT_NEAR(center.first, (150 - (center.second - center.first)) / 2, 2);
  EXPECT_NEAR(right.second, 149, 1);
}

TEST_F(EditControlTest, MouseSetsCaretAndDragSelects) {
  const HWND edit = MakeEdit(ES_AUTOHSCROLL, "abcdef");
  const auto at = [&](int index) {
    const LRESULT p = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return POINT{10 + GET_X_LPARAM(p), 10 + GET_Y_LPARAM(p) + 4};  // parent client coordinates
  };
  const POINT two = at(2), five = at(5);
  MoveTo(two.x + 1, two.y);
  Button(true);
  EXPECT_EQ(GetCapture(), edit);
  MoveTo(five.x + 1, five.y);
  Button(false);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{2}, DWORD{5}));
  EXPECT_EQ(GetCapture(), HWND{0});
  Type("X");
  EXPECT_EQ(Text(edit), "abXf");
  EXPECT_EQ(HIWORD(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(0, 5))), 0) << "line 0";
}

TEST_F(EditControlTest, LongTextScrollsOrIsRefusedWithoutAutoScroll) {
  const HWND scrolling = MakeEdit(ES_AUTOHSCROLL, "", 60);
  Type("the quick brown fox jumps");
  RECT client;
  GetClientRect(scrolling, &client);
  const LRESULT end = SendMessageA(scrolling, EM_POSFROMCHAR, 25, 0);
  EXPECT_GE(GET_X_LPARAM(end), 0);
  EXPECT_LE(GET_X_LPARAM(end), client.right) << "the caret stays in view";
  EXPECT_LT(GET_X_LPARAM(SendMessageA(scrolling, EM_POSFROMCHAR, 0, 0)), 0) << "the start scrolled out";

  const HWND fixed = MakeEdit(0, "", 60);
  Type("the quick brown fox jumps");
  EXPECT_LT(Text(fixed).size(), 25u) << "without ES_AUTOHSCROLL the line stops at the field's width";
  EXPECT_FALSE(Text(fixed).empty());
  const std::vector<WORD> codes = Codes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), EN_MAXTEXT), codes.end());
}

TEST_F(EditControlTest, DrawsTextSelectionPasswordAndParentColours) {
  const HWND edit = MakeEdit(ES_AUTOHSCROLL, "WWWW");
  const RECT field{2, 2, 60, 18};
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_GT(CountOf(edit, field, text), 0) << "text drawn";
  EXPECT_EQ(CountOf(edit, field, highlight), 0);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  Pump();
  EXPECT_GT(CountOf(edit, field, highlight), 20) << "selection highlighted";
  SetFocus(parent_);
  Pump();
  EXPECT_EQ(CountOf(edit, field, highlight), 0) << "hidden without the focus";

  SendMessageA(edit, EM_SETPASSWORDCHAR, '*', 0);
  EXPECT_EQ(SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(Text(edit), "WWWW") << "the text itself is kept";

  Parent().staticBrush = CreateSolidBrush(RGB(255, 0, 0));
  const HWND fixed = Control("EDIT", "", ES_READONLY, 10, 40, 80, 22, 8);
  EXPECT_EQ(PixelOf(fixed, 40, 10), RGB(255, 0, 0)) << "read-only: WM_CTLCOLORSTATIC's brush";
  DestroyWindow(fixed);
  DeleteObject(Parent().staticBrush);
  Parent().staticBrush = 0;
}

TEST_F(EditControlTest, MultiLineKeepsLinesAndMovesBetweenThem) {
  const HWND edit = Control("EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL, 10, 10, 150, 60);
  SetFocus(edit);
  Pump();
  Type("ab\rcd");
  EXPECT_EQ(Text(edit), "ab\r\ncd");
  EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 1, 0), 4);
  Press(VK_UP);
  EXPECT_EQ(SendMessageA(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 0);
  Press(VK_END);
  Press(VK_RIGHT);
  EXPECT_EQ(Sel(edit), std::make_pair(DWORD{4}, DWORD{4})) << "\\r\\n is one character";
  Press(VK_BACK);
  EXPECT_EQ(Text(edit), "abcd");
}

// A parent that destroys the field from inside its EN_CHANGE must not pull the state away
// from the code still running in the field's procedure.
HWND g_destroyOnChange = 0;
LRESULT DestroyingParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE && g_destroyOnChange) {
    DestroyWindow(std::exchange(g_destroyOnChange, HWND{0}));
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(EditControlTest, ParentMayDestroyTheFieldInsideANotification) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DestroyingParentProc;
  wc.lpszClassName = "TestDestroyingParent";
  RegisterClassA(&wc);
  const HWND owner = CreateWindowExA(0, "TestDestroyingParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, 0, 0, 0, nullptr);
  const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, owner, static_cast<HMENU>(3), 0, nullptr);
  SetFocus(edit);
  Pump();
  g_destroyOnChange = edit;
  Type("x");
  EXPECT_FALSE(IsWindow(edit));
  SetWindowTextA(owner, "still fine");
  DestroyWindow(owner);
}

}  // namespace
}  // namespace quorlin::testing
