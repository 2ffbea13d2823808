// The program's embedded template data reads back with the values of its two windows.
#include <gtest/gtest.h>

#include "app/forms/handler_ids.h"
#include "app/forms/template_data.h"
#include "platform/base/code_page.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/template/window_template_reader.h"
#include "tests/forms/templates/template_test_forms.h"

namespace quorlin::forms {
namespace {

using app::HandlerId;
using platform::Utf8ToGbk;
using testing::kCodeBase;

constexpr uint32_t V = kStateVisible;
constexpr uint32_t VF = kStateVisible | kStateFocusable;

uintptr_t Handler(HandlerId id) { return kCodeBase + static_cast<uint32_t>(id); }

class ProgramTemplates : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ReadTemplateSegment(app::TemplateData(), app::TemplateDataLength(), kCodeBase, table_, &error))
        << error;
    main_ = FindFormTemplate(table_, app::kMainWindowFormId);
    settings_ = FindFormTemplate(table_, app::kSettingsWindowFormId);
    ASSERT_NE(main_, nullptr);
    ASSERT_NE(settings_, nullptr);
  }

  FormTable table_;
  LoadedForm* main_ = nullptr;
  LoadedForm* settings_ = nullptr;
};

struct UnitRow {
  uint32_t id;
  uint32_t type;
  const char* name;
  uint32_t parent;
  int32_t left, top;
  uint32_t width, height;
  uint32_t flags;
  std::vector<EventBinding> events;
};

void ExpectUnits(const LoadedForm& form, const std::vector<UnitRow>& rows) {
  ASSERT_EQ(form.units.size(), rows.size() + 1);
  for (size_t i = 0; i < rows.size(); ++i) {
    const UnitRow& row = rows[i];
    const UnitRecord& unit = form.units[i + 1];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(unit.unitId, row.id);
    EXPECT_EQ(unit.dataType, row.type);
    EXPECT_EQ(unit.name, Utf8ToGbk(row.name));
    EXPECT_EQ(unit.parentUnit, row.parent);
    EXPECT_EQ(unit.left, row.left);
    EXPECT_EQ(unit.top, row.top);
    EXPECT_EQ(unit.width, row.width);
    EXPECT_EQ(unit.height, row.height);
    EXPECT_EQ(unit.stateFlags, row.flags);
    EXPECT_EQ(unit.events, row.events);
    EXPECT_EQ(unit.mousePointer, ByteBlock(4, 0));
    EXPECT_EQ(unit.tabOrder, 0u);
    EXPECT_EQ(unit.eventSourceLink, 0u);
    EXPECT_TRUE(unit.tag.empty() && unit.remark.empty());
  }
}

TEST_F(ProgramTemplates, MainWindowUnits) {
  const UnitRecord& window = *FindUnitRecord(*main_, 0);
  EXPECT_EQ(window.unitId, 0x06010000u);
  EXPECT_EQ(main_->codeModuleId, 0x19010006u);
  EXPECT_EQ(window.dataType, kTypeWindow);
  EXPECT_EQ(window.left, 50);
  EXPECT_EQ(window.width, 586u);
  EXPECT_EQ(window.height, 453u);
  EXPECT_EQ(window.stateFlags, V);
  EXPECT_EQ(window.HandlerFor(0), Handler(HandlerId::LoadSettings));
  EXPECT_EQ(window.HandlerFor(2), Handler(HandlerId::MainWindowClosed));

  constexpr uint32_t kCanvas = 0x16011953;
  ExpectUnits(*main_, {
      {0x16017419, kTypeDropTarget, "拖放对象2", kCanvas, 520, 200, 32, 32, 0, {{3, Handler(HandlerId::DropOnPortrait)}}},
      {0x16017418, kTypeDropTarget, "拖放对象1", kCanvas, 472, 88, 32, 24, 0, {{3, Handler(HandlerId::DropOnCard)}}},
      {0x160119D7, kTypeDrawPanel, "画板1", kCanvas, 150, 56, 300, 300, 0, {}},
      {0x16011985, kTypeButton, "按钮4", 0, 408, 394, 80, 24, VF, {{0, Handler(HandlerId::OpenSettings)}}},
      {0x16011984, kTypeCommonDlg, "通用对话框1", kCanvas, 288, 288, 56, 48, 0, {}},
      {kCanvas, kTypeDrawPanel, "画板2", 0, 0, 0, 580, 385, V, {}},
      {0x16011954, kTypeCommonDlg, "通用对话框3", kCanvas, 400, 312, 56, 48, 0, {}},
      {0x16011955, kTypeCommonDlg, "通用对话框4", kCanvas, 616, 360, 72, 64, 0, {}},
      {0x16011956, kTypePicBox, "图片框3", kCanvas, 233, 103, 134, 134, 0, {}},
      {0x16011957, kTypePicBox, "图片框4", kCanvas, 230, 100, 140, 140, 0, {}},
      {0x16011901, kTypeButton, "按钮3", 0, 232, 394, 80, 24, VF, {{0, Handler(HandlerId::ChooseBackground)}}},
      {0x16011889, kTypeButton, "按钮2", 0, 320, 394, 80, 24, VF, {{0, Handler(HandlerId::ChooseFont)}}},
      {0x16010005, kTypeButton, "按钮1", 0, 496, 394, 80, 24, VF, {{0, Handler(HandlerId::GenerateCard)}}},
      {0x16010004, kTypeEditBox, "编辑框1", 0, 88, 394, 136, 24, VF, {}},
      {0x16010003, kTypeLabel, "标签1", 0, 8, 394, 72, 24, V, {}},
  });
  EXPECT_EQ(FindUnitRecord(*main_, kCanvas)->children,
            (std::vector<uint32_t>{0x16017419, 0x16017418, 0x160119D7, 0x16011984, 0x16011954, 0x16011955,
                                   0x16011956, 0x16011957}));
}

TEST_F(ProgramTemplates, MainWindowTypeData) {
  auto window = ReadTypeData<WindowData>(FindUnitRecord(*main_, 0)->typeData);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->title, "Quorlin    - by Tamsk");
  EXPECT_EQ(window->borderKind, 2u);
  EXPECT_EQ(window->maximizeBox, 0u);
  EXPECT_EQ(window->minimizeBox, 1u);
  EXPECT_EQ(window->startPosition, 1u);

  // The icon: one 128 × 128 image at 32 bits, its mask and pixels where the directory says.
  const ByteBlock& icon = window->icon;
  ASSERT_EQ(icon.size(), 67646u);
  EXPECT_EQ((std::vector<uint8_t>(icon.begin(), icon.begin() + 8)), (std::vector<uint8_t>{0, 0, 1, 0, 1, 0, 128, 128}));
  EXPECT_EQ(icon[12], 32);                                  // bits per pixel in the entry
  EXPECT_EQ(icon[14] | icon[15] << 8 | icon[16] << 16, 67624);  // bytes in the image
  EXPECT_EQ(icon[18], 22);                                  // image offset
  EXPECT_EQ(icon[22], 40);                                  // BITMAPINFOHEADER at offset 22
  EXPECT_EQ(icon[30] | icon[31] << 8, 256);                 // height counts XOR and AND images
  EXPECT_EQ(icon[36], 32);
  const uint8_t* pixels = icon.data() + 22 + 40;
  const uint8_t* mask = pixels + 128 * 128 * 4;
  auto alpha = [&](int x, int yFromTop) { return pixels[((127 - yFromTop) * 128 + x) * 4 + 3]; };
  auto masked = [&](int x, int yFromTop) { return (mask[(127 - yFromTop) * 16 + x / 8] >> (7 - x % 8)) & 1; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(masked(0, 0), 1);
  EXPECT_EQ(alpha(64, 64), 255);
  EXPECT_EQ(masked(64, 64), 0);

  auto canvas = ReadTypeData<DrawPanelData>(FindUnitRecord(*main_, 0x16011953)->typeData);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(canvas->backPictureMode, 1u);
  EXPECT_EQ(canvas->autoRedraw, 1u);
  EXPECT_EQ(canvas->textColor, 0xFFFFFFu);
  EXPECT_EQ(canvas->textBackColor, kDefaultColor);
  EXPECT_EQ(canvas->backColor, kDefaultColor);
  ASSERT_EQ(canvas->font.size(), 60u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(canvas->font.data() + 28)), Utf8ToGbk("方正粗活意简体"));
  EXPECT_TRUE(canvas->backPicture.empty());

  auto dialog3 = ReadTypeData<CommonDlgData>(FindUnitRecord(*main_, 0x16011954)->typeData);
  ASSERT_TRUE(dialog3);
  EXPECT_EQ(dialog3->kind, 2u);
  for (uint32_t id : {0x16011956u, 0x16011957u}) {
    auto box = ReadTypeData<PicBoxData>(FindUnitRecord(*main_, id)->typeData);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->displayMode, 1u);
    EXPECT_EQ(box->backColor, kWhite);
    EXPECT_TRUE(box->picture.empty());
  }
  for (uint32_t id : {0x16017418u, 0x16017419u}) {
    auto drop = ReadTypeData<DropTargetData>(FindUnitRecord(*main_, id)->typeData);
    ASSERT_TRUE(drop);
    EXPECT_EQ((std::array{drop->acceptText, drop->acceptHtml, drop->acceptUrl, drop->acceptFiles}),
              (std::array{0u, 0u, 0u, 1u}));
  }
  const std::pair<uint32_t, const char*> captions[] = {
      {0x16011985, "设置"}, {0x16011901, "选择背景"}, {0x16011889, "选择字体"}, {0x16010005, "生成"}};
  for (auto [id, caption] : captions) {
    auto button = ReadTypeData<ButtonData>(FindUnitRecord(*main_, id)->typeData);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->caption, Utf8ToGbk(caption));
    EXPECT_EQ(button->kind, 0u);
    EXPECT_EQ(button->horizontalAlign, 1u);
  }
  auto label = ReadTypeData<LabelData>(FindUnitRecord(*main_, 0x16010003)->typeData);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->caption, "\xc7\xeb\xca\xe4\xc8\xeb" "ID\xa3\xba");  // 请输入ID： in GBK
  auto edit = ReadTypeData<EditBoxData>(FindUnitRecord(*main_, 0x16010004)->typeData);
  ASSERT_TRUE(edit);
  EXPECT_TRUE(edit->content.empty());
}

TEST_F(ProgramTemplates, SettingsWindow) {
  const UnitRecord& window = *FindUnitRecord(*settings_, 0);
  EXPECT_EQ(window.unitId, 0x06011987u);
  EXPECT_EQ(settings_->codeModuleId, 0x1901198Bu);
  EXPECT_EQ(window.width, 339u);
  EXPECT_EQ(window.height, 153u);
  EXPECT_EQ(window.events, (std::vector<EventBinding>{{2, Handler(HandlerId::ApplySettings)},
                                                      {0, Handler(HandlerId::ShowSettings)}}));
  auto data = ReadTypeData<WindowData>(window.typeData);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->title, Utf8ToGbk("设置"));
  EXPECT_TRUE(data->icon.empty());

  ExpectUnits(*settings_, {
      {0x160119D5, kTypeCheckBox, "选择框2", 0, 272, 56, 48, 20, VF, {}},
      {0x160119A6, kTypeCheckBox, "选择框1", 0, 272, 16, 48, 20, VF, {}},
      {0x160119A3, kTypeColorPicker, "颜色选择器1", 0, 80, 16, 80, 20, VF, {}},
      {0x160119A2, kTypeCommonDlg, "通用对话框1", 0, 8, 72, 48, 32, 0, {}},
      {0x160119A1, kTypeButton, "按钮2", 0, 176, 16, 80, 20, VF, {{0, Handler(HandlerId::ChoosePortrait)}}},
      {0x16011998, kTypeComboBox, "组合框2", 0, 80, 96, 176, 20, VF, {}},
      {0x16011997, kTypeLabel, "标签6", 0, 8, 96, 64, 20, V, {}},
      {0x16011992, kTypeLabel, "标签4", 0, 8, 16, 64, 20, V, {}},
      {0x16011991, kTypeComboBox, "组合框1", 0, 80, 56, 176, 20, VF, {}},
      {0x16011990, kTypeLabel, "标签3", 0, 8, 56, 64, 20, V, {}},
  });

  EXPECT_EQ(ReadTypeData<CheckBoxData>(FindUnitRecord(*settings_, 0x160119D5)->typeData)->checked, 0u);
  auto onlinePortrait = ReadTypeData<CheckBoxData>(FindUnitRecord(*settings_, 0x160119A6)->typeData);
  EXPECT_EQ(onlinePortrait->checked, 1u);
  EXPECT_EQ(onlinePortrait->caption, Utf8ToGbk("默认"));
  EXPECT_EQ(ReadTypeData<ColorPickerData>(FindUnitRecord(*settings_, 0x160119A3)->typeData)->color, 0xFFFFFFu);

  auto saveModes = ReadTypeData<ComboBoxData>(FindUnitRecord(*settings_, 0x16011991)->typeData);
  ASSERT_TRUE(saveModes);
  EXPECT_EQ(saveModes->kind, 2u);
  EXPECT_EQ(saveModes->selectedIndex, 0);
  std::vector<std::string> modes;
  for (const char* item : {"保存到剪辑版", "写到指定位置", "选择手动保存", "什么也不做"}) modes.push_back(Utf8ToGbk(item));
  EXPECT_EQ(saveModes->items, modes);
  auto configuration = ReadTypeData<ComboBoxData>(FindUnitRecord(*settings_, 0x16011998)->typeData);
  ASSERT_TRUE(configuration);
  EXPECT_EQ(configuration->items,
            (std::vector<std::string>{Utf8ToGbk("使用上次配置"), Utf8ToGbk("使用默认配置")}));
}

TEST_F(ProgramTemplates, EveryTypeDataBlockIsFullAtItsVersion) {
  for (const LoadedForm* form : {main_, settings_}) {
    for (const UnitRecord& unit : form->units) {
      ASSERT_GE(unit.typeData.size(), 4u) << std::hex << unit.unitId;
      bool ok = false;
      switch (unit.dataType) {
        case kTypeWindow: ok = ReadTypeData<WindowData>(unit.typeData).has_value(); break;
        case kTypeButton: ok = ReadTypeData<ButtonData>(unit.typeData).has_value(); break;
        case kTypeLabel: ok = ReadTypeData<LabelData>(unit.typeData).has_value(); break;
        case kTypeEditBox: ok = ReadTypeData<EditBoxData>(unit.typeData).has_value(); break;
        case kTypeCheckBox: ok = ReadTypeData<CheckBoxData>(unit.typeData).has_value(); break;
        case kTypeComboBox: ok = ReadTypeData<ComboBoxData>(unit.typeData).has_value(); break;
        case kTypeColorPicker: ok = ReadTypeData<ColorPickerData>(unit.typeData).has_value(); break;
        case kTypePicBox: ok = ReadTypeData<PicBoxData>(unit.typeData).has_value(); break;
        case kTypeDrawPanel: ok = ReadTypeData<DrawPanelData>(unit.typeData).has_value(); break;
        case kTypeCommonDlg: ok = ReadTypeData<CommonDlgData>(unit.typeData).has_value(); break;
        case kTypeDropTarget: ok = ReadTypeData<DropTargetData>(unit.typeData).has_value(); break;
      }
      EXPECT_TRUE(ok) << std::hex << unit.unitId;
    }
  }
}

}  // namespace
}  // namespace quorlin::forms
