#include "app/settings/settings_file.h"

#include <string>

#include "app/settings/settings_texts.h"
#include "app/support/program_places.h"
#include "runtime/commands/ini_commands.h"

namespace quorlin::app {
namespace {

std::string& FileUsedInstead() {
  static std::string name;
  return name;
}

}  // namespace

void UseSettingsFileInstead(std::string_view fileName) { FileUsedInstead() = fileName; }

IniSettingsFile::IniSettingsFile() = default;
IniSettingsFile::IniSettingsFile(OwnedText fileName) : fixedName_(std::move(fileName)) {}

OwnedText IniSettingsFile::FileName() const {
  if (!fixedName_.empty()) return OwnedText::Copy(fixedName_.view());
  if (!FileUsedInstead().empty()) return OwnedText::Copy(FileUsedInstead());
  std::string name = CurrentProgramPlaces().settingsFolder;
  name += texts::kIniFileName;
  return OwnedText::Copy(name);
}

OwnedText IniSettingsFile::Read(const char* section, const char* key, std::optional<const char*> fallback) {
  const OwnedText name = FileName();
  const TypedValue defaultValue = fallback ? MakeText(*fallback) : TypedValue{};
  return CallCoreText(&commands::ReadIniItem, {MakeText(name.get()), MakeText(section), MakeText(key), defaultValue});
}

void IniSettingsFile::Write(const char* section, const char* key, const char* value) {
  const OwnedText name = FileName();
  if (fixedName_.empty()) MakeFolderWhenMissing(CurrentProgramPlaces().settingsFolder);
  CallCore(&commands::WriteIniItem, {MakeText(name.get()), MakeText(section), MakeText(key), MakeText(value)});
}

}  // namespace quorlin::app
