// AnsiToUtf8, TextToWideBytes and WideBytesToText over the platform's code-page conversions
// (DLL commands 0 and 1).
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "app/constant_segment.h"
#include "app/support/dll_commands.h"
#include "app/web/text_helpers.h"
#include "runtime/commands/byte_set_commands.h"
#include "runtime/commands/text_commands.h"
#include "runtime/kernel/blocks.h"

namespace quorlin::app::web {
namespace {

constexpr int32_t kGbk = 936;
constexpr int32_t kUtf8 = 65001;
constexpr int32_t kSystemCodePage = 0;
constexpr uint64_t kWholeText = 0xFFFFFFFF;  // -1: up to and including the terminator

QUORLIN_CONSTANT const char kEmptyText[] = "";

uint64_t Word(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// MultiByteToWideChar(codePage, 0, text, -1, units, count)
int32_t MultiByteToWideChar(int32_t codePage, const char* text, void* units, int32_t count) {
  return static_cast<int32_t>(CallDll(DllCommand::MultiByteToWideChar, 'i', "iipipi",
                                      {static_cast<uint32_t>(codePage), 0, Word(text), kWholeText, Word(units),
                                       static_cast<uint32_t>(count)}));
}

// WideCharToMultiByte(codePage, 0, units, -1, text, count, none, none)
int32_t WideCharToMultiByte(int32_t codePage, const char16_t* units, char* text, int32_t count) {
  return static_cast<int32_t>(CallDll(DllCommand::WideCharToMultiByte, 'i', "iipipipp",
                                      {static_cast<uint32_t>(codePage), 0, Word(units), kWholeText, Word(text),
                                       static_cast<uint32_t>(count), 0, 0}));
}

// Twice n, or nothing when that leaves the range of a byte count.
std::optional<int32_t> Doubled(int32_t n) {
  if (n <= 0 || n > std::numeric_limits<int32_t>::max() / 2) return std::nullopt;
  return n * 2;
}

}  // namespace

OwnedText AnsiToUtf8(const char* text) {
  const OwnedBytes units = TextToWideBytes(text, kGbk);
  return WideBytesToText(units.get(), kUtf8);
}

OwnedBytes TextToWideBytes(const char* text, std::optional<int32_t> codePage) {
  const char* source = text ? text : kEmptyText;
  const int32_t n = MultiByteToWideChar(kSystemCodePage, source, nullptr, 0);
  const std::optional<int32_t> bytes = Doubled(n);
  if (!bytes) return OwnedBytes();
  OwnedBytes buffer = CallCoreBytes(&commands::ZeroByteSet, {MakeInteger(*bytes)});
  if (buffer.empty()) return buffer;
  MultiByteToWideChar(codePage.value_or(kUtf8), source, ByteSetData(const_cast<void*>(buffer.get())), n);
  return buffer;
}

OwnedText WideBytesToText(const void* unitsByteSet, std::optional<int32_t> codePage) {
  // The conversion reads up to a zero code unit: it reads a terminated copy of the units, so
  // a byte set without one is never read past its end.
  const size_t unitCount = ByteSetLength(unitsByteSet) / 2;
  std::u16string terminated(unitCount, u'\0');
  if (unitCount > 0) std::memcpy(terminated.data(), ByteSetData(unitsByteSet), unitCount * 2);
  const char16_t* units = terminated.c_str();

  const int32_t n = WideCharToMultiByte(kSystemCodePage, units, nullptr, 0);
  const std::optional<int32_t> bytes = Doubled(n);
  if (!bytes) return OwnedText();
  OwnedText text = CallCoreText(&commands::SpaceText, {MakeInteger(*bytes)});
  if (!text.get()) return OwnedText();
  WideCharToMultiByte(codePage.value_or(kSystemCodePage), units, const_cast<char*>(text.get()), *bytes);
  return OwnedText::Copy(text.view());
}

}  // namespace quorlin::app::web
