// Start-up: the instance initialisation, LoadTemplates and LoadStartWindow.
#include <string>

#include "platform/base/heap.h"
#include "platform/base/module_path.h"
#include "platform/base/thread_services.h"
#include "platform/com/com_base.h"
#include "platform/gdi/gdi.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {

// The position after the last directory separator of a platform path.
size_t NameStart(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? 0 : cut + 1;
}

std::string ModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(0, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size() - 1) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

constexpr const char* ServiceWindowClass = "QuorlinKernelService";

}  // namespace

int RuntimeKernel::InitialiseInstance(const ProgramInfoBlock& info, int (*entryRoutine)()) {
  info_ = &info;
  const std::string path = ModuleFileName();
  instanceDirectory_ = path.substr(0, NameStart(path));
  return entryRoutine ? entryRoutine() : 0;
}

void RuntimeKernel::CreateServiceWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &RuntimeKernel::ServiceWindowProc;
  windowClass.lpszClassName = ServiceWindowClass;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  RegisterClassA(&windowClass);
  serviceWindow_ = CreateWindowExA(0x80, ServiceWindowClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
}

LRESULT RuntimeKernel::ServiceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ServiceRequestEndProgram) {
    Kernel().EndProgram(static_cast<int32_t>(wParam));
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RuntimeKernel::LoadTemplates() {
  // 1. heap, modes, OLE
  heap_ = GetProcessHeap();
  if (info_) {
    runMode_ = info_->runMode;
    runSubMode_ = info_->runSubMode;
    buildNumber_ = info_->buildNumber + 1;
  }
  OleInitialize(nullptr);

  // 2. the program's directory becomes the current directory
  const std::string path = ModuleFileName();
  const size_t nameStart = NameStart(path);
  programFileName_ = path.substr(nameStart);
  programDirectory_ = path.substr(0, nameStart > 0 ? nameStart - 1 : 0);
  if (!programDirectory_.empty()) SetCurrentDirectoryA(programDirectory_.c_str());

  // 3. the hidden service window
  CreateServiceWindow();
  mainThreadId_ = GetCurrentThreadId();
  if (!info_) return;

  // 4. the constant segment is never freed
  if (info_->constantLength > 0) AddStaticRange(info_->constantStart, info_->constantLength);

  // 5. DLL command tables, resolved on first call
  dllCommands_.clear();
  for (uint32_t i = 0; i < info_->dllCommandCount; ++i) {
    DllCommandEntry entry;
    entry.fileName = info_->dllFileNames && info_->dllFileNames[i] ? info_->dllFileNames[i] : "";
    entry.functionName = info_->dllFunctionNames && info_->dllFunctionNames[i] ? info_->dllFunctionNames[i] : "";
    dllCommands_.push_back(std::move(entry));
  }

  // 6. every library gets the HostService entry
  for (uint32_t i = 0; i < info_->libraryCount && info_->libraries; ++i) {
    const LibraryInfoBlock* library = info_->libraries[i];
    if (library && library->notify) library->notify(NotifyCode::Attach, reinterpret_cast<intptr_t>(&HostService), 0);
  }

  // 7.-9. the templates, with handler offsets turned into addresses, into the form table
  FormsLayer* forms = RegisteredFormsLayer();
  if (info_->templateLength == 0 && !forms) return;
  if (!forms || !info_->templateStart ||
      !forms->ReadTemplates(info_->templateStart, info_->templateLength, info_->codeBase, forms_)) {
    ReportRuntimeError(KernelMessage::TemplateDataUnreadable, 0);
  }
}

void RuntimeKernel::LoadStartWindow(uint32_t formId) {
  FormTemplate* form = FindFormTemplate(formId);
  FormsLayer* forms = RegisteredFormsLayer();
  if (!form || !forms || !forms->CreateWindowFromTemplate(*form, false, false, nullptr)) {
    ReportRuntimeError(KernelMessage::StartWindowFailed, 0);
  }
}

}  // namespace quorlin
