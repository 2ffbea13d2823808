// The command line of quorlin-picture: IN OUT [BACKGROUND].
#pragma once

#include <optional>
#include <string>

#include "platform/base/win_types.h"

namespace quorlin::picture_tool {

struct ToolArguments {
  std::string input;
  std::string output;
  COLORREF background = 0x00FFFFFF;  // 0x00BBGGRR
  bool png = false;                  // OUT ends in .png (any case); else a 24-bit BMP
};

// The arguments after the program name, or none with the reason in *error.
std::optional<ToolArguments> ParseToolArguments(int count, const char* const* arguments, std::string* error);

// BACKGROUND as RRGGBB (six hexadecimal digits, an optional leading '#').
std::optional<COLORREF> ParseBackground(const std::string& text);

}  // namespace quorlin::picture_tool
