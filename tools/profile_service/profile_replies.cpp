#include "tools/profile_service/profile_replies.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace quorlin::profile_service {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendEscape(std::string& out, uint32_t unit) {
  char text[8];
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(unit & 0xFFFF));
  out += text;
}

// A JSON string body from UTF-8: ASCII as is (quote and backslash escaped), the rest as \u
// escapes of UTF-16 units; a malformed sequence becomes U+FFFD.
std::string JsonText(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      if (byte == '"' || byte == '\\') {
        out += '\\';
        out += static_cast<char>(byte);
      } else if (byte < 0x20) {
        AppendEscape(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++i;
      continue;
    }
    const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 0;
    uint32_t code = length == 4 ? byte & 0x07u : length == 3 ? byte & 0x0Fu : byte & 0x1Fu;
    bool valid = length > 0 && i + length <= utf8.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (!valid || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      AppendEscape(out, 0xFFFD);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      AppendEscape(out, 0xD800 + (code >> 10));
      AppendEscape(out, 0xDC00 + (code & 0x3FF));
    } else {
      AppendEscape(out, code);
    }
    i += static_cast<size_t>(length);
  }
  return out;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      bytes += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      bytes += text[i];
    }
  }
  return bytes;
}

std::optional<std::string> QueryValue(std::string_view query, std::string_view key) {
  size_t start = 0;
  while (start <= query.size()) {
    const size_t end = std::min(query.find('&', start), query.size());
    const std::string_view pair = query.substr(start, end - start);
    const size_t equals = pair.find('=');
    if (PercentDecode(pair.substr(0, equals)) == key) {
      return equals == std::string_view::npos ? std::string() : PercentDecode(pair.substr(equals + 1));
    }
    start = end + 1;
  }
  return std::nullopt;
}

std::string PanelReply(const Member& member) {
  const std::string name = JsonText(member.utf8Name);
  const std::string age = member.bareAge ? member.age : "\"" + member.age + "\"";
  return "{\"no\":0,\"error\":\"\",\"data\":{\"name\":\"" + name + "\",\"portrait\":\"" + member.portrait +
         "\",\"tb_age\":" + age + ",\"post_num\":\"128\"}}";
}

std::string UnknownMemberReply() {
  return "{\"no\":404,\"error\":\"\\u7528\\u6237\\u4e0d\\u5b58\\u5728\",\"data\":{\"user_not_found\":true}}";
}

}  // namespace quorlin::profile_service
