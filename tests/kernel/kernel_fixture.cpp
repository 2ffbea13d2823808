#include "tests/kernel/kernel_fixture.h"

#include <cstring>
#include <map>

#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::testing {
namespace {

std::map<uint32_t, HWND> g_windows;

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    std::erase_if(g_windows, [window](const auto& entry) { return entry.second == window; });
    if (g_windows.empty() && Kernel().LoopStarted()) PostQuitMessage(0);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void TestProgram::Build(const char* constants, size_t constantLength) {
  info = {};
  info.runMode = 3;
  info.buildNumber = 112622;
  info.constantStart = reinterpret_cast<const uint8_t*>(constants);
  info.constantLength = static_cast<uint32_t>(constantLength);
  info.templateStart = templateData.empty() ? nullptr : templateData.data();
  info.templateLength = static_cast<uint32_t>(templateData.size());
  info.dllCommandCount = static_cast<uint32_t>(dllFiles.size());
  info.dllFileNames = dllFiles.data();
  info.dllFunctionNames = dllFunctions.data();
}

std::vector<uint8_t> TemplateDataFor(std::initializer_list<uint32_t> formIds) {
  std::vector<uint8_t> data;
  for (uint32_t id : formIds) {
    for (int b = 0; b < 4; ++b) data.push_back(static_cast<uint8_t>(id >> (8 * b)));
  }
  return data;
}

bool TestFormsLayer::ReadTemplates(const uint8_t* data, size_t length, uintptr_t, FormTable& forms) {
  if (length % 4 != 0) return false;
  for (size_t at = 0; at < length; at += 4) {
    uint32_t id;
    std::memcpy(&id, data + at, 4);
    auto form = std::make_unique<FormTemplate>();
    form->formId = id;
    forms[id] = std::move(form);
  }
  return true;
}

bool TestFormsLayer::CreateWindowFromTemplate(FormTemplate& form, bool, bool, void*) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &TestWindowProc;
    windowClass.lpszClassName = "KernelTestWindow";
    registered = RegisterClassA(&windowClass) != 0;
  }
  const HWND window = CreateWindowExA(0, "KernelTestWindow", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      100, 100, 0, 0, 0, nullptr);
  if (!window) return false;
  g_windows[form.formId] = window;
  return true;
}

bool TestFormsLayer::AnyLiveWindow() { return !g_windows.empty(); }

void TestFormsLayer::DestroyAllWindows() {
  while (!g_windows.empty()) DestroyWindow(g_windows.begin()->second);
}

intptr_t TestFormsLayer::Service(int32_t code, intptr_t p1, intptr_t, bool& handled) {
  if (code == 2033) return static_cast<intptr_t>(windowHandleOf(static_cast<uint32_t>(p1)));
  handled = false;
  return 0;
}

uint32_t TestFormsLayer::windowHandleOf(uint32_t formId) const {
  auto it = g_windows.find(formId);
  return it == g_windows.end() ? 0 : it->second;
}

TestFormsLayer& InstallTestFormsLayer() {
  static TestFormsLayer layer;
  RegisterFormsLayer(&layer);
  return layer;
}

}  // namespace quorlin::testing
