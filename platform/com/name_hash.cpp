#include <cstdint>

#include "platform/com/typeinfo.h"

namespace quorlin::platform {
namespace {

// Simple upper-case folding of the scripts whose letters have case and that names plausibly
// use; everything else is left as it is.
char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);  // Latin-1, not ÷
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

}  // namespace

bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace quorlin::platform

ULONG LHashValOfNameSys(SYSKIND sysKind, LCID locale, const OLECHAR* name) {
  if (!name) return 0;
  uint32_t hash = 2166136261u;  // FNV-1a
  for (const OLECHAR* p = name; *p != 0; ++p) {
    hash ^= quorlin::platform::FoldCase(*p);
    hash *= 16777619u;
  }
  const ULONG low = (hash ^ (hash >> 16)) & 0xFFFF;
  return low | ((locale & 0xFF) << 16) | ((static_cast<ULONG>(sysKind) & 0xFF) << 24);
}

ULONG LHashValOfName(LCID locale, const OLECHAR* name) { return LHashValOfNameSys(SYS_WIN32, locale, name); }

LCID GetUserDefaultLCID() { return 0x0804; }

LCID GetSystemDefaultLCID() { return 0x0804; }
