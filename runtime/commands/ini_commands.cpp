#include "runtime/commands/ini_commands.h"

#include <string>
#include <vector>

#include "platform/base/private_profile.h"
#include "runtime/commands/command_arguments.h"
#include "runtime/commands/value_text.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

using detail::Arguments;

constexpr DWORD ReadBufferSize = 10240;

std::string_view SkipLeadingControlAndSpace(std::string_view name) {
  size_t i = 0;
  while (i < name.size() && static_cast<uint8_t>(name[i]) <= 0x20) ++i;
  return name.substr(i);
}

// The text of a value argument that may be of another type (a number, for instance).
std::string ValueArgumentText(const TypedValue& value) {
  char* text = detail::NewTextOfValue(value);
  std::string copy(TextView(text));
  LibraryHost::Free(text);
  return copy;
}

}  // namespace

void ReadIniItem(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  detail::SetText(result, nullptr);
  const std::string file(SkipLeadingControlAndSpace(a.Text(0)));
  const std::string section(SkipLeadingControlAndSpace(a.Text(1)));
  const std::string key(SkipLeadingControlAndSpace(a.Text(2)));
  if (file.empty() || section.empty() || key.empty()) return;
  const std::string fallback(a.Text(3));
  std::vector<char> buffer(ReadBufferSize);
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                           ReadBufferSize, file.c_str());
  detail::SetText(result, NewText(buffer.data(), n < ReadBufferSize ? n : ReadBufferSize - 1));
}

void WriteIniItem(TypedValue* result, int32_t argCount, TypedValue* args) {
  const Arguments a(argCount, args);
  detail::SetBoolean(result, false);
  const std::string file(a.Text(0));
  const std::string section(a.Text(1));
  if (file.empty() || section.empty()) return;
  const std::string key(a.Text(2));
  // A key supplied as the empty text names no key: writing it would delete the whole section.
  if (a.IsGiven(2) && key.empty()) return;
  const std::string value = a.IsGiven(3) ? ValueArgumentText(a.At(3)) : std::string();
  const BOOL written = WritePrivateProfileStringA(section.c_str(), a.IsGiven(2) ? key.c_str() : nullptr,
                                                  a.IsGiven(3) ? value.c_str() : nullptr, file.c_str());
  detail::SetBoolean(result, written != FALSE);
}

}  // namespace quorlin::commands
