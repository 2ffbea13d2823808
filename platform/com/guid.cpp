#include "platform/com/guid.h"

#include <cstdio>

namespace quorlin::platform {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits at `at`, advancing it.
bool ReadHex(std::string_view text, size_t& at, int digits, uint32_t& value) {
  if (text.size() - at < static_cast<size_t>(digits)) return false;
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = HexValue(text[at++]);
    if (v < 0) return false;
    value = (value << 4) | static_cast<uint32_t>(v);
  }
  return true;
}

bool Expect(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

}  // namespace

std::optional<GUID> ParseGuid(std::string_view text) {
  // {8-4-4-4-12}: 38 characters.
  if (text.size() != 38) return std::nullopt;
  GUID guid{};
  size_t at = 0;
  uint32_t value = 0;
  if (!Expect(text, at, '{') || !ReadHex(text, at, 8, value)) return std::nullopt;
  guid.Data1 = value;
  if (!Expect(text, at, '-') || !ReadHex(text, at, 4, value)) return std::nullopt;
  guid.Data2 = static_cast<WORD>(value);
  if (!Expect(text, at, '-') || !ReadHex(text, at, 4, value)) return std::nullopt;
  guid.Data3 = static_cast<WORD>(value);
  if (!Expect(text, at, '-')) return std::nullopt;
  for (int i = 0; i < 8; ++i) {
    if (i == 2 && !Expect(text, at, '-')) return std::nullopt;
    if (!ReadHex(text, at, 2, value)) return std::nullopt;
    guid.Data4[i] = static_cast<BYTE>(value);
  }
  if (!Expect(text, at, '}') || at != text.size()) return std::nullopt;
  return guid;
}

std::string FormatGuid(const GUID& g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2,
                g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return text;
}

}  // namespace quorlin::platform
