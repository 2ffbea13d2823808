// The settings file, quorlin.ini beside the program or in the user's configuration folder
// (app/support/program_places.h), read and written one item at a time
// through the ini commands; it is never held open.
#pragma once

#include <optional>
#include <string_view>

#include "app/support/runtime_calls.h"

namespace quorlin::app {

class SettingsFile {
 public:
  virtual ~SettingsFile() = default;
  // The item's value; the default (empty when left out) when the key is absent.
  virtual OwnedText Read(const char* section, const char* key, std::optional<const char*> fallback = std::nullopt) = 0;
  // Writes the item; the result is ignored, the settings in memory change all the same.
  virtual void Write(const char* section, const char* key, const char* value) = 0;
};

// Every IniSettingsFile made without a name then uses this file (GBK bytes, as the ini
// commands take names) instead of the program's quorlin.ini; the empty name returns to it. For
// a program that is told which settings to use; set before the main window loads.
void UseSettingsFileInstead(std::string_view fileName);

// The ini file of that full name.
class IniSettingsFile : public SettingsFile {
 public:
  // The program's quorlin.ini, in the folder CurrentProgramPlaces names (unless another file
  // is used instead).
  IniSettingsFile();
  explicit IniSettingsFile(OwnedText fileName);

  OwnedText Read(const char* section, const char* key, std::optional<const char*> fallback) override;
  void Write(const char* section, const char* key, const char* value) override;

 private:
  OwnedText FileName() const;

  OwnedText fixedName_;  // empty: the program's quorlin.ini
};

}  // namespace quorlin::app
