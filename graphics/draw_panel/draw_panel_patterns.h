// The 8 × 8 one-bit patterns behind brush types 8 to 55: pattern k is brush type k + 8.
// Byte r is image row r (top row first), the most significant bit the leftmost pixel.
#pragma once

#include <array>
#include <cstdint>

namespace quorlin::drawpanel {

inline constexpr int kPatternCount = 48;
extern const std::array<std::array<uint8_t, 8>, kPatternCount> DrawPanelPatterns;

}  // namespace quorlin::drawpanel
