// Property reads and writes: common properties with and without a live window, clamps, kinds,
// font members, and re-creation in place.
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kButton = 0x16000041;
constexpr uint32_t kEdit = 0x16000042;
constexpr int32_t kButtonFont = 13;
constexpr int32_t kEditAlignment = 10;

int Dpi() {
  const HDC screen = GetDC(0);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(0, screen);
  return dpi;
}

class UnitPropertiesTest : public FormsTest {
 protected:
  void SetUp() override {
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kButton, .type = kTypeButton, .name = "b", .left = 4, .top = 5, .width = 60, .height = 20,
                      .data = WriteTypeData(ButtonData{.caption = "Go"})},
                     {.id = kEdit, .type = kTypeEditBox, .name = "e", .left = 4, .top = 40, .width = 90, .height = 22,
                      .flags = kStateVisible | kStateFocusable, .data = WriteTypeData(EditBoxData{.content = "abc"})}})});
  }
};

TEST_F(UnitPropertiesTest, WithoutAWindowCommonPropertiesComeFromTheTemplate) {
  EXPECT_EQ(Read(kForm, kButton, 2), 60u);
  EXPECT_EQ(Read(kForm, kButton, 5), 1u);
  Write(kForm, kButton, 2, static_cast<uint32_t>(-5));
  EXPECT_EQ(Read(kForm, kButton, 2), 0u);
}

TEST_F(UnitPropertiesTest, PositionsAndSizesAreClampedAndMoveTheLiveWindow) {
  ASSERT_TRUE(Load(kForm));
  const struct {
    int32_t property;
    int32_t written;
    int32_t read;
  } rows[] = {
      {0, -40000, -32627}, {0, 40000, 32627}, {1, 17, 17}, {2, -5, 0}, {2, 40000, 32627}, {3, 30, 30},
  };
  for (const auto& row : rows) {
    Write(kForm, kButton, row.property, static_cast<uint32_t>(row.written));
    EXPECT_EQ(static_cast<int32_t>(Read(kForm, kButton, row.property)), row.read) << row.property << " " << row.written;
  }
  RECT rect;
  GetWindowRect(UnitWindow(kForm, kButton), &rect);
  EXPECT_EQ(rect.bottom - rect.top, 30);
}

TEST_F(UnitPropertiesTest, VisibleAndDisabledChangeTheLiveWindow) {
  ASSERT_TRUE(Load(kForm));
  const HWND button = UnitWindow(kForm, kButton);
  Write(kForm, kButton, 5, 0);
  EXPECT_FALSE(IsWindowVisible(button));
  EXPECT_EQ(Read(kForm, kButton, 5), 0u);
  Write(kForm, kButton, 6, 7);  // any non-zero value is true
  EXPECT_FALSE(IsWindowEnabled(button));
  EXPECT_EQ(Read(kForm, kButton, 6), 1u);
}

TEST_F(UnitPropertiesTest, FontMembersFollowTheirRules) {
  ASSERT_TRUE(Load(kForm));
  // Face name member 6: empty or 32 bytes and more give 宋体.
  WritePointer(kForm, kButton, kButtonFont, nullptr, 6);
  EXPECT_EQ(ReadText(kForm, kButton, kButtonFont, 6), "宋体");
  const std::string tooLong(32, 'x');
  WritePointer(kForm, kButton, kButtonFont, tooLong.c_str(), 6);
  EXPECT_EQ(ReadText(kForm, kButton, kButtonFont, 6), "宋体");
  WritePointer(kForm, kButton, kButtonFont, "黑体", 6);
  EXPECT_EQ(ReadText(kForm, kButton, kButtonFont, 6), "黑体");

  // Angle member 0 modulo 3600, never negative; bold gives weight 700.
  Write(kForm, kButton, kButtonFont, static_cast<uint32_t>(-10), 0, 0);
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 0), 3590u);
  Write(kForm, kButton, kButtonFont, 1, 0, 1);
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 1), 1u);

  // Size member 5: height -MulDiv(size, pixels per inch, 72).
  Write(kForm, kButton, kButtonFont, 16, 0, 5);
  auto* block = reinterpret_cast<void*>(static_cast<uintptr_t>(Read(kForm, kButton, kButtonFont)));
  ASSERT_EQ(ByteSetLength(block), sizeof(LOGFONTA));
  LOGFONTA font;
  std::memcpy(&font, ByteSetData(block), sizeof font);
  Kernel().Free(block);
  EXPECT_EQ(font.lfHeight, -MulDiv(16, Dpi(), 72));
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfEscapement, 3590);
  EXPECT_STREQ(font.lfFaceName, "黑体");
  // The members before it are kept: the face too.
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 5), 16u);
}

TEST_F(UnitPropertiesTest, AWholeFontRecordReplacesTheFontAndNullLeavesIt) {
  ASSERT_TRUE(Load(kForm));
  const FontRecord record{.angle = 3610, .bold = 0, .italic = 1, .underline = 0, .strikeOut = 1, .size = 12,
                          .face = "楷体"};
  WritePointer(kForm, kButton, kButtonFont, &record);
  WritePointer(kForm, kButton, kButtonFont, nullptr);  // unchanged
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 0), 10u);
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 2), 1u);
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 4), 1u);
  EXPECT_EQ(Read(kForm, kButton, kButtonFont, 5), 12u);
  EXPECT_EQ(ReadText(kForm, kButton, kButtonFont, 6), "楷体");
}

TEST_F(UnitPropertiesTest, ReCreationInPlaceKeepsTheTextPlaceAndFocus) {
  ASSERT_TRUE(Load(kForm));
  const HWND before = UnitWindow(kForm, kEdit);
  SetWindowTextA(before, "typed");
  SetFocus(before);
  Write(kForm, kEdit, kEditAlignment, 2);  // right-aligned: a creation style of the edit box
  const HWND after = UnitWindow(kForm, kEdit);
  EXPECT_NE(after, before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_EQ(ReadText(kForm, kEdit, 8), "typed");
  EXPECT_EQ(Read(kForm, kEdit, kEditAlignment), 2u);
  EXPECT_EQ(Read(kForm, kEdit, 0), 4u);
  EXPECT_EQ(Read(kForm, kEdit, 1), 40u);
  EXPECT_TRUE(IsWindowVisible(after));
  EXPECT_EQ(GetFocus(), after);
  // Writing the value it already has makes no new window.
  Write(kForm, kEdit, kEditAlignment, 2);
  EXPECT_EQ(UnitWindow(kForm, kEdit), after);
}

}  // namespace
}  // namespace quorlin::testing
