#include "runtime/forms/layer/property_values.h"

#include <cstdio>

#include "runtime/kernel/blocks.h"

namespace quorlin::forms {

const char kDefaultFace[] = "宋体";

std::string PropertyValueText(const TypedValue& value) {
  switch (value.tag) {
    case Tag::Text: return std::string(TextView(PointerOf<const char>(value)));
    case Tag::ByteSet: return std::to_string(ByteSetLength(PointerOf<const void>(value)));
    case Tag::Boolean: return value.low ? "真" : "假";
    case Tag::Long: case Tag::EightByteValue: return std::to_string(static_cast<int64_t>(Value64(value)));
    case Tag::Double: {
      char text[64];
      std::snprintf(text, sizeof text, "%.15g", DoubleOf(value));
      return text;
    }
    default: return std::to_string(static_cast<int32_t>(value.low));
  }
}

}  // namespace quorlin::forms
