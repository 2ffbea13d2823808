// The program: the platform comes up, the kernel's instance initialisation runs the
// application's entry routine, and the framework's exit step ends the program normally.
#include "app/program_info.h"
#include "app/program_setup.h"
#include "platform/com/xmlhttp/http_module.h"
#include "platform/display/display_backend.h"
#include "platform/startup/platform_startup.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_kernel.h"

namespace {

int ApplicationEntry() {
  // Every card is fetched over HTTP: while the user reads the window and types, the transport
  // loads, so that the first click does not wait for it.
  quorlin::platform::CurrentDisplay().WhileUserLooks(&quorlin::platform::PrepareHttpInBackground);
  quorlin::app::LoadMainWindow();
  // The end-to-end driver, when a scenario is asked for; it needs the start-up window shown.
  quorlin::forms::StartScenarioFromEnvironment(quorlin::forms::FormsScenarioHost());
  quorlin::EntryTable().RunMessageLoop();
  return 0;
}

}  // namespace

int main() {
  quorlin::platform::StartPlatform();
  quorlin::app::InstallApplicationRuntime();
  quorlin::Kernel().InitialiseInstance(quorlin::app::ProgramInfo(), &ApplicationEntry);
  quorlin::Kernel().EndProgram(0);
}
