// Helpers the built-in unit types share: values in and out of TypedValue records, window
// texts, fonts from LOGFONT blocks, and the creation style of the state flags.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/win_types.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::forms {

// A new text block of these bytes (null when empty), as a text value.
TypedValue TextValue(const std::string& text);
// A new byte-set block of these bytes (null when empty), as a byte-set value.
TypedValue ByteSetValue(const std::vector<uint8_t>& bytes);
// The bytes of a text value (null = empty).
std::string TextOf(const TypedValue& value);
// The bytes of a byte-set value (null = empty).
std::vector<uint8_t> BytesOf(const TypedValue& value);

std::string WindowText(HWND window);

// Window styles of the state flags: WS_DISABLED for a disabled unit, WS_TABSTOP for a focusable
// one. Units are created hidden; the layer shows them once all exist.
DWORD StyleOfStateFlags(uint32_t stateFlags);

// A font object made from a 60-byte LOGFONT block; 0 for an empty or malformed block (the
// control then keeps the default GUI font).
HFONT FontOfLogFont(const std::vector<uint8_t>& logFont);

// A font a unit owns: replaced and released with the unit.
class OwnedFont {
 public:
  OwnedFont() = default;
  OwnedFont(const OwnedFont&) = delete;
  OwnedFont& operator=(const OwnedFont&) = delete;
  ~OwnedFont();
  // Sets the block, makes its font and gives it to the window (WM_SETFONT with redraw).
  void Apply(HWND window, const std::vector<uint8_t>& logFont);
  const std::vector<uint8_t>& Block() const { return block_; }

 private:
  std::vector<uint8_t> block_;
  HFONT font_ = 0;
};

}  // namespace quorlin::forms
