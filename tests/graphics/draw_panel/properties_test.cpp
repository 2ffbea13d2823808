// Property clamps and effects, the font rules and the font sub-fields.
#include <cstring>

#include "tests/graphics/draw_panel/panel_test_support.h"

namespace quorlin::drawpanel::testing {
namespace {

using PropertiesTest = PanelTest;

TEST_F(PropertiesTest, WritesAreClampedToTheirRanges) {
  DrawPanel& panel = MakePanel({}, 20, 20);
  struct Row {
    PanelProperty property;
    int32_t written;
    int32_t read;
  };
  for (const Row& row : {Row{PanelProperty::DrawMode, 20, 15}, Row{PanelProperty::PenWidth, -3, 0},
                         Row{PanelProperty::BrushType, 60, 55}, Row{PanelProperty::Border, 9, 5},
                         Row{PanelProperty::BackPictureMode, -1, 0}, Row{PanelProperty::DrawingUnit, 6, 5},
                         Row{PanelProperty::PenType, 7, 6}, Row{PanelProperty::PenWidth, 40000, 32767},
                         Row{PanelProperty::TextColor, -1, -1}, Row{PanelProperty::BackColor, 0x123456, 0x123456}}) {
    panel.WriteInteger(row.property, row.written);
    EXPECT_EQ(panel.ReadInteger(row.property), row.read) << static_cast<int>(row.property) << " = " << row.written;
  }
}

TEST_F(PropertiesTest, BorderStylesSetTheirDecorationAlone) {
  DrawPanel& panel = MakePanel({}, 40, 40);
  const HWND hwnd = panel.Window();
  const auto client = [&] {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r.right;
  };
  panel.WriteInteger(PanelProperty::Border, 4);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME),
            static_cast<LONG>(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME));
  EXPECT_EQ(client(), 40 - 2 * (3 + 2));
  panel.WriteInteger(PanelProperty::Border, 5);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE), 0);
  EXPECT_NE(GetWindowLongA(hwnd, GWL_STYLE) & static_cast<LONG>(WS_BORDER), 0);
  EXPECT_EQ(client(), 38);
  panel.WriteInteger(PanelProperty::Border, 0);
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & static_cast<LONG>(WS_BORDER), 0);
  EXPECT_EQ(client(), 40);
}

TEST_F(PropertiesTest, ClientSizeReadsInTheDrawingUnit) {
  DrawPanel& panel = MakePanel({}, 192, 96);
  EXPECT_EQ(panel.ReadInteger(PanelProperty::ClientWidth), 192);
  panel.WriteInteger(PanelProperty::DrawingUnit, 3);
  EXPECT_EQ(panel.ReadInteger(PanelProperty::ClientWidth), 200);
  EXPECT_EQ(panel.ReadInteger(PanelProperty::ClientHeight), 100);
  panel.WriteInteger(PanelProperty::DrawingUnit, 5);
  EXPECT_EQ(panel.ReadInteger(PanelProperty::ClientWidth), 2880);
}

TEST_F(PropertiesTest, FontHeightFollowsTheDrawingUnit) {
  LOGFONTA record{};
  record.lfHeight = -35;
  record.lfCharSet = 134;
  record.lfQuality = 5;
  std::strcpy(record.lfFaceName, "Test");
  const std::vector<uint8_t> bytes = FontBytesOf(record);
  EXPECT_EQ(PanelFontRecord(bytes, 0, 96).lfHeight, -35);
  EXPECT_EQ(PanelFontRecord(bytes, 3, 96).lfHeight, -36) << "-trunc(35 / 96 * 100)";
  EXPECT_EQ(PanelFontRecord(bytes, 1, 96).lfHeight, -92) << "-trunc(35 / 96 * 253.807...)";
  EXPECT_EQ(PanelFontRecord(bytes, 5, 96).lfHeight, -525);
  const LOGFONTA forced = PanelFontRecord(bytes, 0, 96);
  EXPECT_EQ(forced.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(forced.lfQuality, 2);
  EXPECT_STREQ(forced.lfFaceName, "Test");

  // Anything but exactly one record is the default GUI font's.
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  EXPECT_EQ(FontRecordOf(std::vector<uint8_t>(59, 0)).lfHeight, gui.lfHeight);
}

}  // namespace
}  // namespace quorlin::drawpanel::testing
