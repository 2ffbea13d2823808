// The unit types of the core library that live here, and the placeholder of a unit whose type
// is not registered.
#pragma once

#include <memory>

#include "runtime/forms/units/unit_type.h"

namespace quorlin::forms {

const UnitType& ButtonUnitType();
const UnitType& LabelUnitType();
const UnitType& EditBoxUnitType();
const UnitType& CheckBoxUnitType();
const UnitType& ComboBoxUnitType();
const UnitType& CommonDlgUnitType();

// Registers the window, Button, Label, EditBox, CheckBox, ComboBox and CommonDlg types.
void RegisterBuiltinUnitTypes();

// The text a placeholder shows.
extern const char kPlaceholderText[];  // "因所在支持库载入出错而无法创建"

// A window of the unit's size showing kPlaceholderText, in place of a unit whose type is not
// there. It keeps the unit's type data unchanged and has no properties of its own.
std::unique_ptr<Unit> CreatePlaceholderUnit(const UnitCreation& creation);

}  // namespace quorlin::forms
