// A face read from its font file through a small window of the file: a font file of many
// megabytes is read a little here and there. Mapped, every read would bring in the neighbouring
// pages the kernel maps around a fault as well, and the process would hold megabytes of the file
// for a few kilobytes of use; read, it holds what FreeType keeps and a window.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace quorlin::platform::gdi {

// As FT_New_Face. The file stays open as long as the face.
FT_Error OpenFaceFromFile(FT_Library library, const std::string& path, int index, FT_Face* face);

}  // namespace quorlin::platform::gdi
