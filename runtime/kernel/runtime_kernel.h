// The runtime kernel: one object per process, alive from static construction to process end.
// It owns the allocator, the form table, the error count and the single fatal-error path.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/dll_modules.h"
#include "platform/base/win_types.h"
#include "runtime/kernel/forms_layer.h"
#include "runtime/kernel/program_info.h"

namespace quorlin {

using CleanupRoutine = void (*)();
using IdleCallback = void (*)(HWND window, void* argument);
using ExitObserver = void (*)(int32_t exitCode);

struct StaticRange {
  uintptr_t start;
  uintptr_t end;  // exclusive
};

struct DllCommandEntry {
  std::string fileName;
  std::string functionName;
  void (*address)() = nullptr;
  HMODULE module = 0;
};

struct EventSource {
  uint32_t formId = 0;
  uint32_t unitId = 0;
};

class RuntimeKernel {
 public:
  RuntimeKernel();
  RuntimeKernel(const RuntimeKernel&) = delete;
  RuntimeKernel& operator=(const RuntimeKernel&) = delete;

  // --- start-up
  // The framework's instance initialisation: stores the program's directory with its trailing
  // separator, then runs the application's entry routine and returns its result.
  int InitialiseInstance(const ProgramInfoBlock& info, int (*entryRoutine)());
  void LoadTemplates();
  void LoadStartWindow(uint32_t formId);
  void RunMessageLoop();

  // --- memory
  void* Allocate(size_t bytes);
  void* TryAllocate(size_t bytes);
  void* Reallocate(void* block, size_t bytes);
  void Free(void* block);
  bool InStaticRange(const void* p) const;
  void AddStaticRange(const void* start, size_t length);

  // --- errors and the end
  [[noreturn]] void ReportRuntimeError(const char* message, int32_t code);
  [[noreturn]] void EndProgram(int32_t exitCode);
  int ErrorCount() const { return errorCount_.load(); }

  // --- DLL commands
  uint64_t CallDllCommand(int32_t index, const platform::ProcedureSignature& declared, const uint64_t* arguments);

  // --- state other parts observe
  const std::string& ProgramDirectory() const { return programDirectory_; }
  const std::string& ProgramFileName() const { return programFileName_; }
  DWORD MainThreadId() const { return mainThreadId_; }
  FormTable& Forms() { return forms_; }
  FormTemplate* FindFormTemplate(uint32_t formId);
  const ProgramInfoBlock* Info() const { return info_; }
  const UnitTypeInfo* DataTypeRecord(uint32_t dataType) const;
  HWND ServiceWindow() const { return serviceWindow_; }
  bool LoopStarted() const { return loopStarted_; }
  bool Exiting() const { return exiting_.load(); }

  EventSource CurrentEventSource() const { return currentEventSource_; }
  void SetCurrentEventSource(EventSource source) { currentEventSource_ = source; }

  void SetCleanupRoutine(CleanupRoutine routine) { cleanup_ = routine; }
  // Runs once, with the exit code, just before the process ends by any path (normal end,
  // EndProgram, runtime error). Null removes it.
  void SetExitObserver(ExitObserver observer) { exitObserver_ = observer; }
  void AddIdleCallback(HWND window, IdleCallback callback, void* argument);
  void RemoveIdleCallbacks(HWND window);

  // Lets the kernel be set up again by tests that run several start-ups in one process.
  void ResetForTests();

 private:
  void CreateServiceWindow();
  [[noreturn]] void FinishNormalEnd(int32_t exitCode);
  [[noreturn]] void EndProcess(int32_t exitCode);  // the exit observer, then ExitProcess
  void RunIdleCallbacks();
  static LRESULT ServiceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HANDLE heap_ = 0;
  const ProgramInfoBlock* info_ = nullptr;
  uint32_t runMode_ = 0;
  uint32_t runSubMode_ = 0;
  uint32_t buildNumber_ = 0;
  std::string instanceDirectory_;  // with its trailing separator
  std::string programDirectory_;   // without it
  std::string programFileName_;
  DWORD mainThreadId_ = 0;
  FormTable forms_;
  std::vector<StaticRange> staticRanges_;
  std::atomic<int> errorCount_{0};
  EventSource currentEventSource_;
  std::vector<DllCommandEntry> dllCommands_;
  CleanupRoutine cleanup_ = nullptr;
  std::atomic<ExitObserver> exitObserver_{nullptr};
  struct Idle {
    HWND window;
    IdleCallback callback;
    void* argument;
  };
  std::vector<Idle> idleCallbacks_;
  bool loopStarted_ = false;
  std::atomic<bool> exiting_{false};
  HWND serviceWindow_ = 0;
  std::recursive_mutex lock_;  // cross-thread bookkeeping: the end of the process
};

// The one kernel of the process.
RuntimeKernel& Kernel();

// The private request the hidden service window receives from EndProgram on another thread.
inline constexpr UINT ServiceRequestEndProgram = 0x83E7;

}  // namespace quorlin
