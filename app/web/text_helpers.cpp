// TextBetween, TextRightOfLast, RemoveBlanks and UrlEncode over the basic commands.
#include "app/web/text_helpers.h"

#include <limits>
#include <string>

#include "app/constant_segment.h"
#include "app/support/dll_commands.h"
#include "app/web/call_helpers.h"
#include "runtime/commands/byte_set_commands.h"
#include "runtime/commands/conversion_commands.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::app::web {
namespace {

// "#引号" in GBK: a marker's stand-in for the double quote.
QUORLIN_CONSTANT const char kQuoteMark[] = "\x23\xD2\xFD\xBA\xC5";
QUORLIN_CONSTANT const char kQuote[] = "\"";
QUORLIN_CONSTANT const char kZero[] = "0";

OwnedText WithQuotes(const char* marker) {
  return CallCoreText(&commands::ReplaceSubtext,
                      {MakeText(marker), MakeText(kQuoteMark), MakeText(kQuote), TypedValue{}, TypedValue{}, MakeBoolean(true)});
}

int32_t FindText(const char* text, const char* search, TypedValue start, TypedValue ignoreCase) {
  return CallCoreInteger(&commands::FindText, {MakeText(text), MakeText(search), start, ignoreCase});
}

bool KeptPlain(uint8_t byte) {
  return byte == 0x2D || byte == 0x2E || (byte >= 0x30 && byte <= 0x39) || (byte >= 0x41 && byte <= 0x5A) ||
         (byte >= 0x61 && byte <= 0x7A);
}

}  // namespace

OwnedText TextBetween(const char* text, const char* left, const char* right, std::optional<int32_t> start,
                      std::optional<bool> ignoreCase) {
  const OwnedText leftMarker = WithQuotes(left);
  const OwnedText rightMarker = WithQuotes(right);
  const TypedValue ignore = OptionalBoolean(ignoreCase);
  const int32_t found = FindText(text, leftMarker.get(), OptionalInteger(start), ignore);
  if (found == -1) return OwnedText();
  // The first position after the left marker.
  const int64_t p = static_cast<int64_t>(found) + static_cast<int64_t>(leftMarker.view().size());
  if (p > std::numeric_limits<int32_t>::max()) return OwnedText();
  const int32_t q = FindText(text, rightMarker.get(), MakeInteger(static_cast<int32_t>(p)), ignore);
  if (q == -1) return OwnedText();
  return CallCoreText(&commands::TextMiddle,
                      {MakeText(text), MakeInteger(static_cast<int32_t>(p)), MakeInteger(static_cast<int32_t>(q - p))});
}

OwnedText TextRightOfLast(const char* text, const char* key, std::optional<int32_t> start,
                          std::optional<bool> ignoreCase) {
  const int32_t length = CallCoreInteger(&commands::TextLength, {MakeText(text)});
  const int32_t p = CallCoreInteger(&commands::FindTextReverse, {MakeText(text), MakeText(key),
                                                                  MakeInteger(start.value_or(length)),
                                                                  OptionalBoolean(ignoreCase)});
  if (p == -1) return OwnedText();
  const int64_t keyLength = CallCoreInteger(&commands::TextLength, {MakeText(key)});
  const int64_t count = static_cast<int64_t>(length) - keyLength - p + 1;
  if (count <= 0) return OwnedText();
  return CallCoreText(&commands::TextRight, {MakeText(text), MakeInteger(static_cast<int32_t>(count))});
}

OwnedText RemoveBlanks(OwnedText& variable) {
  if (variable.get()) {
    CallDll(DllCommand::PathRemoveBlanksA, 'v', "p", {reinterpret_cast<uintptr_t>(variable.get())});
    // A text trimmed to nothing is the empty text, which is never a block of its own.
    if (variable.empty()) variable.reset();
  }
  return OwnedText::Copy(variable.view());
}

OwnedText UrlEncode(const char* text, std::optional<bool> keepPlain, std::optional<bool> asUtf8) {
  if (TextView(text).empty()) return OwnedText();
  OwnedBytes bytes;
  if (asUtf8.value_or(false)) {
    const OwnedText utf8 = AnsiToUtf8(text);
    bytes = CallCoreBytes(&commands::ToByteSet, {MakeText(utf8.get())});
  } else {
    bytes = CallCoreBytes(&commands::ToByteSet, {MakeText(text)});
  }
  const bool plain = keepPlain.value_or(false);
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t byte = bytes.data()[i];
    if (plain && KeptPlain(byte)) {
      encoded += CallCoreText(&commands::CharFromCode, {MakeInteger(byte)}).view();
      continue;
    }
    const OwnedText hex = CallCoreText(&commands::ToHexText, {MakeInteger(byte)});
    encoded += '%';
    if (hex.view().size() == 1) encoded += kZero;
    encoded += hex.view();
  }
  return OwnedText::Copy(encoded);
}

}  // namespace quorlin::app::web
