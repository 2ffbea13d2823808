// Inside the desktop display: Qt's key codes as our virtual keys, and how a key press with
// its text becomes our keyboard messages.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// The virtual key of a Qt key code (Qt::Key values); 0 for keys we have none for. keypad:
// the key is on the numeric keypad (digits become VK_NUMPAD0 … and operators VK_MULTIPLY …).
BYTE VirtualKeyOfQtKey(int qtKey, bool keypad);

// What a key press sends: the key-down's virtual key (0: none) and the characters (GBK) to
// type after it. The window layer's TranslateMessage already gives a plain key its character
// (a lower-case letter, a digit, unshifted punctuation, space, Enter, Tab, Backspace, Escape);
// any other text goes as characters behind a VK_PROCESSKEY key-down, as an input method's keys
// do, so that no character arrives twice. With Ctrl or Alt held only the key goes.
struct KeyPress {
  BYTE keyDown = 0;
  std::string characters;
};
KeyPress KeyPressOf(BYTE virtualKey, std::u16string_view text, bool ctrlOrAlt);

}  // namespace quorlin::platform
