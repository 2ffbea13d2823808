// CommonDlg (type 31, "通用对话框"): the open-file, save-file and font dialogs, invisible at run
// time. Property 8 is the dialog kind (0 open, 1 save, 2 font), 10 the file name (the initial
// name before, the chosen path after the dialog), 11 the filter ("description|pattern|…"),
// 25 the face name chosen in the font dialog.
#pragma once

#include "runtime/kernel/command.h"

namespace quorlin::forms {

// OpenDialog (common dialog reference) → boolean: shows the dialog of the unit's kind and
// tells whether the user confirmed. A reference to a unit that does not exist or has no live
// window is the runtime error "指定窗口或窗口组件不存在或尚未载入".
void OpenDialogCommand(TypedValue* result, int32_t argCount, TypedValue* args);

}  // namespace quorlin::forms
