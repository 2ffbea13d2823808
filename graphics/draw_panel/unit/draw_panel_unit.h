// The draw panel as a unit type of the forms layer (data type 1/8, "画板"/"DrawPanel").
#pragma once

#include "runtime/forms/units/unit_type.h"

namespace quorlin::drawpanel {

const forms::UnitType& DrawPanelUnitType();
// Registers DrawPanelUnitType with the forms layer.
void RegisterDrawPanelUnitType();

}  // namespace quorlin::drawpanel
