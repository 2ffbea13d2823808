// Creating a window from its template: creation order and parents, start events, the reuse
// rule, the unit table put back after the window goes, and the end of the message loop.
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000001;
constexpr uint32_t kOtherForm = 0x52000002;
constexpr uint32_t kPanel = 0x16000010;  // of a type nobody registered: a placeholder
constexpr uint32_t kButton = 0x16000011;
constexpr uint32_t kOnPanel = 0x16000012;
constexpr uint32_t kLabel = 0x16000013;
constexpr uint32_t kUnregisteredType = DataType(1, 8);

template <int N>
HandlerResult Log(const HandlerArguments&) {
  EventLog().push_back("event " + std::to_string(N));
  return {};
}

HandlerResult CloseOwnWindow(const HandlerArguments&) {
  EventLog().push_back("created, closing");
  DestroyWindow(static_cast<HWND>(HostService(HostCode::WindowHandleOfForm, kForm, 0)));
  return {};
}

WindowData Window(const char* title) {
  WindowData data;
  data.title = title;
  return data;
}

// Event 0, 3 and 4 of the window go to handlers 0, 3 and 4.
std::vector<TestEvent> StartEvents() { return {{0, 0}, {3, 3}, {4, 4}}; }

std::vector<TestUnit> Units() {
  return {
      // Listed after its container: created after it all the same, inside it.
      {.id = kOnPanel, .type = kTypeLabel, .name = "标签1", .parent = kPanel, .left = 5, .top = 6, .width = 40,
       .height = 20, .data = WriteTypeData(LabelData{.caption = "on panel"})},
      {.id = kPanel, .type = kUnregisteredType, .name = "画板1", .left = 0, .top = 0, .width = 200, .height = 100},
      {.id = kButton, .type = kTypeButton, .name = "按钮1", .left = 10, .top = 120, .width = 80, .height = 24,
       .flags = kStateVisible | kStateFocusable, .data = WriteTypeData(ButtonData{.caption = "OK"})},
      {.id = kLabel, .type = kTypeLabel, .name = "标签2", .left = 100, .top = 120, .width = 60, .height = 20,
       .flags = 0, .data = WriteTypeData(LabelData{.caption = "hidden"})},
  };
}

class FormLoadingTest : public FormsTest {
 protected:
  void SetUp() override {
    Start({MakeForm(kForm, Window("main"), StartEvents(), Units()),
           MakeForm(kOtherForm, Window("other"), {}, {})});
    TestHandlers()[0] = &Log<0>;
    TestHandlers()[3] = &Log<3>;
    TestHandlers()[4] = &Log<4>;
  }
};

TEST_F(FormLoadingTest, UnitsGoIntoTheirContainersAndStartEventsFollowInOrder) {
  ASSERT_TRUE(Load(kForm));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"event 0", "event 3", "event 4"}));

  const HWND window = WindowOf(kForm);
  const HWND panel = UnitWindow(kForm, kPanel);
  ASSERT_NE(panel, 0u);
  char text[64] = {};
  GetWindowTextA(panel, text, sizeof text);
  EXPECT_STREQ(text, kPlaceholderText);
  EXPECT_EQ(GetParent(panel), window);
  EXPECT_EQ(GetParent(UnitWindow(kForm, kOnPanel)), panel);
  EXPECT_EQ(Read(kForm, kOnPanel, 0), 5u);  // relative to the container
  EXPECT_EQ(Read(kForm, kOnPanel, 1), 6u);

  // Visibility as the flags say; the focusable unit holds the focus once the window is active.
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(IsWindowVisible(UnitWindow(kForm, kButton)));
  EXPECT_FALSE(IsWindowVisible(UnitWindow(kForm, kLabel)));
  EXPECT_EQ(GetFocus(), UnitWindow(kForm, kButton));

  // The template's order is the z-order: the first unit listed lies on top.
  EXPECT_EQ(GetWindow(window, GW_CHILD), panel);
  EXPECT_EQ(GetWindow(panel, GW_HWNDNEXT), UnitWindow(kForm, kButton));
  EXPECT_EQ(GetWindow(UnitWindow(kForm, kButton), GW_HWNDNEXT), UnitWindow(kForm, kLabel));
  EXPECT_EQ(GetWindow(panel, GW_CHILD), UnitWindow(kForm, kOnPanel));
}

TEST_F(FormLoadingTest, TheWindowIsCentredWhenItsStartPositionSaysSo) {
  WindowData centred = Window("centred");
  centred.startPosition = 1;
  Start({MakeForm(kForm, centred, {}, {}, 300, 200)});
  ASSERT_TRUE(Load(kForm));
  RECT rect;
  GetWindowRect(WindowOf(kForm), &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
  EXPECT_EQ(rect.right - rect.left, 300);
}

TEST_F(FormLoadingTest, ACreatedHandlerThatClosesTheWindowStopsEventsThreeAndFour) {
  TestHandlers()[0] = &CloseOwnWindow;
  EXPECT_FALSE(Load(kForm));
  EXPECT_EQ(EventLog(), (std::vector<std::string>{"created, closing"}));
  EXPECT_EQ(WindowOf(kForm), 0u);
  EXPECT_FALSE(RegisteredFormsLayer()->AnyLiveWindow());
}

TEST_F(FormLoadingTest, LoadingAnOpenWindowOnlyBringsItToTheFront) {
  ASSERT_TRUE(Load(kForm));
  const HWND first = WindowOf(kForm);
  ASSERT_TRUE(Load(kOtherForm));
  EXPECT_EQ(GetActiveWindow(), WindowOf(kOtherForm));
  EventLog().clear();

  EXPECT_TRUE(Load(kForm));
  EXPECT_EQ(WindowOf(kForm), first);
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_TRUE(EventLog().empty());
}

TEST_F(FormLoadingTest, AWindowWithAParentThatIsNotLiveIsNotCreated) {
  int notAWindowObject = 0;
  LoadWindowRequest request{kForm, &notAWindowObject, 0};
  EXPECT_EQ(HostService(HostCode::LoadWindow, reinterpret_cast<intptr_t>(&request), 0), -1);
  EXPECT_EQ(WindowOf(kForm), 0u);

  LoadWindowRequest unknown{0x52000099, nullptr, 0};
  EXPECT_EQ(HostService(HostCode::LoadWindow, reinterpret_cast<intptr_t>(&unknown), 0), -1);
}

TEST_F(FormLoadingTest, ValuesChangedWhileOpenAreGoneWhenTheWindowIsOpenedAgain) {
  ASSERT_TRUE(Load(kForm));
  Write(kForm, kButton, 0, 33);
  Write(kForm, kButton, 5, 0);
  const std::string tag = "changed";
  WritePointer(kForm, kButton, 4, tag.c_str());
  EXPECT_EQ(Read(kForm, kButton, 0), 33u);
  EXPECT_EQ(ReadText(kForm, kButton, 4), "changed");

  DestroyWindow(WindowOf(kForm));
  EXPECT_EQ(Read(kForm, kButton, 0), 10u);  // the template's again, without a window
  EXPECT_EQ(ReadText(kForm, kButton, 4), "");
  ASSERT_TRUE(Load(kForm));
  EXPECT_TRUE(IsWindowVisible(UnitWindow(kForm, kButton)));
  EXPECT_EQ(Read(kForm, kButton, 0), 10u);
}

TEST_F(FormLoadingTest, ClosingTheLastWindowEndsTheMessageLoop) {
  ASSERT_TRUE(Load(kForm));
  ASSERT_TRUE(Load(kOtherForm));
  PostMessageA(WindowOf(kOtherForm), WM_CLOSE, 0, 0);
  PostMessageA(WindowOf(kForm), WM_CLOSE, 0, 0);
  Kernel().RunMessageLoop();  // returns on the quit message the last window posts
  EXPECT_FALSE(RegisteredFormsLayer()->AnyLiveWindow());
}

}  // namespace
}  // namespace quorlin::testing
