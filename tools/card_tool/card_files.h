// The card files: their names, the PNG form of a card and the atomic replacement of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/card_tool/card_options.h"

namespace quorlin::card_tool {

// The file of a card: `folder` (empty: the current folder) / stem + ".bmp" or ".png".
std::filesystem::path CardFilePath(const std::string& folder, const std::string& stem, CardFormat format);

// The pixels of a 24-bit uncompressed BMP file image (as the snapshot makes them) as PNG file
// bytes with 8-bit RGB samples; none when the bytes are no such BMP or the encoder fails.
std::optional<std::vector<uint8_t>> BmpToPng(const uint8_t* bmp, size_t size);

// Writes the bytes to a new file in the target's folder and renames it over the target, so
// the target is never seen half written: on failure the old file (or none) stays and the
// temporary file is gone. The new file gets the permissions a created file gets (0666 less
// the umask). False, with errno's text in *error, on failure.
bool ReplaceFileAtomically(const std::filesystem::path& target, const uint8_t* bytes, size_t size, std::string* error);

}  // namespace quorlin::card_tool
