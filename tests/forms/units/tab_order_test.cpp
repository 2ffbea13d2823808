// Tab and Shift+Tab between the units of a form: the tab stops in tab order (template order
// among equals), hidden, disabled and non-focusable units skipped, wrapping at both ends.
#include <string>

#include "platform/user/input_injection.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/units/window_unit.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kFocusable = kStateVisible | kStateFocusable;

struct Stop {
  uint32_t id;
  const char* name;
  uint32_t tabOrder;
  uint32_t flags;
};

// Template order differs from tab order; two units share tab order 2.
constexpr Stop kUnits[] = {
    {0x16000081, "third", 2, kFocusable},
    {0x16000082, "first", 0, kFocusable},
    {0x16000083, "hidden", 1, kStateFocusable},
    {0x16000084, "fourth", 2, kFocusable},
    {0x16000085, "label", 1, kStateVisible},
    {0x16000086, "disabled", 1, kFocusable | kStateDisabled},
    {0x16000087, "second", 1, kFocusable},
};

class TabOrderTest : public FormsTest {
 protected:
  void SetUp() override {
    std::vector<TestUnit> units;
    int top = 0;
    for (const Stop& stop : kUnits) {
      TestUnit unit{.id = stop.id, .type = kTypeButton, .name = stop.name, .top = top, .width = 60, .height = 20,
                    .flags = stop.flags, .data = WriteTypeData(ButtonData{.caption = stop.name})};
      units.push_back(unit);
      top += 24;
    }
    LoadedForm form = MakeForm(kForm, WindowData{}, {}, units);
    for (size_t i = 0; i < std::size(kUnits); ++i) form.units[i + 1].tabOrder = kUnits[i].tabOrder;
    Start({form});
    ASSERT_TRUE(Load(kForm));
  }

  std::string Focused() {
    for (const Stop& stop : kUnits) {
      if (UnitWindow(kForm, stop.id) == GetFocus()) return stop.name;
    }
    return GetFocus() == WindowOf(kForm) ? "window" : "other";
  }

  std::string PressTab(bool shift = false) {
    if (shift) platform::InjectKey(VK_SHIFT, true);
    platform::InjectKey(VK_TAB, true);
    platform::InjectKey(VK_TAB, false);
    ProcessPendingMessages();
    if (shift) {
      platform::InjectKey(VK_SHIFT, false);
      ProcessPendingMessages();
    }
    return Focused();
  }
};

TEST_F(TabOrderTest, TabWalksTheStopsInTabOrderAndWraps) {
  EXPECT_EQ(Focused(), "first");  // the start-up rule
  EXPECT_EQ(PressTab(), "second");
  EXPECT_EQ(PressTab(), "third");
  EXPECT_EQ(PressTab(), "fourth");
  EXPECT_EQ(PressTab(), "first");
}

TEST_F(TabOrderTest, ShiftTabWalksBackwardsAndWraps) {
  EXPECT_EQ(PressTab(true), "fourth");
  EXPECT_EQ(PressTab(true), "third");
  EXPECT_EQ(PressTab(true), "second");
  EXPECT_EQ(PressTab(true), "first");
}

TEST_F(TabOrderTest, AUnitHiddenOrDisabledLaterIsSkippedAndFocusOutsideTheStopsStartsOver) {
  Write(kForm, 0x16000087, 5, 0);  // "second" hidden
  Write(kForm, 0x16000081, 6, 1);  // "third" disabled
  EXPECT_EQ(PressTab(), "fourth");
  SetFocus(WindowOf(kForm));
  EXPECT_EQ(PressTab(), "first");
  SetFocus(WindowOf(kForm));
  EXPECT_EQ(PressTab(true), "fourth");
}

TEST_F(TabOrderTest, CtrlTabIsLeftToTheFocusedUnit) {
  platform::InjectKey(VK_CONTROL, true);
  EXPECT_EQ(PressTab(), "first");
  platform::InjectKey(VK_CONTROL, false);
  ProcessPendingMessages();
}

}  // namespace
}  // namespace quorlin::testing
