// DropTarget units on a loaded form: drops injected through the headless shell onto a real
// window registered with RegisterDropWindow reach the bound handlers with the dropped text.
#include <string>
#include <vector>

#include "platform/shell/drag_drop.h"
#include "platform/shell/headless_shell.h"
#include "platform/shell/shell_backend.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/host_service.h"
#include "tests/dragdrop/test_window.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;
using platform::ExchangeData;
using platform::TheHeadlessShell;

constexpr uint32_t kForm = 0x52000031;
constexpr uint32_t kOtherForm = 0x52000032;
constexpr uint32_t kArea = 0x16000041;      // a label: the window drops land on
constexpr uint32_t kEverything = 0x16000042;  // accepts all four formats
constexpr uint32_t kFilesOnly = 0x16000043;
constexpr uint32_t kNothing = 0x16000044;   // accepts nothing
constexpr uint32_t kOtherTarget = 0x16000045;  // on the other form, accepts everything

// UTF-8 text as the shell exchanges it (this file's plain literals are GBK).
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Handler n logs "n:<event text>" (GBK bytes as they arrived).
template <int N>
HandlerResult LogText(const HandlerArguments& arguments) {
  const auto* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(arguments.values[0]));
  EventLog().push_back(std::to_string(N) + ":" + std::string(TextView(text)));
  return {};
}

uint32_t g_formToClose = 0;
HandlerResult LogAndCloseForm(const HandlerArguments& arguments) {
  LogText<9>(arguments);
  DestroyWindow(static_cast<HWND>(HostService(HostCode::WindowHandleOfForm, g_formToClose, 0)));
  return {};
}

ByteBlock Accepting(bool text, bool html, bool url, bool files) {
  DropTargetData data;
  data.acceptText = text, data.acceptHtml = html, data.acceptUrl = url, data.acceptFiles = files;
  return WriteTypeData(data);
}

// A drop target whose events 0 to 3 go to handlers base + 0 … base + 3.
TestUnit DropTarget(uint32_t id, ByteBlock data, uint32_t base) {
  return {.id = id, .type = kTypeDropTarget, .name = "d", .left = 200, .top = 10, .width = 32, .height = 32,
          .flags = 0, .data = std::move(data),
          .events = {{0, base}, {1, base + 1}, {2, base + 2}, {3, base + 3}}};
}

class DropTargetUnitTest : public FormsTest {
 protected:
  void SetUp() override {
    dragdrop::RegisterDropTargetUnitType();
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kArea, .type = kTypeLabel, .name = "area", .left = 20, .top = 20, .width = 120,
                      .height = 80, .data = WriteTypeData(LabelData{})},
                     DropTarget(kEverything, Accepting(true, true, true, true), 0),
                     DropTarget(kFilesOnly, Accepting(false, false, false, true), 4),
                     DropTarget(kNothing, Accepting(false, false, false, false), 4)}),
           MakeForm(kOtherForm, WindowData{}, {}, {DropTarget(kOtherTarget, Accepting(true, true, true, true), 8)})});
    TestHandlers()[0] = &LogText<0>;
    TestHandlers()[1] = &LogText<1>;
    TestHandlers()[2] = &LogText<2>;
    TestHandlers()[3] = &LogText<3>;
    TestHandlers()[4] = &LogText<4>;
    TestHandlers()[7] = &LogText<7>;
    TestHandlers()[8] = &LogText<8>;
    TestHandlers()[11] = &LogText<11>;
    ASSERT_TRUE(Load(kForm));
    popup_ = MakeDropWindow(700, 600, 100, 100);
    ASSERT_TRUE(popup_);
    EventLog().clear();
  }
  void TearDown() override {
    if (IsWindow(popup_)) DestroyWindow(popup_);
    FormsTest::TearDown();
  }

  static bool RegisterDropWindow(uint32_t form, uint32_t unit, HWND window) {
    TypedValue args[2] = {{form, unit, kTypeDropTarget}, MakeInteger(static_cast<int32_t>(window))};
    TypedValue result{};
    dragdrop::RegisterDropWindowCommand(&result, 2, args);
    EXPECT_EQ(result.tag, Tag::Boolean);
    return result.low != 0;
  }

  POINT AreaPoint() {
    RECT rect{};
    GetWindowRect(UnitWindow(kForm, kArea), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  static POINT PopupPoint() { return {750, 650}; }

  HWND popup_ = 0;
};

ExchangeData HtmlData(std::string html, std::optional<std::string> text = std::nullopt) {
  ExchangeData data;
  data.text = std::move(text);
  data.custom.push_back({"HTML Format", std::vector<BYTE>(html.begin(), html.end())});
  return data;
}

TEST_F(DropTargetUnitTest, EachOfferedFormatRaisesItsEventWithItsText) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kEverything, UnitWindow(kForm, kArea)));
  struct Row {
    const char* name;
    ExchangeData data;
    std::vector<std::string> expected;
  };
  ExchangeData text;
  text.text = Utf8(u8"纯文本");
  ExchangeData url;
  url.custom.push_back({"UniformResourceLocator", {'h', 't', 't', 'p', ':', '/', '/', 'x', '/', 'y'}});
  ExchangeData urlAndFile = url;
  urlAndFile.files = {"/tmp/one.png"};
  const std::string header = "Version:0.9\r\nStartHTML:0000000105\r\n";
  const Row rows[] = {
      {"plain text in the system code page", text, {"0:纯文本"}},
      {"text that also carries HTML gives only the HTML", HtmlData(header + "<b>x</b>", "x"),
       {"1:" + header + "<b>x</b>"}},
      {"no-break spaces become spaces, UTF-8 becomes GBK",
       HtmlData(Utf8(u8"<p>a\u00A0b\u00A0\u00A0中</p>")), {"1:<p>a b  中</p>"}},
      {"the URL unchanged", url, {"2:http://x/y"}},
      {"URL, then files, in one drop", urlAndFile, {"2:http://x/y", "3:/tmp/one.png"}},
  };
  for (const Row& row : rows) {
    EventLog().clear();
    const DWORD effect = TheHeadlessShell().Drop(row.data, AreaPoint());
    EXPECT_EQ(EventLog(), row.expected) << row.name;
    EXPECT_EQ(effect, DROPEFFECT_NONE) << row.name << ": the drop is reported as failed";
  }
}

TEST_F(DropTargetUnitTest, FilesDroppedGivesOnePathAsItIsAndSeveralEachEndedByCrLf) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, UnitWindow(kForm, kArea)));
  TheHeadlessShell().DropFiles({Utf8(u8"/tmp/卡片/背景.jpg")}, AreaPoint());
  TheHeadlessShell().DropFiles({"/tmp/a.png", "/tmp/b.jpg"}, AreaPoint());
  TheHeadlessShell().DropText("not a file", AreaPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"7:/tmp/卡片/背景.jpg", "7:/tmp/a.png\r\n/tmp/b.jpg\r\n"}));
}

TEST_F(DropTargetUnitTest, ATargetAcceptingNothingRefusesEveryDrag) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kNothing, UnitWindow(kForm, kArea)));
  ExchangeData all = HtmlData("<i>h</i>", "t");
  all.files = {"/tmp/f"};
  all.custom.push_back({"UniformResourceLocator", {'u'}});
  const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(platform::ExternalDragEnter(all, AreaPoint(), 0, allowed), DROPEFFECT_NONE);
  EXPECT_EQ(platform::ExternalDragOver(AreaPoint(), 0), DROPEFFECT_NONE);
  EXPECT_EQ(platform::ExternalDragDrop(AreaPoint(), 0), DROPEFFECT_NONE);
  EXPECT_TRUE(EventLog().empty());
}

TEST_F(DropTargetUnitTest, TheDragShowsTheEffectOfTheKeysHeld) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, UnitWindow(kForm, kArea)));
  ExchangeData files;
  files.files = {"/tmp/f"};
  const DWORD all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(platform::ExternalDragEnter(files, AreaPoint(), 0, all), DROPEFFECT_COPY);
  EXPECT_EQ(platform::ExternalDragOver(AreaPoint(), MK_SHIFT), DROPEFFECT_MOVE);
  EXPECT_EQ(platform::ExternalDragOver(AreaPoint(), MK_CONTROL | MK_SHIFT), DROPEFFECT_NONE);
  platform::ExternalDragLeave();
  EXPECT_EQ(platform::ExternalDragEnter(files, AreaPoint(), MK_CONTROL, DROPEFFECT_MOVE), DROPEFFECT_NONE);
  platform::ExternalDragLeave();
  // A drop that would do nothing raises nothing.
  TheHeadlessShell().Drop(files, AreaPoint(), MK_CONTROL | MK_SHIFT);
  EXPECT_TRUE(EventLog().empty());
}

TEST_F(DropTargetUnitTest, ASecondRegistrationFailsAndTheFirstStays) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, UnitWindow(kForm, kArea)));
  EXPECT_FALSE(RegisterDropWindow(kForm, kFilesOnly, popup_));
  EXPECT_FALSE(RegisterDropWindow(kForm, kFilesOnly, UnitWindow(kForm, kArea)));
  TheHeadlessShell().DropFiles({"/tmp/here"}, AreaPoint());
  TheHeadlessShell().DropFiles({"/tmp/there"}, PopupPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"7:/tmp/here"}));
}

TEST_F(DropTargetUnitTest, ADestroyedTargetRevokesItsRegistration) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, popup_));
  TheHeadlessShell().DropFiles({"/tmp/before"}, PopupPoint());
  DestroyWindow(WindowOf(kForm));
  EXPECT_EQ(platform::FindDropTarget(popup_), nullptr);
  TheHeadlessShell().DropFiles({"/tmp/after"}, PopupPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"7:/tmp/before"}));
}

TEST_F(DropTargetUnitTest, AFailedRegistrationNeverRevokesAnotherTargetsOne) {
  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, popup_));
  ASSERT_TRUE(Load(kOtherForm));
  EXPECT_FALSE(RegisterDropWindow(kOtherForm, kOtherTarget, popup_));  // the window has a target
  DestroyWindow(WindowOf(kOtherForm));
  TheHeadlessShell().DropFiles({"/tmp/still"}, PopupPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"7:/tmp/still"}));
}

TEST_F(DropTargetUnitTest, AHandlerThatEndsTheFormStopsTheRestOfTheDrop) {
  TestHandlers()[2] = &LogAndCloseForm;
  g_formToClose = kForm;
  ASSERT_TRUE(RegisterDropWindow(kForm, kEverything, popup_));
  ExchangeData data;
  data.custom.push_back({"UniformResourceLocator", {'u'}});
  data.files = {"/tmp/f"};
  TheHeadlessShell().Drop(data, PopupPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"9:u"}));  // no FilesDropped after the unit went
  EXPECT_FALSE(IsWindow(WindowOf(kForm)));
  EXPECT_EQ(platform::FindDropTarget(popup_), nullptr);
}

TEST_F(DropTargetUnitTest, TheAcceptPropertiesComeFromTheTemplateAndCanBeChanged) {
  for (int32_t k = 0; k < 4; ++k) {
    EXPECT_EQ(Read(kForm, kFilesOnly, 8 + k), k == 3 ? 1u : 0u) << k;
    EXPECT_EQ(Read(kForm, kEverything, 8 + k), 1u) << k;
  }
  Write(kForm, kFilesOnly, 8 + 0, 5);  // any non-zero value is true
  Write(kForm, kFilesOnly, 8 + 3, 0);
  EXPECT_EQ(Read(kForm, kFilesOnly, 8), 1u);
  EXPECT_EQ(Read(kForm, kFilesOnly, 11), 0u);

  ASSERT_TRUE(RegisterDropWindow(kForm, kFilesOnly, UnitWindow(kForm, kArea)));
  ExchangeData data;
  data.text = "t";
  data.files = {"/tmp/f"};
  TheHeadlessShell().Drop(data, AreaPoint());
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"4:t"}));
}

TEST_F(DropTargetUnitTest, RegisteringAUnitOfAnotherTypeGivesFalse) {
  EXPECT_FALSE(RegisterDropWindow(kForm, kArea, popup_));
  EXPECT_EQ(platform::FindDropTarget(popup_), nullptr);
}

}  // namespace
}  // namespace quorlin::testing
