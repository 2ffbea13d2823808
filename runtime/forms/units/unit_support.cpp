#include "runtime/forms/units/unit_support.h"

#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::forms {

TypedValue TextValue(const std::string& text) { return MakeText(NewText(text)); }

TypedValue ByteSetValue(const std::vector<uint8_t>& bytes) {
  return MakeByteSet(NewByteSet(bytes.data(), bytes.size()));
}

std::string TextOf(const TypedValue& value) { return std::string(TextView(PointerOf<const char>(value))); }

std::vector<uint8_t> BytesOf(const TypedValue& value) {
  const void* block = PointerOf<const void>(value);
  const uint8_t* data = ByteSetData(block);
  return data ? std::vector<uint8_t>(data, data + ByteSetLength(block)) : std::vector<uint8_t>{};
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

DWORD StyleOfStateFlags(uint32_t stateFlags) {
  DWORD style = 0;
  if (stateFlags & 2u) style |= WS_DISABLED;
  if (stateFlags & 4u) style |= WS_TABSTOP;
  return style;
}

HFONT FontOfLogFont(const std::vector<uint8_t>& logFont) {
  if (logFont.size() != sizeof(LOGFONTA)) return 0;
  LOGFONTA font;
  std::memcpy(&font, logFont.data(), sizeof font);
  font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
  return CreateFontIndirectA(&font);
}

OwnedFont::~OwnedFont() {
  if (font_) DeleteObject(font_);
}

void OwnedFont::Apply(HWND window, const std::vector<uint8_t>& logFont) {
  block_ = logFont;
  const HFONT previous = font_;
  font_ = FontOfLogFont(block_);
  const HFONT shown = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (window) SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(shown), 1);
  if (previous) DeleteObject(previous);
}

}  // namespace quorlin::forms
