// Inside the forms layer: font members of LOGFONT records, and property values as text.
#pragma once

#include <string>

#include "platform/gdi/gdi_types.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/kernel/typed_value.h"

namespace quorlin::forms {

// The face a font gets when the face written is empty or 32 bytes or longer.
extern const char kDefaultFace[];  // "宋体"

// Member 0 angle (tenths of a degree, modulo 3600, never negative; escapement and orientation),
// 1 bold (weight 700, else 0), 2 italic, 3 underline, 4 strike-out, 5 size in points (height
// -MulDiv(size, pixels per inch, 72), a negative size counting as 0), 6 face name (a text).
void SetFontMember(LOGFONTA& font, int32_t member, uint32_t low, uint32_t high);
// The member's value; the face name as a new text block.
uint64_t FontMember(const LOGFONTA& font, int32_t member);
LOGFONTA FontOfRecord(const FontRecord& record);

// A value as the scenario transcript shows it: a text as its bytes, a byte set as its length,
// a boolean as 真 or 假, numbers in decimal.
std::string PropertyValueText(const TypedValue& value);

}  // namespace quorlin::forms
