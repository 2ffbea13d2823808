// The BUTTON class driven by injected input: clicks, drags off, Space, check boxes and looks.
#include "platform/gdi/sys_colors.h"
#include "platform/user/input.h"
#include "platform/user/virtual_keys.h"
#include "tests/platform/user/control_test_support.h"

namespace quorlin::testing {
namespace {

using ButtonControlTest = ControlTest;

const WPARAM kClicked = MAKEWPARAM(7, BN_CLICKED);

TEST_F(ButtonControlTest, ClickOnlyWhenReleasedInside) {
  const HWND button = Control("BUTTON", "OK", BS_PUSHBUTTON, 20, 20, 80, 30);
  const COLORREF released = PixelOf(button, 1, 1);

  MoveTo(50, 30);
  Button(true);
  EXPECT_EQ(GetCapture(), button);
  EXPECT_TRUE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_NE(PixelOf(button, 1, 1), released) << "pressed look";
  EXPECT_TRUE(Parent().commands.empty()) << "no click on press";
  MoveTo(200, 150);  // dragged off
  EXPECT_FALSE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) << "outside: not pressed";
  MoveTo(50, 30);  // and back
  EXPECT_TRUE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  MoveTo(200, 150);
  Button(false);
  EXPECT_TRUE(Parent().commands.empty()) << "released outside: no click";
  EXPECT_EQ(GetCapture(), HWND{0});

  MoveTo(50, 30);
  Button(true);
  Button(false);
  EXPECT_EQ(Parent().commands, std::vector<WPARAM>{kClicked});
  EXPECT_FALSE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(GetFocus(), button) << "a click focuses";
}

TEST_F(ButtonControlTest, SpaceClicksTheFocusedButtonOnRelease) {
  const HWND button = Control("BUTTON", "OK", BS_PUSHBUTTON, 20, 20, 80, 30);
  SetFocus(button);
  Pump();
  EXPECT_TRUE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_FOCUS);
  Key(VK_SPACE, true);
  EXPECT_TRUE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_TRUE(Parent().commands.empty());
  Key(VK_SPACE, false);
  EXPECT_EQ(Parent().commands, std::vector<WPARAM>{kClicked});

  Key(VK_SPACE, true);
  SetFocus(parent_);  // focus lost mid-press: no click
  Pump();
  Key(VK_SPACE, false);
  EXPECT_EQ(Parent().commands.size(), 1u);
}

TEST_F(ButtonControlTest, AutoCheckBoxTogglesAndReportsItsCheck) {
  const HWND box = Control("BUTTON", "Check", BS_AUTOCHECKBOX, 20, 20, 100, 20);
  const RECT mark{3, 6, 10, 13};
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(CountOf(box, mark, GetSysColor(COLOR_WINDOWTEXT)), 0);
  MoveTo(25, 30);
  Button(true);
  Button(false);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(Parent().commands, std::vector<WPARAM>{kClicked});
  EXPECT_GT(CountOf(box, mark, GetSysColor(COLOR_WINDOWTEXT)), 0) << "check mark drawn";

  Button(true);
  MoveTo(250, 150);
  Button(false);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED)) << "dragged off: unchanged";

  SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
  Pump();
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(CountOf(box, mark, GetSysColor(COLOR_WINDOWTEXT)), 0);
  EXPECT_EQ(Parent().commands.size(), 1u) << "BM_SETCHECK does not notify";

  const HWND push = Control("BUTTON", "P", BS_PUSHBUTTON, 20, 60, 50, 20, 8);
  SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED)) << "push buttons have no check";
}

TEST_F(ButtonControlTest, LooksOfDefaultFocusedAndDisabledButtons) {
  const HWND plain = Control("BUTTON", "A", BS_PUSHBUTTON, 10, 10, 60, 24, 1);
  const HWND def = Control("BUTTON", "B", BS_DEFPUSHBUTTON, 80, 10, 60, 24, 2);
  EXPECT_EQ(PixelOf(plain, 0, 0), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(PixelOf(def, 0, 0), GetSysColor(COLOR_WINDOWFRAME)) << "default: dark frame";

  const RECT focusLine{4, 4, 56, 5};
  const int before = CountOf(plain, focusLine, GetSysColor(COLOR_BTNFACE));
  SetFocus(plain);
  Pump();
  EXPECT_LT(CountOf(plain, focusLine, GetSysColor(COLOR_BTNFACE)), before) << "focus rectangle drawn";

  const HWND off = Control("BUTTON", "Off", BS_PUSHBUTTON | WS_DISABLED, 10, 50, 60, 24, 3);
  EXPECT_GT(CountOf(off, RECT{2, 2, 58, 22}, GetSysColor(COLOR_BTNSHADOW)), 0) << "embossed text";
  EXPECT_EQ(CountOf(off, RECT{2, 2, 58, 22}, GetSysColor(COLOR_BTNTEXT)), 0);
  MoveTo(40, 62);
  Button(true);
  Button(false);
  EXPECT_TRUE(Parent().commands.empty()) << "a disabled button does not click";
}

}  // namespace
}  // namespace quorlin::testing
