// A face read from a mapping of its font file that brings in only the pages the face touches:
// a font file of many megabytes is read a little here and there, and with the neighbouring
// pages the kernel would otherwise map around each read, the process would hold megabytes of
// it for a few kilobytes of use.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace quorlin::platform::gdi {

// As FT_New_Face. The mapping stays as long as the process: faces are never closed.
FT_Error OpenFaceFromFile(FT_Library library, const std::string& path, int index, FT_Face* face);

}  // namespace quorlin::platform::gdi
