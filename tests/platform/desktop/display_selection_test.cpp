// Which display a process gets. Each case runs in a fresh process, as the choice is made once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/display/desktop/desktop_display.h"
#include "platform/display/display_backend.h"

namespace quorlin::platform {
namespace {

[[noreturn]] void ExitWithDisplayName(const char* quorlinDisplay, const char* x11Display) {
  unsetenv("WAYLAND_DISPLAY");
  if (x11Display) setenv("DISPLAY", x11Display, 1); else unsetenv("DISPLAY");
  if (quorlinDisplay) setenv("QUORLIN_DISPLAY", quorlinDisplay, 1); else unsetenv("QUORLIN_DISPLAY");
  RegisterDesktopDisplay();
  std::exit(std::strcmp(CurrentDisplay().Name(), "headless") == 0 ? 40 : 41);
}

class DisplaySelection : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(DisplaySelection, HeadlessWhenAskedEvenWithADisplay) {
  EXPECT_EXIT(ExitWithDisplayName("headless", ":99"), ::testing::ExitedWithCode(40), "");
}

TEST_F(DisplaySelection, NoDisplayAtAllIsToldAndEndsTheProcess) {
  EXPECT_EXIT(ExitWithDisplayName(nullptr, nullptr), ::testing::ExitedWithCode(1),
              "no display: set DISPLAY or WAYLAND_DISPLAY, or QUORLIN_DISPLAY=headless");
  EXPECT_EXIT(ExitWithDisplayName("desktop", nullptr), ::testing::ExitedWithCode(1), "no display: ");
}

TEST_F(DisplaySelection, ADisplayThatCannotBeOpenedIsToldAndEndsTheProcess) {
  EXPECT_EXIT(ExitWithDisplayName(nullptr, ":97531"), ::testing::ExitedWithCode(1),
              "no display: cannot open the display :97531");
}

}  // namespace
}  // namespace quorlin::platform
