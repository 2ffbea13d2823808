// Writing screen pixels to a picture file for the scenario player's `shot` step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quorlin::forms {

// Pixels as the headless display gives them: 0x00RRGGBB, rows top-down, width × height.
struct ScreenPixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// The rectangle [left, right) × [top, bottom) of the pixels; it must lie inside them.
ScreenPixels CropPixels(const ScreenPixels& screen, int left, int top, int right, int bottom);

// A 24-bit bottom-up BMP file of the pixels.
std::vector<uint8_t> EncodeBmp24(const ScreenPixels& picture);

// Writes a .png (8-bit RGB) or .bmp (24-bit) file, chosen by the ending of the path (without
// case). False, with `reason` set, when the file cannot be written.
bool WritePictureFile(const std::filesystem::path& path, const ScreenPixels& picture, std::string& reason);

// Writes bytes to a file; false, with `reason` set, on failure.
bool WriteBytesFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes, std::string& reason);

}  // namespace quorlin::forms
