// The end of the program: the normal end, EndProgram from any thread, and the runtime error
// path that every fatal error takes.
#include <unistd.h>

#include "platform/base/dll_modules.h"
#include "platform/base/thread_services.h"
#include "platform/user/message_box.h"
#include "platform/user/message_queue.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {
thread_local bool t_showingErrorBox = false;
}

void RuntimeKernel::EndProgram(int32_t exitCode) {
  ++errorCount_;  // no event reaches the application from now on
  if (mainThreadId_ != 0 && GetCurrentThreadId() != mainThreadId_) {
    // The main thread ends the program; this thread waits for it.
    if (serviceWindow_ && !exiting_) {
      SendMessageA(serviceWindow_, ServiceRequestEndProgram, static_cast<WPARAM>(exitCode), 0);
    }
    std::unique_lock guard(lock_);
    if (!exiting_) EndProcess(exitCode);
    guard.unlock();
    for (;;) pause();  // the main thread is ending the process
  }
  FinishNormalEnd(exitCode);
}

void RuntimeKernel::FinishNormalEnd(int32_t exitCode) {
  {
    std::lock_guard guard(lock_);
    if (exiting_) {
      // A second end while the first one runs (a clean-up routine or a window being destroyed
      // asked for it): the process ends now.
      EndProcess(exitCode);
    }
    exiting_ = true;
  }
  idleCallbacks_.clear();
  if (FormsLayer* forms = RegisteredFormsLayer()) forms->DestroyAllWindows();
  forms_.clear();
  if (CleanupRoutine routine = cleanup_) {
    cleanup_ = nullptr;
    routine();
  }
  if (info_) {
    for (uint32_t i = 0; i < info_->libraryCount && info_->libraries; ++i) {
      const LibraryInfoBlock* library = info_->libraries[i];
      if (library && library->notify) library->notify(NotifyCode::ProcessEnd, 0, 0);
    }
  }
  for (DllCommandEntry& entry : dllCommands_) {
    if (entry.module) FreeLibrary(entry.module);
  }
  dllCommands_.clear();
  EndProcess(exitCode);
}

void RuntimeKernel::ReportRuntimeError(const char* message, int32_t code) {
  ++errorCount_;
  if (t_showingErrorBox) {
    // An error raised while the box of another is up gets no second box.
    EndProcess(-1);
  }
  t_showingErrorBox = true;
  const std::string text = RuntimeErrorText(message, code);
  MessageBoxA(0, text.c_str(), KernelMessage::ErrorCaption, MB_ICONERROR | MB_OK);
  t_showingErrorBox = false;
  cleanup_ = nullptr;  // not run after a runtime error
  EndProgram(-1);
}

}  // namespace quorlin
