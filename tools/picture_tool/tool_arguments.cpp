#include "tools/picture_tool/tool_arguments.h"

#include <cctype>

namespace quorlin::picture_tool {

namespace {

bool EndsWithPng(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == ".png";
}

}  // namespace

std::optional<COLORREF> ParseBackground(const std::string& text) {
  const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (digits.size() != 6) return std::nullopt;
  uint32_t rgb = 0;
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    rgb = rgb << 4 | static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
  }
  return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

std::optional<ToolArguments> ParseToolArguments(int count, const char* const* arguments, std::string* error) {
  if (count < 2 || count > 3) {
    *error = "expected IN OUT [BACKGROUND]";
    return std::nullopt;
  }
  ToolArguments parsed;
  parsed.input = arguments[0];
  parsed.output = arguments[1];
  if (parsed.input.empty() || parsed.output.empty()) {
    *error = "IN and OUT must be file names";
    return std::nullopt;
  }
  parsed.png = EndsWithPng(parsed.output);
  if (count == 3) {
    const std::optional<COLORREF> background = ParseBackground(arguments[2]);
    if (!background) {
      *error = "BACKGROUND must be six hexadecimal digits RRGGBB, not \"" + std::string(arguments[2]) + "\"";
      return std::nullopt;
    }
    parsed.background = *background;
  }
  return parsed;
}

}  // namespace quorlin::picture_tool
