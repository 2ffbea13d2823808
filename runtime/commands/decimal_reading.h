// Reading the decimal integer at the start of a text: leading blanks, an optional sign, then
// digits up to the first non-digit; 0 when there are none. Values beyond 32 bits saturate.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorlin::commands::detail {

int32_t ReadDecimalInteger(std::string_view text);

}  // namespace quorlin::commands::detail
