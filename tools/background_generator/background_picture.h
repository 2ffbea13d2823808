// The program's own card background, drawn in code: a deep blue-to-teal gradient with soft
// light shapes, kept dark behind the card's two white text lines (y 265 to 330 of its
// top-left 580 × 385 part, which is what the card shows).
#pragma once

#include <cstdint>
#include <vector>

namespace quorlin::tools {

inline constexpr int kBackgroundWidth = 800;
inline constexpr int kBackgroundHeight = 600;

// Rows top first, three bytes (red, green, blue) a pixel.
std::vector<uint8_t> DrawBackgroundPixels();

}  // namespace quorlin::tools
