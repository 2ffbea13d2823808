// The colour picker (颜色选择器, "ColorPicker", core-library type 28): a drop-down button showing
// a colour swatch whose pop-up palette offers 32 named colours, optionally a transparent box,
// and a more-colours box. Properties 8 CurrentColor and 9 AllowTransparent; event 0 ColorChosen.
#pragma once

namespace quorlin::forms {

// Makes the unit type known to the forms layer (replacing the placeholder); call once at
// program start.
void RegisterColorPickerUnitType();

}  // namespace quorlin::forms
