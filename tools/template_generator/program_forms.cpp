#include "tools/template_generator/program_forms.h"

#include <string>
#include <utility>

#include "app/forms/handler_ids.h"
#include "platform/base/code_page.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "tools/template_generator/icon_drawing.h"

namespace quorlin::tools {

namespace {

using app::HandlerId;
using namespace quorlin::forms;

constexpr uint32_t V = kStateVisible;
constexpr uint32_t VF = kStateVisible | kStateFocusable;
constexpr uint32_t kHidden = 0;
constexpr uint32_t kOnWindow = 0;

std::string Gbk(const char* utf8) { return platform::Utf8ToGbk(utf8); }

struct Event {
  int32_t index;
  HandlerId handler;
};

struct Unit {
  uint32_t id;
  uint32_t type;
  const char* name;
  uint32_t parent;
  int32_t left, top;
  uint32_t width, height;
  uint32_t flags;
  ByteBlock data;
  std::vector<Event> events = {};
};

UnitRecord Record(const Unit& unit) {
  UnitRecord record;
  record.unitId = unit.id;
  record.dataType = unit.type;
  record.name = Gbk(unit.name);
  record.left = unit.left;
  record.top = unit.top;
  record.width = unit.width;
  record.height = unit.height;
  record.parentUnit = unit.parent;
  record.mousePointer = ByteBlock(4, 0);  // the default pointer
  record.stateFlags = unit.flags;
  for (const Event& event : unit.events) {
    record.events.push_back({event.index, static_cast<uintptr_t>(event.handler)});
  }
  record.typeData = unit.data;
  return record;
}

// A form: its window unit, then the units in template order; each container lists the units
// whose parent it is, in that order.
LoadedForm Form(uint32_t formId, uint32_t codeModuleId, const Unit& window, const std::vector<Unit>& units) {
  LoadedForm form;
  form.formId = formId;
  form.codeModuleId = codeModuleId;
  form.units.push_back(Record(window));
  for (const Unit& unit : units) form.units.push_back(Record(unit));
  for (UnitRecord& container : form.units) {
    for (const UnitRecord& unit : form.units) {
      if (unit.parentUnit != 0 && unit.parentUnit == container.unitId) container.children.push_back(unit.unitId);
    }
  }
  return form;
}

ByteBlock Button(const char* caption) {
  return WriteTypeData(ButtonData{.kind = 0, .horizontalAlign = 1, .verticalAlign = 1, .caption = Gbk(caption)});
}

ByteBlock Label(const char* caption) { return WriteTypeData(LabelData{.caption = Gbk(caption)}); }

ByteBlock CheckBox(const char* caption, bool checked) {
  return WriteTypeData(CheckBoxData{.checked = checked ? 1u : 0u, .caption = Gbk(caption)});
}

ByteBlock DropDownList(std::initializer_list<const char*> items) {
  ComboBoxData data{.kind = 2, .selectedIndex = 0};
  for (const char* item : items) data.items.push_back(Gbk(item));
  return WriteTypeData(data);
}

ByteBlock FilesOnly() {
  return WriteTypeData(DropTargetData{.acceptText = 0, .acceptHtml = 0, .acceptUrl = 0, .acceptFiles = 1});
}

ByteBlock PortraitBox() {
  return WriteTypeData(PicBoxData{.border = 0, .backColor = kWhite, .displayMode = 1});
}

ByteBlock CardCanvas() {
  return WriteTypeData(DrawPanelData{
      .border = 0,
      .backColor = kDefaultColor,
      .backPictureMode = 1,
      .autoRedraw = 1,
      .drawingUnit = 0,
      .textColor = kWhite,
      .textBackColor = kDefaultColor,
      .font = MakeLogFont({.height = -16, .weight = 400, .face = Gbk("方正粗活意简体")}),
  });
}

ByteBlock FixedWindow(const char* title, ByteBlock icon) {
  return WriteTypeData(WindowData{
      .borderKind = 2,
      .appearance = 1,
      .backColor = kDefaultColor,
      .maximizeBox = 0,
      .minimizeBox = 1,
      .controlMenu = 1,
      .startPosition = 1,
      .icon = std::move(icon),
      .title = Gbk(title),
  });
}

LoadedForm MainWindow() {
  constexpr uint32_t kCanvas = 0x16011953;  // 画板2
  Unit window{0x06010000, kTypeWindow, "", 0, 50, 50, 586, 453, V,
              FixedWindow("Quorlin    - by Tamsk", DrawProgramIcon()),
              {{0, HandlerId::LoadSettings}, {2, HandlerId::MainWindowClosed}}};
  std::vector<Unit> units = {
      {0x16017419, kTypeDropTarget, "拖放对象2", kCanvas, 520, 200, 32, 32, kHidden, FilesOnly(),
       {{3, HandlerId::DropOnPortrait}}},
      {0x16017418, kTypeDropTarget, "拖放对象1", kCanvas, 472, 88, 32, 24, kHidden, FilesOnly(),
       {{3, HandlerId::DropOnCard}}},
      {0x160119D7, kTypeDrawPanel, "画板1", kCanvas, 150, 56, 300, 300, kHidden, WriteTypeData(DrawPanelData{})},
      {0x16011985, kTypeButton, "按钮4", kOnWindow, 408, 394, 80, 24, VF, Button("设置"),
       {{0, HandlerId::OpenSettings}}},
      {0x16011984, kTypeCommonDlg, "通用对话框1", kCanvas, 288, 288, 56, 48, kHidden, WriteTypeData(CommonDlgData{})},
      {kCanvas, kTypeDrawPanel, "画板2", kOnWindow, 0, 0, 580, 385, V, CardCanvas()},
      {0x16011954, kTypeCommonDlg, "通用对话框3", kCanvas, 400, 312, 56, 48, kHidden,
       WriteTypeData(CommonDlgData{.kind = 2})},
      {0x16011955, kTypeCommonDlg, "通用对话框4", kCanvas, 616, 360, 72, 64, kHidden, WriteTypeData(CommonDlgData{})},
      {0x16011956, kTypePicBox, "图片框3", kCanvas, 233, 103, 134, 134, kHidden, PortraitBox()},
      {0x16011957, kTypePicBox, "图片框4", kCanvas, 230, 100, 140, 140, kHidden, PortraitBox()},
      {0x16011901, kTypeButton, "按钮3", kOnWindow, 232, 394, 80, 24, VF, Button("选择背景"),
       {{0, HandlerId::ChooseBackground}}},
      {0x16011889, kTypeButton, "按钮2", kOnWindow, 320, 394, 80, 24, VF, Button("选择字体"),
       {{0, HandlerId::ChooseFont}}},
      {0x16010005, kTypeButton, "按钮1", kOnWindow, 496, 394, 80, 24, VF, Button("生成"),
       {{0, HandlerId::GenerateCard}}},
      {0x16010004, kTypeEditBox, "编辑框1", kOnWindow, 88, 394, 136, 24, VF, WriteTypeData(EditBoxData{})},
      {0x16010003, kTypeLabel, "标签1", kOnWindow, 8, 394, 72, 24, V, Label("请输入ID：")},
  };
  return Form(0x52010001, 0x19010006, window, units);
}

LoadedForm SettingsWindow() {
  Unit window{0x06011987, kTypeWindow, "", 0, 50, 50, 339, 153, V, FixedWindow("设置", {}),
              {{2, HandlerId::ApplySettings}, {0, HandlerId::ShowSettings}}};
  std::vector<Unit> units = {
      {0x160119D5, kTypeCheckBox, "选择框2", kOnWindow, 272, 56, 48, 20, VF, CheckBox("小图", false)},
      {0x160119A6, kTypeCheckBox, "选择框1", kOnWindow, 272, 16, 48, 20, VF, CheckBox("默认", true)},
      {0x160119A3, kTypeColorPicker, "颜色选择器1", kOnWindow, 80, 16, 80, 20, VF,
       WriteTypeData(ColorPickerData{.color = kWhite, .allowTransparent = 0})},
      {0x160119A2, kTypeCommonDlg, "通用对话框1", kOnWindow, 8, 72, 48, 32, kHidden, WriteTypeData(CommonDlgData{})},
      {0x160119A1, kTypeButton, "按钮2", kOnWindow, 176, 16, 80, 20, VF, Button("头像"),
       {{0, HandlerId::ChoosePortrait}}},
      {0x16011998, kTypeComboBox, "组合框2", kOnWindow, 80, 96, 176, 20, VF,
       DropDownList({"使用上次配置", "使用默认配置"})},
      {0x16011997, kTypeLabel, "标签6", kOnWindow, 8, 96, 64, 20, V, Label("配置设置")},
      {0x16011992, kTypeLabel, "标签4", kOnWindow, 8, 16, 64, 20, V, Label("边框颜色")},
      {0x16011991, kTypeComboBox, "组合框1", kOnWindow, 80, 56, 176, 20, VF,
       DropDownList({"保存到剪辑版", "写到指定位置", "选择手动保存", "什么也不做"})},
      {0x16011990, kTypeLabel, "标签3", kOnWindow, 8, 56, 64, 20, V, Label("保存方式")},
  };
  return Form(0x52011988, 0x1901198B, window, units);
}

}  // namespace

std::vector<LoadedForm> ProgramForms() {
  std::vector<LoadedForm> forms;
  forms.push_back(MainWindow());
  forms.push_back(SettingsWindow());
  return forms;
}

}  // namespace quorlin::tools
