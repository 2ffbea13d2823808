// HostService: the kernel's services for the support libraries.
#include "runtime/kernel/host_service.h"

#include "platform/user/message_queue.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {

// Handles every waiting message; a quit message is put back for the message loop.
void ProcessPendingMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// What a code concerning forms gives when no forms layer serves it.
intptr_t WithoutFormsLayer(int32_t code, intptr_t p1) {
  switch (code) {
    case HostCode::LoadWindow: return -1;
    case HostCode::FindLiveObjectOrFail: Kernel().ReportRuntimeError(KernelMessage::UnitNotLoaded, 0);
    case HostCode::ProcessPendingMessages: ProcessPendingMessages(); return 0;
    default: return 0;
  }
}

}  // namespace

intptr_t HostService(int32_t code, intptr_t p1, intptr_t p2) {
  RuntimeKernel& kernel = Kernel();
  switch (code) {
    case HostCode::FormTable: return reinterpret_cast<intptr_t>(&kernel.Forms());
    case HostCode::DataTypeRecord:
      return reinterpret_cast<intptr_t>(kernel.DataTypeRecord(static_cast<uint32_t>(p1)));
    case HostCode::ProgramDirectory: return reinterpret_cast<intptr_t>(kernel.ProgramDirectory().c_str());
    case HostCode::CurrentEventSource: {
      const EventSource source = kernel.CurrentEventSource();
      if (source.formId == 0) return 0;
      if (auto* words = reinterpret_cast<uint32_t*>(p1)) {
        words[0] = source.formId;
        words[1] = source.unitId;
      }
      return 1;
    }
    case HostCode::Allocate: {
      const auto bytes = static_cast<size_t>(p1);
      return reinterpret_cast<intptr_t>(p2 ? kernel.TryAllocate(bytes) : kernel.Allocate(bytes));
    }
    case HostCode::Free: kernel.Free(reinterpret_cast<void*>(p1)); return 0;
    case HostCode::Reallocate:
      return reinterpret_cast<intptr_t>(kernel.Reallocate(reinterpret_cast<void*>(p1), static_cast<size_t>(p2)));
    case HostCode::RuntimeError: kernel.ReportRuntimeError(reinterpret_cast<const char*>(p1), 0);
    case HostCode::EndProgram: kernel.EndProgram(static_cast<int32_t>(p1));
    default: break;
  }
  if (FormsLayer* forms = RegisteredFormsLayer()) {
    bool handled = true;
    const intptr_t result = forms->Service(code, p1, p2, handled);
    if (handled) return result;
  }
  return WithoutFormsLayer(code, p1);
}

}  // namespace quorlin
