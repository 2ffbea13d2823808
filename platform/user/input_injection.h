// Inside the platform: how a display backend turns its input into the window layer's messages.
// The messages are posted as input to the thread of the window they are for.
#pragma once

#include <string_view>

#include "platform/base/win_types.h"

namespace quorlin::platform {

enum class MouseButton { Left, Right, Middle };

// The pointer moved to a screen point: WM_MOUSEMOVE (or WM_NCMOUSEMOVE over a frame).
void InjectMouseMove(POINT screen);
// A button went down or up at the pointer. A press activates the top-level window under it;
// a second left or right press on the same spot within the double-click time is a
// WM_?BUTTONDBLCLK for windows of CS_DBLCLKS classes.
void InjectMouseButton(MouseButton button, bool down);
// WM_KEYDOWN / WM_KEYUP (WM_SYSKEY… while Alt is down) with the key state kept.
void InjectKey(BYTE virtualKey, bool down);
// Typed characters: one WM_CHAR per byte of the GBK text, a double-byte character as two.
void InjectCharacters(std::string_view gbk);
// Text an input method committed: one WM_IME_CHAR per character (a double-byte one as
// lead << 8 | trail), which DefWindowProcA turns into WM_CHAR bytes.
void InjectCommittedText(std::string_view gbk);

}  // namespace quorlin::platform
