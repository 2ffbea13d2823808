// The built-in unit types through the layer: their own properties with the kinds' rules, the
// window's close events, and the common dialog's OpenDialog over scripted headless answers.
#include "platform/shell/common_dialogs.h"
#include "platform/shell/headless_shell.h"
#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/units/common_dialog_unit.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/host_service.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kButton = 0x16000051;
constexpr uint32_t kCheck = 0x16000052;
constexpr uint32_t kCombo = 0x16000053;
constexpr uint32_t kDialog = 0x16000054;
constexpr uint32_t kEdit = 0x16000055;

HandlerResult KeepOpen(const HandlerArguments&) {
  EventLog().push_back("close request");
  return {true, 0};
}

HandlerResult ReadEditWhileDestroying(const HandlerArguments&) {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(EntryTable().ReadUnitProperty(kForm, kEdit, 8, -1)));
  EventLog().push_back(std::string("destroying, edit holds ") + (text ? text : ""));
  EntryTable().Free(text);
  return {};
}

class UnitTypesTest : public FormsTest {
 protected:
  void SetUp() override {
    WindowData window;
    window.title = "title";
    ComboBoxData combo{.kind = 2, .selectedIndex = 5, .items = {"zero", "one"}};
    Start({MakeForm(kForm, window, {{12, 1}, {2, 2}},
                    {{.id = kButton, .type = kTypeButton, .name = "b", .width = 60, .height = 20,
                      .data = WriteTypeData(ButtonData{.caption = "Go"})},
                     {.id = kCheck, .type = kTypeCheckBox, .name = "c", .top = 30, .width = 60, .height = 20,
                      .data = WriteTypeData(CheckBoxData{.checked = 1, .caption = "on"})},
                     {.id = kCombo, .type = kTypeComboBox, .name = "k", .top = 60, .width = 100, .height = 20,
                      .data = WriteTypeData(combo)},
                     {.id = kDialog, .type = kTypeCommonDlg, .name = "d", .flags = 0,
                      .data = WriteTypeData(CommonDlgData{})},
                     {.id = kEdit, .type = kTypeEditBox, .name = "e", .top = 100, .width = 80, .height = 20,
                      .data = WriteTypeData(EditBoxData{.content = "kept"})}})});
    ASSERT_TRUE(Load(kForm));
    EventLog().clear();
  }

  bool OpenDialog() {
    TypedValue result{};
    TypedValue unit{kForm, kDialog, kTypeCommonDlg};
    OpenDialogCommand(&result, 1, &unit);
    return result.low != 0;
  }
};

TEST_F(UnitTypesTest, WindowTitleAndButtonCaption) {
  EXPECT_EQ(ReadText(kForm, 0, 8), "title");
  WritePointer(kForm, 0, 8, "新标题");
  char title[32] = {};
  GetWindowTextA(WindowOf(kForm), title, sizeof title);
  EXPECT_STREQ(title, "新标题");

  WritePointer(kForm, kButton, 10, "确定");
  EXPECT_EQ(ReadText(kForm, kButton, 10), "确定");
  // The kind is a creation style: the button is made anew, caption and place kept.
  const HWND before = UnitWindow(kForm, kButton);
  Write(kForm, kButton, 9, 1);
  EXPECT_NE(UnitWindow(kForm, kButton), before);
  EXPECT_EQ(GetWindowLongA(UnitWindow(kForm, kButton), GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(ReadText(kForm, kButton, 10), "确定");
  // An integer choice: negative values become 0.
  Write(kForm, kButton, 9, static_cast<uint32_t>(-3));
  EXPECT_EQ(Read(kForm, kButton, 9), 0u);
}

TEST_F(UnitTypesTest, CheckBoxCheckedStateIsReadFromTheLiveBox) {
  EXPECT_EQ(Read(kForm, kCheck, 18), 1u);
  SendMessageA(UnitWindow(kForm, kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(Read(kForm, kCheck, 18), 0u);
  Write(kForm, kCheck, 18, 5);
  EXPECT_EQ(SendMessageA(UnitWindow(kForm, kCheck), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
}

TEST_F(UnitTypesTest, ComboBoxIndexIsClampedToItsItems) {
  EXPECT_EQ(Read(kForm, kCombo, 19), 1u);  // 5 in the template, two items
  RECT rect;
  GetWindowRect(UnitWindow(kForm, kCombo), &rect);
  EXPECT_GE(rect.bottom - rect.top, 20);
  Write(kForm, kCombo, 19, 0);
  EXPECT_EQ(Read(kForm, kCombo, 19), 0u);
  Write(kForm, kCombo, 19, static_cast<uint32_t>(-7));
  EXPECT_EQ(static_cast<int32_t>(Read(kForm, kCombo, 19)), -1);
  Write(kForm, kCombo, 19, 99);
  EXPECT_EQ(Read(kForm, kCombo, 19), 1u);
}

TEST_F(UnitTypesTest, OpenDialogShowsTheKindAndStoresTheChoice) {
  std::vector<platform::ShownDialog> shown;
  platform::SetDialogObserver([&](const platform::ShownDialog& dialog) { shown.push_back(dialog); });
  auto& shell = platform::TheHeadlessShell();
  shell.ClearDialogAnswers();

  WritePointer(kForm, kDialog, 11, "图片|*.jpg");
  WritePointer(kForm, kDialog, 10, "start.jpg");
  shell.QueueDialogAnswer({platform::DialogAnswer::Action::Open, "/tmp/chosen.jpg"});
  EXPECT_TRUE(OpenDialog());
  EXPECT_EQ(ReadText(kForm, kDialog, 10), "/tmp/chosen.jpg");

  Write(kForm, kDialog, 8, 1);
  EXPECT_FALSE(OpenDialog());  // no answer waiting: cancelled
  EXPECT_EQ(ReadText(kForm, kDialog, 10), "/tmp/chosen.jpg");

  Write(kForm, kDialog, 8, 2);
  shell.QueueDialogAnswer({platform::DialogAnswer::Action::Font, reinterpret_cast<const char*>(u8"黑体")});
  EXPECT_TRUE(OpenDialog());
  EXPECT_EQ(ReadText(kForm, kDialog, 25), "黑体");
  platform::SetDialogObserver(nullptr);

  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].kind, platform::DialogKind::Open);
  EXPECT_EQ(shown[0].filter, reinterpret_cast<const char*>(u8"图片|*.jpg"));
  EXPECT_EQ(shown[0].initial, "start.jpg");
  EXPECT_EQ(shown[1].kind, platform::DialogKind::Save);
  EXPECT_EQ(shown[2].kind, platform::DialogKind::Font);
}

TEST_F(UnitTypesTest, ACloseRequestHandlerThatAnswersFalseKeepsTheWindowOpen) {
  TestHandlers()[1] = &KeepOpen;
  SendMessageA(WindowOf(kForm), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(WindowOf(kForm)));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"close request"}));
}

TEST_F(UnitTypesTest, TheDestroyEventRunsWhileTheUnitsStillExist) {
  TestHandlers()[2] = &ReadEditWhileDestroying;
  SendMessageA(WindowOf(kForm), WM_CLOSE, 0, 0);
  EXPECT_EQ(WindowOf(kForm), 0u);
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"destroying, edit holds kept"}));
}

}  // namespace
}  // namespace quorlin::testing
