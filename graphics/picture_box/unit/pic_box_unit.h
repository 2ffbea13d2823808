// The picture box as the forms layer's unit type PicBox ("图片框", data type 1:6).
//
// Its own properties, index 8 + k: 8 Border, 9 BackColor, 10 Picture, 11 DisplayMode,
// 12 Animate, 13 and 14 two texts it keeps. The type data block is PicBoxData (version 2).
#pragma once

#include "runtime/forms/units/unit_type.h"

namespace quorlin::pictures {

const forms::UnitType& PicBoxUnitType();

// Registers the type with the forms layer; call it once at start, before any window is loaded.
void RegisterPicBoxUnitType();

}  // namespace quorlin::pictures
