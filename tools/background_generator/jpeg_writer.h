// Compresses RGB pixels into a baseline JPEG with libjpeg (a build tool only: the program
// itself has no JPEG encoder).
#pragma once

#include <cstdint>
#include <vector>

namespace quorlin::tools {

// Rows top first, three bytes a pixel; empty on failure.
std::vector<uint8_t> CompressBaselineJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality);

}  // namespace quorlin::tools
