#include "runtime/forms/units/window_unit.h"

#include <cstring>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/cursors.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "runtime/forms/template/form_template.h"
#include "runtime/forms/template/template_ids.h"
#include "runtime/forms/template/type_data.h"
#include "runtime/forms/units/event_record.h"
#include "runtime/forms/units/unit_support.h"
#include "runtime/kernel/host_service.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::forms {
namespace {

constexpr const char* kFormClass = "QuorlinForm";
constexpr UINT kFormCreatedMessage = 0x8004;

WindowDestroyingHook g_destroyingHook = nullptr;

namespace Event {
constexpr int32_t CloseQuery = 1;
constexpr int32_t Destroying = 2;
constexpr int32_t Moved = 3;
constexpr int32_t Resized = 4;
constexpr int32_t Activated = 5;
constexpr int32_t Deactivated = 6;
constexpr int32_t FirstActivation = 8;
constexpr int32_t Shown = 10;
constexpr int32_t Hidden = 11;
constexpr int32_t CloseRequest = 12;
}  // namespace Event

constexpr PropertyInfo kProperties[] = {
    {"Caption", PropertyKind::Text},         {"BorderStyle", PropertyKind::Choice},
    {"Appearance", PropertyKind::Choice},    {"BackColor", PropertyKind::Color},
    {"MaxButton", PropertyKind::Boolean},    {"MinButton", PropertyKind::Boolean},
    {"ControlBox", PropertyKind::Boolean},   {"StartPosition", PropertyKind::Choice},
    {"Icon", PropertyKind::Picture},         {"BackPicture", PropertyKind::Picture},
    {"Reserved10", PropertyKind::Integer},   {"Reserved11", PropertyKind::Integer},
    {"Reserved12", PropertyKind::Integer},   {"Reserved13", PropertyKind::Integer},
    {"Reserved14", PropertyKind::Integer},   {"Reserved15", PropertyKind::Integer},
    {"Reserved16", PropertyKind::Integer},   {"Reserved17", PropertyKind::Integer},
    {"Reserved18", PropertyKind::Integer},   {"Reserved19", PropertyKind::Integer},
    {"Reserved20", PropertyKind::Integer},   {"Reserved21", PropertyKind::Integer},
    {"Reserved22", PropertyKind::Integer},   {"Reserved23", PropertyKind::Integer},
};
static_assert(std::size(kProperties) == 24);

uint32_t ReadLE32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The first image of an ICO file as an icon; 0 when the file is malformed.
HICON IconOfIcoFile(const std::vector<uint8_t>& ico) {
  if (ico.size() < 6 + 16 || ico[0] != 0 || ico[1] != 0 || ico[2] != 1 || ico[3] != 0) return 0;
  if ((ico[4] | ico[5] << 8) == 0) return 0;
  const uint32_t size = ReadLE32(&ico[6 + 8]);
  const uint32_t offset = ReadLE32(&ico[6 + 12]);
  if (offset > ico.size() || size > ico.size() - offset || size == 0) return 0;
  return CreateIconFromResourceEx(ico.data() + offset, size, TRUE, 0x00030000, 0, 0, 0);
}

class FormWindow final : public WindowUnit, public UnitMessageHandler {
 public:
  FormWindow(const UnitCreation& creation, WindowData data) : WindowUnit(creation), data_(std::move(data)) {}
  ~FormWindow() override {
    if (icon_) DestroyIcon(icon_);
    if (backBrush_) DeleteObject(backBrush_);
  }

  bool Make(const UnitCreation& creation) {
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN | StyleOfStateFlags(creation.stateFlags & ~4u);
    if (data_.borderKind == 1) style |= WS_THICKFRAME;
    if (data_.borderKind == 0) style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
    if (data_.maximizeBox) style |= WS_MAXIMIZEBOX;
    if (data_.minimizeBox) style |= WS_MINIMIZEBOX;
    if (data_.controlMenu) style |= WS_SYSMENU;
    int left = creation.left, top = creation.top;
    if (data_.startPosition == 1) {
      left = (GetSystemMetrics(SM_CXSCREEN) - creation.width) / 2;
      top = (GetSystemMetrics(SM_CYSCREEN) - creation.height) / 2;
    }
    window_ = CreateWindowExA(0, kFormClass, data_.title.c_str(), style, left, top, creation.width, creation.height,
                              creation.parent, 0, 0, nullptr);
    if (!window_) return false;
    AttachUnit(window_, *this, *this);
    icon_ = IconOfIcoFile(data_.icon);
    if (icon_) {
      SendMessageA(window_, WM_SETICON, 1, static_cast<LPARAM>(icon_));
      SendMessageA(window_, WM_SETICON, 0, static_cast<LPARAM>(icon_));
    }
    if (data_.backColor != kDefaultColor) backBrush_ = CreateSolidBrush(data_.backColor & 0xFFFFFF);
    return true;
  }

  HWND Window() const override { return window_; }
  void StartEvents() override { started_ = true; }
  bool Closing() const override { return closing_; }

  void ShowAtStart() override {
    int command = SW_SHOW;
    if (data_.startPosition == 2) command = SW_SHOWMINIMIZED;
    if (data_.startPosition == 3 && data_.borderKind == 1) command = SW_SHOWMAXIMIZED;
    ShowWindow(window_, command);
  }

  bool GetProperty(int k, TypedValue& out) override {
    switch (k) {
      case 0: out = TextValue(WindowText(window_)); return true;
      case 1: out = MakeInteger(static_cast<int32_t>(data_.borderKind)); return true;
      case 3: out = MakeInteger(static_cast<int32_t>(data_.backColor)); return true;
      case 4: out = MakeBoolean(data_.maximizeBox != 0); return true;
      case 5: out = MakeBoolean(data_.minimizeBox != 0); return true;
      case 6: out = MakeBoolean(data_.controlMenu != 0); return true;
      case 7: out = MakeInteger(static_cast<int32_t>(data_.startPosition)); return true;
      case 8: out = ByteSetValue(data_.icon); return true;
      case 9: out = ByteSetValue(data_.backPicture); return true;
      default: return k >= 0 && k < static_cast<int>(std::size(kProperties)) ? (out = MakeInteger(0), true) : false;
    }
  }

  WriteOutcome SetProperty(int k, const TypedValue& value) override {
    switch (k) {
      case 0:
        data_.title = TextOf(value);
        SetWindowTextA(window_, data_.title.c_str());
        return WriteOutcome::Done;
      case 3:
        data_.backColor = value.low;
        if (backBrush_) DeleteObject(backBrush_);
        backBrush_ = data_.backColor != kDefaultColor ? CreateSolidBrush(data_.backColor & 0xFFFFFF) : 0;
        InvalidateRect(window_, nullptr, TRUE);
        return WriteOutcome::Done;
      default: return WriteOutcome::Ignored;
    }
  }

  std::vector<uint8_t> SaveTypeData() const override {
    WindowData saved = data_;
    saved.title = WindowText(window_);
    return WriteTypeData(saved);
  }

  bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (message) {
      case WM_CLOSE:
        if (started_) {
          if (Vetoed(Event::CloseRequest) || Vetoed(Event::CloseQuery)) return (result = 0, true);
        }
        closing_ = true;
        DestroyWindow(window);
        return (result = 0, true);
      case WM_QUERYENDSESSION:
        // The system asks whether it may end: the close query answers.
        result = started_ && Vetoed(Event::CloseQuery) ? 0 : 1;
        return true;
      case WM_DESTROY:
        closing_ = true;
        if (g_destroyingHook) g_destroyingHook(*this);
        if (started_) Raise(Event::Destroying);
        return false;
      case WM_MOVE:
        if (started_) Raise(Event::Moved);
        return false;
      case WM_SIZE:
        if (started_) Raise(Event::Resized);
        return false;
      case WM_SHOWWINDOW:
        if (started_) Raise(wParam ? Event::Shown : Event::Hidden);
        return false;
      case WM_ACTIVATE: {
        result = DefWindowProcA(window, message, wParam, lParam);
        const bool active = LOWORD(static_cast<DWORD>(wParam)) != WA_INACTIVE;
        if (active) {
          const HWND focus = GetFocus();
          if (focus == 0 || focus == window || !IsChild(window, focus)) FocusUnitByTabOrder(FormId());
        }
        if (started_) {
          Raise(active ? Event::Activated : Event::Deactivated);
          if (active && !firstActivationRaised_) {
            firstActivationRaised_ = true;
            Raise(Event::FirstActivation);
          }
        }
        return true;
      }
      case WM_ERASEBKGND:
        if (backBrush_) {
          RECT client;
          GetClientRect(window, &client);
          FillRect(static_cast<HDC>(wParam), &client, backBrush_);
          return (result = 1, true);
        }
        return false;
      case kFormCreatedMessage: return (result = 0, true);
      default: return false;
    }
  }

 private:
  void Raise(int32_t event) { RaiseEvent(FormId(), 0, event); }
  // A handler that returned false keeps the window open.
  bool Vetoed(int32_t event) {
    const std::optional<uint32_t> answer = RaiseEventForResult(FormId(), 0, event);
    return answer && *answer == 0;
  }

  WindowData data_;
  HWND window_ = 0;
  HICON icon_ = 0;
  HBRUSH backBrush_ = 0;
  bool started_ = false;
  bool closing_ = false;
  bool firstActivationRaised_ = false;
};

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &UnitWindowProcedure;
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kFormClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

class WindowType final : public UnitType {
 public:
  uint32_t DataType() const override { return kTypeWindow; }
  const char* Name() const override { return "窗口"; }
  const char* EnglishName() const override { return "window"; }
  std::span<const PropertyInfo> Properties() const override { return kProperties; }
  std::unique_ptr<Unit> Create(const UnitCreation& creation) const override {
    std::optional<WindowData> data = ReadTypeData<WindowData>(creation.typeData);
    if (!data) return nullptr;
    RegisterFormClass();
    auto unit = std::make_unique<FormWindow>(creation, std::move(*data));
    if (!unit->Make(creation)) return nullptr;
    return unit;
  }
};

}  // namespace

void SetWindowDestroyingHook(WindowDestroyingHook hook) { g_destroyingHook = hook; }

const UnitType& WindowUnitType() {
  static const WindowType type;
  return type;
}

}  // namespace quorlin::forms
