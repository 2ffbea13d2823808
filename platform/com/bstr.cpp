// BSTR allocation. A BSTR block is {32-bit byte length, characters, NUL character}; the BSTR
// points just past the length.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/base/code_page.h"
#include "platform/com/oleauto.h"

namespace {

constexpr size_t kPrefixBytes = sizeof(UINT);
constexpr size_t kTerminatorBytes = sizeof(OLECHAR);
// Larger strings are refused: the length must fit the prefix with room to spare.
constexpr UINT kMaxByteLength = 0x7FFFFFF0u;

char* BlockOf(BSTR bstr) { return reinterpret_cast<char*>(bstr) - kPrefixBytes; }

BSTR AllocateBytes(const void* bytes, UINT byteLength) {
  if (byteLength > kMaxByteLength) return nullptr;
  auto* block = static_cast<char*>(std::malloc(kPrefixBytes + byteLength + kTerminatorBytes));
  if (!block) return nullptr;
  std::memcpy(block, &byteLength, kPrefixBytes);
  char* characters = block + kPrefixBytes;
  if (bytes) {
    std::memcpy(characters, bytes, byteLength);
  } else {
    std::memset(characters, 0, byteLength);
  }
  std::memset(characters + byteLength, 0, kTerminatorBytes);
  return reinterpret_cast<BSTR>(characters);
}

size_t TextLength(const OLECHAR* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  const size_t length = TextLength(text);
  if (length > kMaxByteLength / sizeof(OLECHAR)) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > kMaxByteLength / sizeof(OLECHAR)) return nullptr;
  return AllocateBytes(text, static_cast<UINT>(length * sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT byteLength) { return AllocateBytes(bytes, byteLength); }

INT SysReAllocString(BSTR* bstr, const OLECHAR* text) {
  if (!bstr) return FALSE;
  // The new string is made before the old one goes: text may point into it.
  BSTR replacement = text ? SysAllocString(text) : nullptr;
  if (text && !replacement) return FALSE;
  SysFreeString(*bstr);
  *bstr = replacement;
  return TRUE;
}

INT SysReAllocStringLen(BSTR* bstr, const OLECHAR* text, UINT length) {
  if (!bstr) return FALSE;
  BSTR replacement = SysAllocStringLen(text, length);
  if (!replacement) return FALSE;
  SysFreeString(*bstr);
  *bstr = replacement;
  return TRUE;
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(BlockOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  UINT byteLength;
  std::memcpy(&byteLength, BlockOf(bstr), kPrefixBytes);
  return byteLength;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }

namespace quorlin::platform {

BSTR BstrFromUtf16(std::u16string_view text) {
  if (text.size() > kMaxByteLength / sizeof(OLECHAR)) return nullptr;
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::u16string_view BstrView(BSTR bstr) {
  if (!bstr) return {};
  return std::u16string_view(bstr, SysStringLen(bstr));
}

BSTR BstrFromAnsi(std::string_view gbk) { return BstrFromUtf16(GbkToUtf16(gbk)); }

std::string AnsiFromBstr(BSTR bstr) { return Utf16ToGbk(BstrView(bstr)); }

BSTR BstrFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return SysAllocStringLen(nullptr, 0);
  if (utf8.size() > INT_MAX) return nullptr;
  const int inputLength = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, nullptr, 0);
  if (length <= 0) return nullptr;
  BSTR bstr = SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (!bstr) return nullptr;
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inputLength, bstr, length);
  return bstr;
}

std::string Utf8FromBstr(BSTR bstr) {
  const std::u16string_view text = BstrView(bstr);
  if (text.empty() || text.size() > INT_MAX / 3) return {};
  const int inputLength = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), inputLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace quorlin::platform
