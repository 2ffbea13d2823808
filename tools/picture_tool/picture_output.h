// Writing a rendered picture: a 24-bit uncompressed BMP or an 8-bit RGB PNG.
#pragma once

#include <string>

#include "tools/picture_tool/picture_render.h"

namespace quorlin::picture_tool {

// False when the file cannot be written completely; a partial file is removed.
bool WriteBmpFile(const std::string& path, const RenderedPicture& picture);
bool WritePngFile(const std::string& path, const RenderedPicture& picture);

}  // namespace quorlin::picture_tool
