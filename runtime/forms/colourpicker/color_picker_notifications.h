// The messages between the colour pop-up, its picker and the picker's parent window. Each
// carries the colour as wParam and the sending window as lParam.
#pragma once

#include "platform/base/win_types.h"

namespace quorlin::forms {

inline constexpr UINT kSelectionChanged = 0x83E9;  // the pop-up's current cell changed
inline constexpr UINT kDropDownOpened = 0x83EA;    // picker → parent: the pop-up opened
inline constexpr UINT kClosedUp = 0x83EB;          // picker → parent: the pop-up closed
inline constexpr UINT kChoiceConfirmed = 0x83EC;
inline constexpr UINT kChoiceCancelled = 0x83ED;

}  // namespace quorlin::forms
