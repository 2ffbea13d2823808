// Tooltips: a tool window subclassed by its tooltip, the tip shown after the initial delay
// near the pointer and put away on leaving, clicking or deactivation.
#include <chrono>
#include <thread>

#include "platform/gdi/sys_colors.h"
#include "platform/user/input.h"
#include "platform/user/tooltip_control.h"
#include "platform/user/window_geometry.h"
#include "tests/platform/user/control_test_support.h"

namespace quorlin::testing {
namespace {

class TooltipControlTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    tool_ = Control("STATIC", "tool", SS_LEFT, 20, 20, 80, 30);
    originalProc_ = GetWindowLongPtrA(tool_, GWLP_WNDPROC);
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent_, 0, 0, nullptr);
    ASSERT_NE(tip_, HWND{0});
    SendMessageA(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 150);
  }
  void TearDown() override {
    if (IsWindow(tip_)) DestroyWindow(tip_);
    ControlTest::TearDown();
  }
  TOOLINFOA Info(const char* text) {
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent_;
    info.uId = tool_;
    info.lpszText = const_cast<LPSTR>(text);
    return info;
  }
  void AddTool(const char* text) {
    TOOLINFOA info = Info(text);
    ASSERT_TRUE(SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
  }
  // Pumps until the condition holds or the time is up.
  template <typename Condition>
  static bool PumpUntil(Condition condition, int ms = 1000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      Pump();
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  bool TipShown() const { return IsWindowVisible(tip_) != FALSE; }

  HWND tool_ = 0;
  HWND tip_ = 0;
  LONG_PTR originalProc_ = 0;
};

TEST_F(TooltipControlTest, AppearsAfterTheDelayNearThePointerAndGoesOnLeaving) {
  AddTool("Hello tip");
  EXPECT_NE(GetWindowLongPtrA(tool_, GWLP_WNDPROC), originalProc_) << "subclassed";
  MoveTo(40, 30);
  EXPECT_FALSE(TipShown()) << "not before the delay";
  ASSERT_TRUE(PumpUntil([&] { return TipShown(); }));
  RECT tip;
  GetWindowRect(tip_, &tip);
  POINT pointer;
  GetCursorPos(&pointer);
  EXPECT_GT(tip.top, pointer.y);
  EXPECT_LT(tip.top, pointer.y + 40);
  EXPECT_NEAR(tip.left, pointer.x, 2);
  EXPECT_GT(tip.right - tip.left, 30) << "sized to its text";
  const HDC screen = GetDC(0);
  EXPECT_EQ(GetPixel(screen, (tip.left + tip.right) / 2, tip.top + 2), GetSysColor(COLOR_INFOBK))
      << "on top, in the info colour";
  ReleaseDC(0, screen);
  EXPECT_GT(CountOf(tip_, RECT{2, 2, tip.right - tip.left - 2, tip.bottom - tip.top - 2}, GetSysColor(COLOR_INFOTEXT)), 0)
      << "text drawn";

  MoveTo(250, 150);  // off the tool, over the parent
  EXPECT_TRUE(PumpUntil([&] { return !TipShown(); }));
}

TEST_F(TooltipControlTest, ClickAndDeactivationPutTheTipAway) {
  AddTool("tip");
  MoveTo(40, 30);
  ASSERT_TRUE(PumpUntil([&] { return TipShown(); }));
  Button(true);
  Button(false);
  EXPECT_FALSE(TipShown());
  EXPECT_FALSE(PumpUntil([&] { return TipShown(); }, 300)) << "not again while the pointer stays";

  MoveTo(250, 150);
  Pump();
  SendMessageA(tip_, TTM_ACTIVATE, FALSE, 0);
  MoveTo(40, 30);
  EXPECT_FALSE(PumpUntil([&] { return TipShown(); }, 300)) << "inactive";
}

TEST_F(TooltipControlTest, TextUpdatesAndRemovingTheToolRestoresTheWindow) {
  AddTool("first");
  EXPECT_EQ(SendMessageA(tip_, TTM_GETTOOLCOUNT, 0, 0), 1);
  TOOLINFOA info = Info("second");
  SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  char buffer[80] = {};
  TOOLINFOA query = Info(nullptr);
  query.lpszText = buffer;
  SendMessageA(tip_, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&query));
  EXPECT_STREQ(buffer, "second");
  EXPECT_EQ(SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 120), -1);
  EXPECT_EQ(SendMessageA(tip_, TTM_GETMAXTIPWIDTH, 0, 0), 120);
  EXPECT_EQ(SendMessageA(tip_, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 150);

  SendMessageA(tip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(SendMessageA(tip_, TTM_GETTOOLCOUNT, 0, 0), 0);
  EXPECT_EQ(GetWindowLongPtrA(tool_, GWLP_WNDPROC), originalProc_);
  MoveTo(40, 30);
  EXPECT_FALSE(PumpUntil([&] { return TipShown(); }, 300));
}

}  // namespace
}  // namespace quorlin::testing
