#include "platform/base/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "platform/base/last_error.h"

static_assert(std::endian::native == std::endian::little, "WCHAR buffers are handed to iconv as UTF-16LE");

namespace {

enum class CodePage { Gbk, Utf8 };

constexpr char16_t kGbkDefaultUnit = u'?';
constexpr char16_t kReplacementUnit = 0xFFFD;
constexpr char kGbkDefaultByte = '?';

std::optional<CodePage> Resolve(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case CP_GBK: return CodePage::Gbk;
    case CP_UTF8: return CodePage::Utf8;
    default: return std::nullopt;
  }
}

bool IsGbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsGbkTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// One conversion descriptor per thread and direction: iconv_t keeps state and is not safe to
// share, and opening one per call would cost more than most conversions.
class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; returns the errno that stopped it (0 when all was converted).
  int Run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    const size_t result = iconv(descriptor_, const_cast<char**>(&in), &inLeft, &out, &outLeft);
    return result == static_cast<size_t>(-1) ? errno : 0;
  }

 private:
  iconv_t descriptor_;
};

Converter& GbkDecoder() {
  thread_local Converter converter("UTF-16LE", "GBK");
  return converter;
}

Converter& GbkEncoder() {
  thread_local Converter converter("GBK", "UTF-16LE");
  return converter;
}

// Appends the UTF-16 form of GBK bytes. A bad sequence becomes U+003F (one per lead byte with a
// possible trail byte, else one per byte), or makes the call fail when strict.
bool DecodeGbk(std::string_view in, std::u16string& out, bool strict) {
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    const size_t asciiStart = i;
    while (i < n && static_cast<unsigned char>(in[i]) < 0x80) ++i;
    out.append(in.begin() + static_cast<std::ptrdiff_t>(asciiStart), in.begin() + static_cast<std::ptrdiff_t>(i));
    if (i == n) break;

    // A run of double-byte characters (a trail byte may be ASCII, so step by characters).
    size_t end = i;
    while (end < n && static_cast<unsigned char>(in[end]) >= 0x80) {
      end += (IsGbkLead(static_cast<unsigned char>(in[end])) && end + 1 < n) ? 2 : 1;
    }
    // Each GBK character gives one UTF-16 unit, so the run's byte count is room enough.
    const size_t base = out.size();
    out.resize(base + (end - i));
    char* outPtr = reinterpret_cast<char*>(out.data() + base);
    size_t outLeft = (end - i) * sizeof(char16_t);
    const char* inPtr = in.data() + i;
    size_t inLeft = end - i;
    Converter& decoder = GbkDecoder();
    while (inLeft > 0) {
      const int error = decoder.valid() ? decoder.Run(inPtr, inLeft, outPtr, outLeft) : EILSEQ;
      if (error == 0) break;
      if (error != EILSEQ && error != EINVAL) return false;
      if (strict) return false;
      const auto lead = static_cast<unsigned char>(*inPtr);
      const size_t skip = (IsGbkLead(lead) && inLeft > 1 && IsGbkTrail(static_cast<unsigned char>(inPtr[1]))) ? 2 : 1;
      inPtr += skip;
      inLeft -= skip;
      const char16_t unit = kGbkDefaultUnit;
      std::memcpy(outPtr, &unit, sizeof unit);
      outPtr += sizeof unit;
      outLeft -= sizeof unit;
    }
    out.resize(base + (end - i) - outLeft / sizeof(char16_t));
    i = end;
  }
  return true;
}

// Appends the GBK form of UTF-16 units; a character GBK lacks (or a lone surrogate) becomes
// the default character.
void EncodeGbk(std::u16string_view in, std::string& out, std::string_view defaultChar, bool& usedDefault) {
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    while (i < n && in[i] < 0x80) out.push_back(static_cast<char>(in[i++]));
    if (i == n) break;

    size_t end = i;
    while (end < n && in[end] >= 0x80) ++end;
    // Two bytes per unit at most; a default character may be two bytes as well.
    const size_t base = out.size();
    out.resize(base + (end - i) * 2);
    char* outPtr = out.data() + base;
    size_t outLeft = (end - i) * 2;
    const char* inPtr = reinterpret_cast<const char*>(in.data() + i);
    size_t inLeft = (end - i) * sizeof(char16_t);
    Converter& encoder = GbkEncoder();
    while (inLeft > 0) {
      const int error = encoder.valid() ? encoder.Run(inPtr, inLeft, outPtr, outLeft) : EILSEQ;
      if (error == 0) break;
      if (error == E2BIG) {  // not expected from GBK, but never lose text over it
        const size_t written = static_cast<size_t>(outPtr - out.data());
        out.resize(out.size() + inLeft + 2);
        outPtr = out.data() + written;
        outLeft += inLeft + 2;
        continue;
      }
      if (outLeft < defaultChar.size()) {
        const size_t written = static_cast<size_t>(outPtr - out.data());
        out.resize(out.size() + defaultChar.size());
        outPtr = out.data() + written;
        outLeft += defaultChar.size();
      }
      char16_t unit;
      std::memcpy(&unit, inPtr, sizeof unit);
      size_t skip = sizeof(char16_t);
      if (IsHighSurrogate(unit) && inLeft >= 2 * sizeof(char16_t)) {
        char16_t next;
        std::memcpy(&next, inPtr + sizeof unit, sizeof next);
        if (IsLowSurrogate(next)) skip *= 2;
      }
      inPtr += skip;
      inLeft -= skip;
      usedDefault = true;
      for (char c : defaultChar) {
        *outPtr++ = c;
        --outLeft;
      }
    }
    out.resize(out.size() - outLeft);
    i = end;
  }
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// Appends the UTF-16 form of UTF-8 bytes. Each maximal ill-formed part becomes one U+FFFD, or
// makes the call fail when strict.
bool DecodeUtf8(std::string_view in, std::u16string& out, bool strict) {
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(in[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    size_t need;
    unsigned char low = 0x80, high = 0xBF;
    char32_t c;
    if (b0 >= 0xC2 && b0 <= 0xDF) { need = 1; c = b0 & 0x1F; }
    else if (b0 == 0xE0) { need = 2; c = b0 & 0x0F; low = 0xA0; }
    else if (b0 == 0xED) { need = 2; c = b0 & 0x0F; high = 0x9F; }
    else if (b0 >= 0xE1 && b0 <= 0xEF) { need = 2; c = b0 & 0x0F; }
    else if (b0 == 0xF0) { need = 3; c = b0 & 0x07; low = 0x90; }
    else if (b0 >= 0xF1 && b0 <= 0xF3) { need = 3; c = b0 & 0x07; }
    else if (b0 == 0xF4) { need = 3; c = b0 & 0x07; high = 0x8F; }
    else {
      if (strict) return false;
      out.push_back(kReplacementUnit);
      ++i;
      continue;
    }
    size_t taken = 1;
    bool complete = true;
    for (size_t k = 0; k < need; ++k) {
      if (i + taken >= n) { complete = false; break; }
      const auto b = static_cast<unsigned char>(in[i + taken]);
      if (b < low || b > high) { complete = false; break; }
      c = (c << 6) | (b & 0x3F);
      ++taken;
      low = 0x80;
      high = 0xBF;
    }
    if (!complete) {
      if (strict) return false;
      out.push_back(kReplacementUnit);
    } else {
      AppendUtf16(c, out);
    }
    i += taken;
  }
  return true;
}

// Appends the UTF-8 form of UTF-16 units; a lone surrogate becomes U+FFFD, or makes the call
// fail when strict.
bool EncodeUtf8(std::u16string_view in, std::string& out, bool strict) {
  for (size_t i = 0; i < in.size(); ++i) {
    const char16_t u = in[i];
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else if (IsHighSurrogate(u) && i + 1 < in.size() && IsLowSurrogate(in[i + 1])) {
      AppendUtf8(0x10000 + ((char32_t{u} - 0xD800) << 10) + (in[i + 1] - 0xDC00), out);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      if (strict) return false;
      AppendUtf8(kReplacementUnit, out);
    } else {
      AppendUtf8(u, out);
    }
  }
  return true;
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The first character of a caller's default character, or '?'.
std::string_view GbkDefaultChar(LPCSTR defaultChar) {
  if (!defaultChar || !defaultChar[0]) return std::string_view(&kGbkDefaultByte, 1);
  const bool twoBytes = IsGbkLead(static_cast<unsigned char>(defaultChar[0])) && defaultChar[1] != 0;
  return std::string_view(defaultChar, twoBytes ? 2 : 1);
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

template <typename Unit>
int CopyResult(const std::basic_string<Unit>& result, Unit* buffer, int bufferLength) {
  if (result.size() > static_cast<size_t>(INT_MAX)) return Fail(ERROR_INVALID_PARAMETER);
  const int needed = static_cast<int>(result.size());
  if (bufferLength == 0) return needed;
  if (needed > bufferLength) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, result.data(), result.size() * sizeof(Unit));
  return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength,
                        LPWSTR wide, int wideLength) {
  if (!multiByte || multiByteLength == 0 || multiByteLength < -1 || wideLength < 0 || (wideLength > 0 && !wide)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const auto page = Resolve(codePage);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  if (*page == CodePage::Utf8 && (flags & ~MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
  constexpr DWORD kGbkFlags = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
  if (*page == CodePage::Gbk &&
      ((flags & ~kGbkFlags) != 0 || (flags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE))) {
    return Fail(ERROR_INVALID_FLAGS);
  }

  const size_t length = multiByteLength == -1 ? std::strlen(multiByte) + 1 : static_cast<size_t>(multiByteLength);
  const std::string_view in(multiByte, length);
  const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
  std::u16string result;
  result.reserve(length);
  const bool ok = *page == CodePage::Utf8 ? DecodeUtf8(in, result, strict) : DecodeGbk(in, result, strict);
  if (!ok) return Fail(ERROR_NO_UNICODE_TRANSLATION);
  return CopyResult(result, wide, wideLength);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte,
                        int multiByteLength, LPCSTR defaultChar, BOOL* usedDefaultChar) {
  if (!wide || wideLength == 0 || wideLength < -1 || multiByteLength < 0 || (multiByteLength > 0 && !multiByte)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const auto page = Resolve(codePage);
  if (!page) return Fail(ERROR_INVALID_PARAMETER);
  if (*page == CodePage::Utf8) {
    if ((flags & ~WC_ERR_INVALID_CHARS) != 0) return Fail(ERROR_INVALID_FLAGS);
    if (defaultChar || usedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
  } else {
    constexpr DWORD kGbkFlags = WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_COMPOSITECHECK | WC_NO_BEST_FIT_CHARS;
    if ((flags & ~kGbkFlags) != 0) return Fail(ERROR_INVALID_FLAGS);
  }

  const size_t length = wideLength == -1 ? std::char_traits<char16_t>::length(wide) + 1 : static_cast<size_t>(wideLength);
  const std::u16string_view in(wide, length);
  std::string result;
  result.reserve(length * 2);
  if (*page == CodePage::Utf8) {
    if (!EncodeUtf8(in, result, (flags & WC_ERR_INVALID_CHARS) != 0)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
  } else {
    bool used = false;
    EncodeGbk(in, result, GbkDefaultChar(defaultChar), used);
    if (usedDefaultChar) *usedDefaultChar = used ? TRUE : FALSE;
  }
  return CopyResult(result, multiByte, multiByteLength);
}

UINT GetACP() { return CP_GBK; }
UINT GetOEMCP() { return CP_GBK; }

namespace quorlin::platform {

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  std::u16string units;
  units.reserve(gbk.size());
  DecodeGbk(gbk, units, false);
  std::string utf8;
  utf8.reserve(units.size() * 3);
  EncodeUtf8(units, utf8, false);
  return utf8;
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::u16string units;
  units.reserve(utf8.size());
  DecodeUtf8(utf8, units, false);
  std::string gbk;
  bool used = false;
  EncodeGbk(units, gbk, std::string_view(&kGbkDefaultByte, 1), used);
  return gbk;
}

bool Utf8ToGbkExactly(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  if (IsAscii(utf8)) {
    gbk = utf8;
    return true;
  }
  std::u16string units;
  units.reserve(utf8.size());
  if (!DecodeUtf8(utf8, units, true)) return false;
  bool used = false;
  EncodeGbk(units, gbk, std::string_view(&kGbkDefaultByte, 1), used);
  return !used;
}

std::u16string GbkToUtf16(std::string_view gbk) {
  if (IsAscii(gbk)) return std::u16string(gbk.begin(), gbk.end());
  std::u16string units;
  units.reserve(gbk.size());
  DecodeGbk(gbk, units, false);
  return units;
}

std::string Utf16ToGbk(std::u16string_view utf16) {
  if (std::all_of(utf16.begin(), utf16.end(), [](char16_t u) { return u < 0x80; })) {
    return std::string(utf16.begin(), utf16.end());
  }
  std::string gbk;
  gbk.reserve(utf16.size());
  bool used = false;
  EncodeGbk(utf16, gbk, std::string_view(&kGbkDefaultByte, 1), used);
  return gbk;
}

void OpenThreadConversions() {
  GbkDecoder();
  GbkEncoder();
}

}  // namespace quorlin::platform
