// The program's own window icon: a 128 × 128, 32-bit ICO file image drawn here.
#pragma once

#include <cstdint>
#include <vector>

namespace quorlin::tools {

std::vector<uint8_t> DrawProgramIcon();

}  // namespace quorlin::tools
