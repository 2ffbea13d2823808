#include "tests/forms/scenario/scenario_test_program.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>

#include "platform/base/code_page.h"
#include "platform/gdi/gdi.h"
#include "platform/user/control_classes.h"
#include "platform/user/window_core.h"
#include "platform/com/com_object.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/common_dialogs.h"
#include "platform/shell/drag_drop.h"
#include "platform/user/focus.h"
#include "platform/user/message_box.h"
#include "platform/user/painting.h"
#include "platform/user/window_geometry.h"
#include "platform/gdi/sys_colors.h"
#include "runtime/forms/scenario/scenario_player.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::testing {
namespace {

constexpr int ButtonId = 1;
constexpr int MessageBoxButtonId = 2;
constexpr int OpenDialogButtonId = 3;
constexpr int CopyPictureButtonId = 4;

std::string Gbk(const char* utf8) { return platform::Utf8ToGbk(utf8); }

std::string WindowText(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

class TestHost final : public forms::ScenarioHost {
 public:
  HWND window = 0;
  HWND button = 0;
  HWND label = 0;
  std::map<std::string, HWND> units;  // GBK names; 0 = a unit without a window
  forms::ScenarioWindowObserver* observer = nullptr;

  std::vector<forms::ScenarioWindow> OpenWindows() override {
    if (!IsWindow(window)) return {};
    return {{window, WindowText(window), GetActiveWindow() == window}};
  }
  bool FindUnit(HWND in, std::string_view name, HWND& unitWindow) override {
    const auto it = units.find(std::string(name));
    if (in != window || it == units.end()) return false;
    unitWindow = it->second;
    return true;
  }
  bool ReadPropertyText(HWND in, std::string_view name, int index, std::string& value, std::string& reason) override {
    HWND unit = 0;
    if (!FindUnit(in, name, unit)) {
      reason = "no such unit";
      return false;
    }
    if (!unit) {
      reason = "the unit has no live window";
      return false;
    }
    RECT rect{};
    GetWindowRect(unit, &rect);
    if (index == 2) {
      value = std::to_string(rect.right - rect.left);
    } else if (index == 8) {
      value = WindowText(unit);
    } else {
      reason = "no property " + std::to_string(index);
      return false;
    }
    return true;
  }
  void RequestClose(HWND hwnd) override { PostMessageA(hwnd, WM_CLOSE, 0, 0); }
  void SetWindowObserver(forms::ScenarioWindowObserver* o) override { observer = o; }
};

TestHost& Host() {
  static TestHost host;
  return host;
}

class TestFormsLayer final : public FormsLayer {
 public:
  bool ReadTemplates(const uint8_t*, size_t, uintptr_t, FormTable&) override { return true; }
  bool CreateWindowFromTemplate(FormTemplate&, bool, bool, void*) override { return false; }
  bool AnyLiveWindow() override { return IsWindow(Host().window); }
  void DestroyAllWindows() override {
    if (IsWindow(Host().window)) DestroyWindow(Host().window);
  }
  uint64_t ReadUnitProperty(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  void WriteUnitProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) override {}
  intptr_t Service(int32_t, intptr_t, intptr_t, bool& handled) override {
    handled = false;
    return 0;
  }
};

void AppendToLabel(const std::string& text) {
  SetWindowTextA(Host().label, (WindowText(Host().label) + text).c_str());
}

void ShowOpenDialog(HWND owner) {
  char file[260] = "a.jpg";
  const std::string filter = Gbk("图片") + '\0' + "*.jpg;*.png" + '\0' + '\0';
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.Flags = OFN_HIDEREADONLY;
  AppendToLabel(GetOpenFileNameA(&ofn) ? std::string("chose ") + file : std::string("cancelled"));
}

// A 3 × 2 bitmap of PanelColour on the clipboard.
void CopyPicture(HWND owner) {
  const HDC screen = GetDC(0);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 2);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, 3, 2};
  const HBRUSH brush = CreateSolidBrush(PanelColour);
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(0, screen);
  OpenClipboard(owner);
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
}

// Appends "dropped NAME;NAME…" to the label.
class TestDropTarget final : public platform::ComObject<IDropTarget> {
 public:
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) return E_FAIL;
    const HDROP drop = static_cast<HDROP>(medium.hGlobal);
    std::string names = "dropped";
    for (UINT i = 0; i < DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
      char name[260];
      DragQueryFileA(drop, i, name, sizeof name);
      names += std::string(i == 0 ? " " : ";") + name;
    }
    ReleaseStgMedium(&medium);
    AppendToLabel(names);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

LRESULT TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TestHost& host = Host();
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case ButtonId: AppendToLabel("clicked"); break;
      case MessageBoxButtonId:
        AppendToLabel("answer " + std::to_string(MessageBoxA(hwnd, Gbk("第一行\r\n第二行").c_str(), Gbk("标题").c_str(),
                                                             MB_YESNO)));
        break;
      case OpenDialogButtonId: ShowOpenDialog(hwnd); break;
      case CopyPictureButtonId: CopyPicture(hwnd); break;
      default: break;
    }
    return 0;
  }
  if (message == WM_DESTROY && hwnd == host.window) {
    if (host.observer) host.observer->WindowClosed(hwnd, WindowText(hwnd));
    PostQuitMessage(0);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CreateTestWindows() {
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = &TestWindowProc;
  frameClass.lpszClassName = "ScenarioTestWindow";
  frameClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  RegisterClassA(&frameClass);
  WNDCLASSA panelClass{};
  panelClass.lpfnWndProc = &DefWindowProcA;
  panelClass.lpszClassName = "ScenarioTestPanel";
  panelClass.hbrBackground = CreateSolidBrush(PanelColour);
  RegisterClassA(&panelClass);

  TestHost& host = Host();
  const RECT& r = TestWindowRect;
  host.window = CreateWindowExA(0, "ScenarioTestWindow", Gbk("测试窗口").c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, 0, nullptr);
  host.button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 20, 20, 80, 24, host.window,
                                static_cast<HMENU>(ButtonId), 0, nullptr);
  host.label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 120, 20, 200, 24, host.window, 0, 0, nullptr);
  const auto button = [&](const char* caption, int id, int x) {
    return CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE, x, 200, 60, 24, host.window,
                           static_cast<HMENU>(id), 0, nullptr);
  };
  const HWND messageBoxButton = button("box", MessageBoxButtonId, 20);
  const HWND openButton = button("open", OpenDialogButtonId, 90);
  const HWND copyButton = button("copy", CopyPictureButtonId, 160);
  const HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 20, 60, 200,
                                    24, host.window, 0, 0, nullptr);
  const HWND hidden = CreateWindowExA(0, "EDIT", "", WS_CHILD, 20, 100, 50, 20, host.window, 0, 0, nullptr);
  const HWND panel = CreateWindowExA(0, "ScenarioTestPanel", "", WS_CHILD | WS_VISIBLE, PanelOrigin.x, PanelOrigin.y,
                                     PanelSize.cx, PanelSize.cy, host.window, 0, 0, nullptr);
  host.units = {{Gbk("按钮1"), host.button}, {Gbk("标签1"), host.label}, {Gbk("编辑框1"), edit},
                {Gbk("编辑框2"), hidden},      {Gbk("画板1"), panel},      {Gbk("对话框1"), 0},
                {Gbk("按钮2"), messageBoxButton}, {Gbk("按钮3"), openButton}, {Gbk("按钮4"), copyButton}};
  TestDropTarget* target = new TestDropTarget;
  RegisterDragDrop(panel, target);
  target->Release();
}

}  // namespace

ScratchFolder::ScratchFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("quorlin-scenario-" + std::to_string(getpid()) + "-" +
                                                    std::to_string(random()));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ChildResult RunTestScenario(const std::filesystem::path& folder, const std::string& script) {
  const std::filesystem::path file = folder / "scenario.txt";
  std::ofstream(file, std::ios::binary) << script;
  return RunInChild([&] {
    platform::RegisterControlClasses();
    OleInitialize(nullptr);
    static TestFormsLayer layer;
    RegisterFormsLayer(&layer);
    CreateTestWindows();
    forms::StartScenarioFile(Host(), file, stdout);
    Kernel().RunMessageLoop();
    Kernel().EndProgram(0);
  });
}

}  // namespace quorlin::testing
