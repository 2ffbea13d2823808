#include "app/program_setup.h"

#include <cfenv>

#include "app/handler_table.h"
#include "app/program_info.h"
#include "app/settings/app_settings.h"
#include "graphics/draw_panel/unit/draw_panel_unit.h"
#include "graphics/picture_box/unit/pic_box_unit.h"
#include "runtime/dragdrop/drop_target.h"
#include "runtime/forms/colourpicker/color_picker.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app {

void InstallApplicationRuntime() {
  forms::RegisterEventHandlers(HandlerTable(), HandlerTableSize());
  forms::InstallFormsLayer();
  drawpanel::RegisterDrawPanelUnitType();
  pictures::RegisterPicBoxUnitType();
  dragdrop::RegisterDropTargetUnitType();
  forms::RegisterColorPickerUnitType();
}

void LoadMainWindow() {
  const RuntimeEntryTable& kernel = EntryTable();
  kernel.CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
  std::fesetenv(FE_DFL_ENV);  // the floating-point unit starts from its defaults
  InitialiseGlobals();
  kernel.LoadStartWindow(MainWindowFormId);
}

}  // namespace quorlin::app
