// The program's own window icon: a 128 × 128, 32-bit ICO file image drawn here, and the same
// drawing at the sizes a desktop's icon theme asks for.
#pragma once

#include <cstdint>
#include <vector>

namespace quorlin::tools {

std::vector<uint8_t> DrawProgramIcon();

// The same drawing at size × size pixels: red, green, blue, alpha bytes, rows top-down.
std::vector<uint8_t> DrawProgramIconPixels(int size);

}  // namespace quorlin::tools
