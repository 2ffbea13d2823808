// The units of the program's two windows as the handlers address them: form id, unit id and
// data-type tag (the window templates are generated from the same numbers).
#pragma once

#include "app/forms/template_data.h"
#include "app/support/runtime_calls.h"
#include "runtime/forms/template/template_ids.h"

namespace quorlin::app::units {

// The main window.
inline constexpr UnitRef MainWindow{kMainWindowFormId, 0, forms::kTypeWindow};
inline constexpr UnitRef Canvas{kMainWindowFormId, 0x16011953, forms::kTypeDrawPanel};        // 画板2
inline constexpr UnitRef SmallCardPanel{kMainWindowFormId, 0x160119D7, forms::kTypeDrawPanel};  // 画板1
inline constexpr UnitRef Portrait{kMainWindowFormId, 0x16011956, forms::kTypePicBox};           // 图片框3
inline constexpr UnitRef PortraitFrame{kMainWindowFormId, 0x16011957, forms::kTypePicBox};      // 图片框4
inline constexpr UnitRef IdPrompt{kMainWindowFormId, 0x16010003, forms::kTypeLabel};            // 标签1
inline constexpr UnitRef IdEdit{kMainWindowFormId, 0x16010004, forms::kTypeEditBox};            // 编辑框1
inline constexpr UnitRef GenerateButton{kMainWindowFormId, 0x16010005, forms::kTypeButton};     // 按钮1
inline constexpr UnitRef FontButton{kMainWindowFormId, 0x16011889, forms::kTypeButton};         // 按钮2
inline constexpr UnitRef BackgroundButton{kMainWindowFormId, 0x16011901, forms::kTypeButton};   // 按钮3
inline constexpr UnitRef SettingsButton{kMainWindowFormId, 0x16011985, forms::kTypeButton};     // 按钮4
inline constexpr UnitRef MainDialog{kMainWindowFormId, 0x16011984, forms::kTypeCommonDlg};      // 通用对话框1
inline constexpr UnitRef UnusedDialog3{kMainWindowFormId, 0x16011954, forms::kTypeCommonDlg};   // 通用对话框3
inline constexpr UnitRef UnusedDialog4{kMainWindowFormId, 0x16011955, forms::kTypeCommonDlg};   // 通用对话框4
inline constexpr UnitRef CardDropTarget{kMainWindowFormId, 0x16017418, forms::kTypeDropTarget};      // 拖放对象1
inline constexpr UnitRef PortraitDropTarget{kMainWindowFormId, 0x16017419, forms::kTypeDropTarget};  // 拖放对象2

// The settings window.
inline constexpr UnitRef SettingsWindow{kSettingsWindowFormId, 0, forms::kTypeWindow};
inline constexpr UnitRef BorderColourPicker{kSettingsWindowFormId, 0x160119A3, forms::kTypeColorPicker};  // 颜色选择器1
inline constexpr UnitRef PortraitButton{kSettingsWindowFormId, 0x160119A1, forms::kTypeButton};           // 按钮2
inline constexpr UnitRef OnlinePortraitBox{kSettingsWindowFormId, 0x160119A6, forms::kTypeCheckBox};      // 选择框1
inline constexpr UnitRef SaveModeList{kSettingsWindowFormId, 0x16011991, forms::kTypeComboBox};           // 组合框1
inline constexpr UnitRef SmallCardBox{kSettingsWindowFormId, 0x160119D5, forms::kTypeCheckBox};           // 选择框2
inline constexpr UnitRef ConfigurationList{kSettingsWindowFormId, 0x16011998, forms::kTypeComboBox};      // 组合框2
inline constexpr UnitRef SettingsDialog{kSettingsWindowFormId, 0x160119A2, forms::kTypeCommonDlg};        // 通用对话框1

}  // namespace quorlin::app::units
