#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/draw_helpers.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/units/builtin_unit_types.h"
#include "runtime/forms/units/window_unit.h"

namespace quorlin::forms {

const char kPlaceholderText[] = "因所在支持库载入出错而无法创建";

namespace {

constexpr const char* kPlaceholderClass = "QuorlinPlaceholder";

class PlaceholderUnit final : public Unit, public UnitMessageHandler {
 public:
  PlaceholderUnit(const UnitCreation& creation)
      : Unit(creation), typeData_(creation.typeData.begin(), creation.typeData.end()) {}

  bool Make(const UnitCreation& creation) {
    window_ = CreateWindowExA(0, kPlaceholderClass, kPlaceholderText, WS_CHILD | WS_CLIPSIBLINGS, creation.left,
                              creation.top, creation.width, creation.height, creation.parent, 0, 0, nullptr);
    if (!window_) return false;
    AttachUnit(window_, *this, *this);
    return true;
  }

  HWND Window() const override { return window_; }
  std::vector<uint8_t> SaveTypeData() const override { return typeData_; }

  bool HandleMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message != WM_PAINT) return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    RECT text = client;
    InflateRect(&text, -2, -2);
    DrawTextA(dc, kPlaceholderText, -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
    result = 0;
    return true;
  }

 private:
  std::vector<uint8_t> typeData_;
  HWND window_ = 0;
};

void RegisterPlaceholderClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &UnitWindowProcedure;
    windowClass.lpszClassName = kPlaceholderClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

std::unique_ptr<Unit> CreatePlaceholderUnit(const UnitCreation& creation) {
  RegisterPlaceholderClass();
  auto unit = std::make_unique<PlaceholderUnit>(creation);
  if (!unit->Make(creation)) return nullptr;
  return unit;
}

void RegisterBuiltinUnitTypes() {
  RegisterUnitType(WindowUnitType());
  RegisterUnitType(ButtonUnitType());
  RegisterUnitType(LabelUnitType());
  RegisterUnitType(EditBoxUnitType());
  RegisterUnitType(CheckBoxUnitType());
  RegisterUnitType(ComboBoxUnitType());
  RegisterUnitType(CommonDlgUnitType());
}

}  // namespace quorlin::forms
