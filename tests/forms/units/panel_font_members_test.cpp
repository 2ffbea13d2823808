// The card's font settings reach the draw panel the way the program writes them: one member of
// the panel's `Font` property at a time through the layer, each keeping the others.
#include <cstring>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/panel_font.h"
#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "platform/gdi/gdi.h"
#include "platform/user/painting.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kPanel = 0x16000071;
constexpr int32_t kPanelFont = 22;
constexpr int32_t kBold = 1, kSize = 5, kFace = 6;

class PanelFontMembersTest : public FormsTest {
 protected:
  void SetUp() override {
    drawpanel::RegisterDrawPanelUnitType();
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kPanel, .type = kTypeDrawPanel, .name = "panel", .width = 100, .height = 50}})});
    ASSERT_TRUE(Load(kForm));
  }

  // The record the panel draws its texts with.
  LOGFONTA PanelFont() {
    const drawpanel::DrawPanel* panel = drawpanel::DrawPanel::FromWindow(UnitWindow(kForm, kPanel));
    return drawpanel::FontRecordOf(panel->Properties().font);
  }

  static int Dpi() {
    const HDC screen = GetDC(0);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(0, screen);
    return dpi;
  }
};

TEST_F(PanelFontMembersTest, FaceBoldAndSizeEachChangeOneField) {
  WritePointer(kForm, kPanel, kPanelFont, "黑体", kFace);
  Write(kForm, kPanel, kPanelFont, 0, 0, kBold);
  Write(kForm, kPanel, kPanelFont, 16, 0, kSize);
  LOGFONTA font = PanelFont();
  EXPECT_STREQ(font.lfFaceName, "黑体");
  EXPECT_EQ(font.lfWeight, 0);
  EXPECT_EQ(font.lfHeight, -MulDiv(16, Dpi(), 72));

  Write(kForm, kPanel, kPanelFont, 14, 0, kSize);
  Write(kForm, kPanel, kPanelFont, 1, 0, kBold);
  font = PanelFont();
  EXPECT_EQ(font.lfHeight, -MulDiv(14, Dpi(), 72));
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_STREQ(font.lfFaceName, "黑体") << "the face is kept";
}

TEST_F(PanelFontMembersTest, AnEmptyOrTooLongFaceBecomesSongTi) {
  const std::string longest(31, 'a'), tooLong(32, 'a');
  const struct {
    const char* written;
    const char* drawn;
  } rows[] = {{"", "宋体"}, {longest.c_str(), longest.c_str()}, {tooLong.c_str(), "宋体"}, {"楷体", "楷体"}};
  for (const auto& row : rows) {
    WritePointer(kForm, kPanel, kPanelFont, row.written, kFace);
    EXPECT_STREQ(PanelFont().lfFaceName, row.drawn) << row.written;
  }
}

}  // namespace
}  // namespace quorlin::testing
