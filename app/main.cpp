// The program: the platform comes up, the kernel's instance initialisation runs the
// application's entry routine, and the framework's exit step ends the program normally.
#include <cfenv>

#include "app/program_info.h"
#include "platform/startup/platform_startup.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_kernel.h"

namespace {

int ApplicationEntry() {
  const quorlin::RuntimeEntryTable& kernel = quorlin::EntryTable();
  kernel.CallKernelRoutine(quorlin::KernelRoutine::LoadTemplates, 0, 0, 0);
  std::fesetenv(FE_DFL_ENV);  // the floating-point unit starts from its defaults
  kernel.LoadStartWindow(quorlin::app::MainWindowFormId);
  kernel.RunMessageLoop();
  return 0;
}

}  // namespace

int main() {
  quorlin::platform::StartPlatform();
  quorlin::Kernel().InitialiseInstance(quorlin::app::ProgramInfo(), &ApplicationEntry);
  quorlin::Kernel().EndProgram(0);
}
