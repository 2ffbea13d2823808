// Inside the desktop display: the byte layouts that cross between our clipboard and drops and
// other programs' formats. Pure functions, no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/win_types.h"

namespace quorlin::platform {

// "HTML Format" bytes: the platform's header (Version, StartHTML, EndHTML, StartFragment,
// EndFragment as 10-digit byte offsets) before the UTF-8 HTML, the fragment marked with
// <!--StartFragment--> and <!--EndFragment-->.
std::vector<BYTE> HtmlFormatOf(std::string_view htmlUtf8);
// The fragment of "HTML Format" bytes (the whole HTML when the offsets are missing or wrong).
std::string HtmlOfHtmlFormat(const std::vector<BYTE>& bytes);

// A packed DIB as a BMP file (a 14-byte file header in front); nothing when the DIB's header
// is not one we can size.
std::optional<std::vector<BYTE>> BmpFileOfDib(const std::vector<BYTE>& dib);
// The packed DIB inside a BMP file; nothing when it is no BMP file.
std::optional<std::vector<BYTE>> DibOfBmpFile(const std::vector<BYTE>& bmp);

// A file dialog's name filter from a ("图片文件（*.jpg;*.gif）", "*.jpg;*.gif") pair:
// "图片文件（*.jpg;*.gif） (*.jpg *.gif)".
std::string NameFilterOf(const std::pair<std::string, std::string>& filter);

}  // namespace quorlin::platform
