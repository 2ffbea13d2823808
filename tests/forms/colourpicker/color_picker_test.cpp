// The colour picker through the forms layer on the headless display: the pop-up opened and
// driven with real mouse and key input, the notifications its parent sees, the event, the
// transparent marker rules and the pixels of the swatch and of a cell.
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/shell/common_dialogs.h"
#include "platform/shell/headless_shell.h"
#include "platform/user/focus.h"
#include "platform/user/input.h"
#include "platform/user/input_injection.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/tooltip_control.h"
#include "platform/user/virtual_keys.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/colourpicker/color_palette.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/colourpicker/color_picker_drawing.h"
#include "runtime/forms/colourpicker/color_picker_notifications.h"
#include "runtime/forms/colourpicker/color_popup.h"
#include "tests/forms/support/forms_fixture.h"

namespace quorlin::testing {
namespace {

using namespace forms;

constexpr uint32_t kForm = 0x52000031;
constexpr uint32_t kPicker = 0x16000071;
constexpr uint32_t kEdit = 0x16000072;

struct Notification {
  UINT code;
  COLORREF color;
  bool operator==(const Notification&) const = default;
};

std::vector<Notification>& Notifications() {
  static std::vector<Notification> seen;
  return seen;
}

WNDPROC g_parentProcedure = nullptr;

LRESULT RecordingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= kSelectionChanged && message <= kChoiceCancelled) {
    Notifications().push_back({message, static_cast<COLORREF>(wParam)});
  }
  return CallWindowProcA(g_parentProcedure, window, message, wParam, lParam);
}

template <int N>
HandlerResult Log(const HandlerArguments&) {
  static const char* const names[] = {"", "ColorChosen", "got focus", "lost focus"};
  EventLog().push_back(names[N]);
  return {};
}

int Count(const std::string& name) {
  int n = 0;
  for (const std::string& entry : EventLog()) n += entry == name;
  return n;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class ColorPickerTest : public FormsTest {
 protected:
  void SetUp() override { platform::TheHeadlessShell().ClearDialogAnswers(); }

  void Open(COLORREF color, bool transparent, int left = 20) {
    Start({MakeForm(kForm, WindowData{}, {},
                    {{.id = kPicker, .type = kTypeColorPicker, .name = "p", .left = left, .top = 20, .width = 100,
                      .height = 22, .flags = kStateVisible | kStateFocusable,
                      .data = WriteTypeData(ColorPickerData{.color = color, .allowTransparent = transparent ? 1u : 0u}),
                      .events = {{0, 1}, {-7, 2}, {-8, 3}}},
                     {.id = kEdit, .type = kTypeEditBox, .name = "e", .top = 100, .width = 80, .height = 20,
                      .flags = kStateVisible | kStateFocusable, .data = WriteTypeData(EditBoxData{})}})});
    TestHandlers()[1] = &Log<1>;
    TestHandlers()[2] = &Log<2>;
    TestHandlers()[3] = &Log<3>;
    RegisterColorPickerUnitType();
    ASSERT_TRUE(Load(kForm));
    Pump();
    const HWND parent = GetParent(Picker());
    g_parentProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(parent, GWLP_WNDPROC));
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingParent));
    EventLog().clear();
    Notifications().clear();
  }

  void TearDown() override {
    if (HWND popup = Popup()) DestroyWindow(popup);
    platform::SetDialogObserver(nullptr);
    FormsTest::TearDown();
  }

  HWND Picker() { return UnitWindow(kForm, kPicker); }
  static HWND Popup() { return FindWindowA(kColorPopupClass, nullptr); }
  static ColorPopupState State() {
    ColorPopupState state;
    EXPECT_TRUE(ColorPopupStateOf(Popup(), state));
    return state;
  }
  uint32_t Color() { return static_cast<uint32_t>(Read(kForm, kPicker, 8)); }

  static void MoveTo(POINT screen) {
    platform::InjectMouseMove(screen);
    Pump();
  }
  static void ClickAt(POINT screen) {
    MoveTo(screen);
    platform::InjectMouseButton(platform::MouseButton::Left, true);
    Pump();
    platform::InjectMouseButton(platform::MouseButton::Left, false);
    Pump();
  }
  static void Key(BYTE key) {
    platform::InjectKey(key, true);
    Pump();
    platform::InjectKey(key, false);
    Pump();
  }
  void DropDown() {
    RECT rect;
    GetWindowRect(Picker(), &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    ASSERT_NE(Popup(), HWND{0});
  }
  static POINT CellCentre(int cell) {
    RECT popup;
    GetWindowRect(Popup(), &popup);
    const RECT r = State().layout.CellRect(cell);
    return {popup.left + (r.left + r.right) / 2, popup.top + (r.top + r.bottom) / 2};
  }
  static COLORREF PixelOf(HWND window, int x, int y) {
    const HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
  }
  COLORREF SwatchCentre() {
    Pump();
    UpdateWindow(Picker());
    RECT client;
    GetClientRect(Picker(), &client);
    const RECT swatch = PickerSwatchRect(client);
    return PixelOf(Picker(), (swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2);
  }
};

TEST_F(ColorPickerTest, PopupWithoutTransparentMarksWhiteAndHasTooltips) {
  Open(0xFFFFFF, false);
  DropDown();
  const ColorPopupState state = State();
  EXPECT_FALSE(state.layout.transparent);
  EXPECT_TRUE(state.layout.moreColors);
  EXPECT_EQ(state.chosenCell, 15) << "白色";
  EXPECT_EQ(state.currentCell, 15);
  EXPECT_EQ(Notifications(), (std::vector<Notification>{{kDropDownOpened, 0xFFFFFF}}));
  EXPECT_EQ(GetCapture(), Popup());

  RECT picker, popup;
  GetWindowRect(Picker(), &picker);
  GetWindowRect(Popup(), &popup);
  EXPECT_EQ(popup.left, picker.left);
  EXPECT_EQ(popup.top, picker.bottom);

  const HWND tip = FindWindowA(TOOLTIPS_CLASSA, nullptr);
  ASSERT_NE(tip, HWND{0});
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 32);
  char text[32] = {};
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = Popup();
  tool.uId = 12;
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "红色");
}

TEST_F(ColorPickerTest, ChoosingCellTwelveByMouse) {
  Open(0xFFFFFF, false);
  DropDown();
  Notifications().clear();
  ClickAt(CellCentre(12));
  EXPECT_EQ(Popup(), HWND{0});
  EXPECT_EQ(Color(), 0x0000FFu);
  EXPECT_EQ(Count("ColorChosen"), 1);
  EXPECT_EQ(Notifications(), (std::vector<Notification>{{kSelectionChanged, 0x0000FF},
                                                        {kClosedUp, 0x0000FF},
                                                        {kChoiceConfirmed, 0x0000FF},
                                                        {kSelectionChanged, 0x0000FF}}));
  EXPECT_EQ(SwatchCentre(), 0x0000FFu);
  EXPECT_EQ(GetCapture(), HWND{0}) << "the capture went with the pop-up";
}

TEST_F(ColorPickerTest, ConfirmingTheSameColourStillRaisesTheEventButNoChange) {
  Open(0x0000FF, false);
  DropDown();
  Notifications().clear();
  Key(VK_RETURN);
  EXPECT_EQ(Count("ColorChosen"), 1);
  EXPECT_EQ(Notifications(), (std::vector<Notification>{{kClosedUp, 0x0000FF}, {kChoiceConfirmed, 0x0000FF}}));
}

TEST_F(ColorPickerTest, KeyboardWalkAndEscape) {
  Open(0xFFFFFF, false);
  DropDown();
  Key(VK_UP);  // 15 → 8
  Key(VK_UP);  // 8 → 1
  Key(VK_UP);  // first row → the more-colours box
  EXPECT_EQ(State().currentCell, kMoreColorsBox);
  Key(VK_RIGHT);  // wraps to cell 0
  EXPECT_EQ(State().currentCell, 0);
  Key(VK_LEFT);
  EXPECT_EQ(State().currentCell, kMoreColorsBox);
  Notifications().clear();
  Key(VK_ESCAPE);
  EXPECT_EQ(Popup(), HWND{0});
  EXPECT_EQ(Color(), 0xFFFFFFu);
  EXPECT_EQ(Count("ColorChosen"), 0);
  EXPECT_EQ(Notifications(), (std::vector<Notification>{{kClosedUp, 0xFFFFFF}, {kChoiceCancelled, 0xFFFFFF}}));
}

TEST_F(ColorPickerTest, ReleaseOutsideCancels) {
  Open(0x00FF00, false);
  DropDown();
  MoveTo(CellCentre(3));
  RECT popup;
  GetWindowRect(Popup(), &popup);
  ClickAt({popup.right + 30, popup.bottom + 30});
  EXPECT_EQ(Popup(), HWND{0});
  EXPECT_EQ(Color(), 0x00FF00u);
  EXPECT_EQ(Count("ColorChosen"), 0);
}

TEST_F(ColorPickerTest, MoreColoursThroughTheDialog) {
  Open(0x00FF00, false);
  std::vector<platform::ShownDialog> shown;
  platform::SetDialogObserver([&](const platform::ShownDialog& dialog) { shown.push_back(dialog); });

  // Cancelled dialog: the old colour stays, no event.
  DropDown();
  ClickAt(CellCentre(kMoreColorsBox));
  EXPECT_EQ(Popup(), HWND{0});
  EXPECT_EQ(Color(), 0x00FF00u);
  EXPECT_EQ(Count("ColorChosen"), 0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].initial, "00FF00") << "starts at the opening colour";

  // A chosen colour is stored and raises the event.
  platform::DialogAnswer answer;
  answer.action = platform::DialogAnswer::Action::Colour;
  answer.colour = 0x123456;
  platform::TheHeadlessShell().QueueDialogAnswer(answer);
  DropDown();
  EXPECT_EQ(State().chosenCell, 10);
  Notifications().clear();
  ClickAt(CellCentre(kMoreColorsBox));
  EXPECT_EQ(Color(), 0x123456u);
  EXPECT_EQ(Count("ColorChosen"), 1);
  EXPECT_EQ(Notifications().front(), (Notification{kSelectionChanged, 0x00FF00})) << "the box sends the opening colour";

  DropDown();
  EXPECT_EQ(State().chosenCell, kMoreColorsBox) << "a colour not in the palette marks the more-colours box";
  Key(VK_ESCAPE);
}

TEST_F(ColorPickerTest, TransparentMarkerWithoutTransparentBox) {
  Open(0xFFFFFF, false);
  Write(kForm, kPicker, 8, kTransparentColor);
  EXPECT_EQ(Color(), kTransparentColor);
  EXPECT_EQ(SwatchCentre(), 0u) << "shown as black";
  DropDown();
  EXPECT_EQ(State().chosenCell, 0) << "the pop-up starts at what the swatch shows";
  Key(VK_ESCAPE);
  EXPECT_EQ(Color(), kTransparentColor) << "kept until a confirmed choice";
  DropDown();
  Key(VK_RIGHT);
  Key(VK_RETURN);
  EXPECT_EQ(Color(), 0x800000u);
}

TEST_F(ColorPickerTest, TransparentBoxOffered) {
  Open(kTransparentColor, true);
  DropDown();
  EXPECT_TRUE(State().layout.transparent);
  EXPECT_EQ(State().chosenCell, kTransparentBox);
  Key(VK_RIGHT);
  EXPECT_EQ(State().currentCell, 0);
  Key(VK_LEFT);
  EXPECT_EQ(State().currentCell, kTransparentBox);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(Color(), 0u);

  DropDown();
  ClickAt(CellCentre(kTransparentBox));
  EXPECT_EQ(Color(), kTransparentColor);
  EXPECT_EQ(Count("ColorChosen"), 2);
  // White around the text "透明": the swatch's corner shows white.
  Pump();
  UpdateWindow(Picker());
  RECT client;
  GetClientRect(Picker(), &client);
  const RECT swatch = PickerSwatchRect(client);
  EXPECT_EQ(PixelOf(Picker(), swatch.left + 3, swatch.top + 3), 0xFFFFFFu);

  // Switching the box off shows the stored marker as black.
  Write(kForm, kPicker, 9, 0);
  EXPECT_EQ(Read(kForm, kPicker, 9), 0u);
  EXPECT_EQ(PixelOf(Picker(), swatch.left + 3, swatch.top + 3), 0xFFFFFFu) << "not yet repainted";
  EXPECT_EQ(SwatchCentre(), 0u);
}

TEST_F(ColorPickerTest, PixelsOfACellAndTheSwatch) {
  Open(0x00FFFF, false);
  EXPECT_EQ(SwatchCentre(), 0x00FFFFu);
  RECT client;
  GetClientRect(Picker(), &client);
  EXPECT_EQ(PixelOf(Picker(), 0, 0), GetSysColor(COLOR_BTNSHADOW)) << "sunken frame";
  EXPECT_EQ(PixelOf(Picker(), 3, client.bottom / 2), 0xFFFFFFu) << "white between edge and swatch";
  Write(kForm, kPicker, 6, 1);  // disabled
  EXPECT_EQ(SwatchCentre(), GetSysColor(COLOR_BTNFACE));
  RECT rect;
  GetWindowRect(Picker(), &rect);
  ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  EXPECT_EQ(Popup(), HWND{0}) << "a disabled picker does not open";
  Write(kForm, kPicker, 6, 0);

  DropDown();
  Pump();
  UpdateWindow(Popup());
  const RECT cell = State().layout.CellRect(12);
  const int e = State().layout.edge;
  const HWND popup = Popup();
  EXPECT_EQ(PixelOf(popup, (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2), 0x0000FFu);
  EXPECT_EQ(PixelOf(popup, cell.left + e + 1, cell.top + e + 1), GetSysColor(COLOR_BTNSHADOW)) << "outline";
  EXPECT_EQ(PixelOf(popup, cell.left, cell.top), GetSysColor(COLOR_BTNFACE)) << "neither current nor chosen";
  const RECT chosen = State().layout.CellRect(14);
  EXPECT_EQ(PixelOf(popup, chosen.left, chosen.top), GetSysColor(COLOR_BTNSHADOW)) << "the chosen cell is sunken";
  Key(VK_ESCAPE);
}

TEST_F(ColorPickerTest, PopupAtTheRightEdgeIsShiftedLeft) {
  Open(0xFFFFFF, false);
  const int screen = GetSystemMetrics(SM_CXSCREEN);
  Write(kForm, 0, 0, static_cast<uint32_t>(screen - 140));  // the form's left
  Write(kForm, kPicker, 0, 110);
  Pump();
  DropDown();
  RECT picker, popup;
  GetWindowRect(Picker(), &picker);
  GetWindowRect(Popup(), &popup);
  EXPECT_EQ(popup.right, screen);
  EXPECT_LT(popup.left, picker.left);
  EXPECT_EQ(popup.top, picker.bottom);
  Key(VK_ESCAPE);
}

TEST_F(ColorPickerTest, LosingActivationCancelsAndFocusEventsAreRaised) {
  Open(0xFFFFFF, false);
  SetFocus(UnitWindow(kForm, kEdit));
  Pump();
  EventLog().clear();
  DropDown();
  EXPECT_EQ(EventLog().front(), "got focus");
  const HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 600, 40, 40, 0, 0, 0, nullptr);
  Pump();
  SetActiveWindow(other);
  Pump();
  EXPECT_EQ(Popup(), HWND{0});
  EXPECT_EQ(Count("ColorChosen"), 0);
  EXPECT_EQ(Notifications().back(), (Notification{kChoiceCancelled, 0xFFFFFF}));
  EXPECT_GE(Count("lost focus"), 1);
  DestroyWindow(other);
}

}  // namespace
}  // namespace quorlin::testing
