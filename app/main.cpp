// The program: the platform comes up, the kernel's instance initialisation runs the
// application's entry routine, and the framework's exit step ends the program normally.
#include <cfenv>

#include "app/handler_table.h"
#include "app/program_info.h"
#include "app/settings/app_settings.h"
#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "graphics/picture_box/unit/pic_box_unit.h"
#include "platform/startup/platform_startup.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_kernel.h"

namespace {

int ApplicationEntry() {
  const quorlin::RuntimeEntryTable& kernel = quorlin::EntryTable();
  kernel.CallKernelRoutine(quorlin::KernelRoutine::LoadTemplates, 0, 0, 0);
  std::fesetenv(FE_DFL_ENV);  // the floating-point unit starts from its defaults
  quorlin::app::InitialiseGlobals();
  kernel.LoadStartWindow(quorlin::app::MainWindowFormId);
  // The end-to-end driver, when a scenario is asked for; it needs the start-up window shown.
  quorlin::forms::StartScenarioFromEnvironment(quorlin::forms::FormsScenarioHost());
  kernel.RunMessageLoop();
  return 0;
}

}  // namespace

int main() {
  quorlin::platform::StartPlatform();
  quorlin::forms::RegisterEventHandlers(quorlin::app::HandlerTable(), quorlin::app::HandlerTableSize());
  quorlin::forms::InstallFormsLayer();
  quorlin::drawpanel::RegisterDrawPanelUnitType();
  quorlin::pictures::RegisterPicBoxUnitType();
  quorlin::dragdrop::RegisterDropTargetUnitType();
  quorlin::forms::RegisterColorPickerUnitType();
  quorlin::Kernel().InitialiseInstance(quorlin::app::ProgramInfo(), &ApplicationEntry);
  quorlin::Kernel().EndProgram(0);
}
