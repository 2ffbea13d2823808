#include "platform/com/xmlhttp/reply_text.h"

#include <climits>

#include "platform/base/code_page.h"

namespace quorlin::platform {
namespace {

std::u16string Latin1ToUtf16(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (unsigned char c : bytes) text += static_cast<char16_t>(c);
  return text;
}

std::u16string Utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  if (bytes.size() % 2 != 0) text += u'\xFFFD';
  return text;
}

std::u16string MultiByteToUtf16(UINT codePage, std::string_view bytes, DWORD flags = 0) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string text(static_cast<size_t>(needed), u'\0');
  const int written = MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), needed);
  text.resize(written > 0 ? static_cast<size_t>(written) : 0);
  return text;
}

bool IsAscii(std::string_view bytes) {
  for (unsigned char c : bytes) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::u16string DecodeReplyText(std::string_view body, std::string_view charset) {
  if (body.substr(0, 3) == "\xEF\xBB\xBF") return MultiByteToUtf16(CP_UTF8, body.substr(3));
  if (body.substr(0, 2) == "\xFF\xFE") return Utf16FromBytes(body.substr(2), false);
  if (body.substr(0, 2) == "\xFE\xFF") return Utf16FromBytes(body.substr(2), true);
  if (charset == "gbk" || charset == "gb2312" || charset == "gb18030" || charset == "cp936" || charset == "x-gbk") {
    return MultiByteToUtf16(CP_GBK, body);
  }
  if (charset == "iso-8859-1" || charset == "latin1" || charset == "us-ascii") return Latin1ToUtf16(body);
  return MultiByteToUtf16(CP_UTF8, body);
}

std::u16string DecodeHeaderText(std::string_view bytes) {
  if (IsAscii(bytes)) return Latin1ToUtf16(bytes);
  std::u16string text = MultiByteToUtf16(CP_UTF8, bytes, MB_ERR_INVALID_CHARS);
  return text.empty() ? Latin1ToUtf16(bytes) : text;
}

}  // namespace quorlin::platform
