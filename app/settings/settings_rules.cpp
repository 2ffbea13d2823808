#include "app/settings/settings_rules.h"

#include "app/settings/settings_texts.h"
#include "runtime/commands/conversion_commands.h"
#include "runtime/commands/file_commands.h"

namespace quorlin::app {
namespace {

int32_t ToInteger(const char* text) { return IntegerOf(CallCore(&commands::ToInteger, {MakeText(text)})); }

OwnedText ToText(int32_t value) { return CallCoreText(&commands::ToText, {MakeInteger(value)}); }

OwnedBytes ReadFileBytes(const char* path) { return CallCoreBytes(&commands::ReadFileBytes, {MakeText(path)}); }

bool Is(const OwnedText& text, const char* expected) { return text.view() == expected; }

}  // namespace

LoadedBackground LoadSettingsFile(SettingsFile& file, AppSettings& settings) {
  using namespace texts;
  settings.smallCard = Is(file.Read(kSectionSz, kKeySet), kOne) ? 1 : 0;

  LoadedBackground background;
  const OwnedText backgroundPath = file.Read(kSectionBack, kKeyUrl);
  if (!backgroundPath.empty()) {
    background.builtIn = false;
    background.fileBytes = ReadFileBytes(backgroundPath.get());
  }

  if (Is(file.Read(kSectionSz, kKeyTouxiang), kZero)) {
    settings.onlineAvatar = 0;
    settings.avatarPath = file.Read(kSectionSz, kKeyTouxiangUrl);
    settings.localAvatarBytes = ReadFileBytes(settings.avatarPath.get());
  } else {
    settings.onlineAvatar = 1;
  }

  settings.borderColour = ToInteger(file.Read(kSectionSz, kKeyColor).get());
  if (settings.borderColour == ToInteger(nullptr)) settings.borderColour = kWhite;

  settings.fontFace = file.Read(kSectionFont, kKeyName, kHeiTi);

  const OwnedText currentMode = ToText(settings.saveMode);
  settings.saveMode = ToInteger(file.Read(kSectionSz, kKeySave, currentMode.get()).get());
  return background;
}

bool ApplySettingsChoices(const SettingsWindowChoices& choices, SettingsFile& file, AppSettings& settings) {
  using namespace texts;
  settings.borderColour = choices.colour;
  settings.saveMode = choices.saveModeIndex;

  const bool restoreDefaults = choices.configurationIndex == 1;
  if (restoreDefaults) {
    settings.onlineAvatar = 1;
    settings.saveMode = 0;
    settings.fontFace = OwnedText::Copy(kHeiTi);
    settings.borderColour = kWhite;
    settings.avatarPath.reset();
    // localAvatarBytes stays: unused while the portrait is online.
    file.Write(kSectionBack, kKeyUrl, nullptr);
    file.Write(kSectionSz, kKeyTouxiang, kOne);
    file.Write(kSectionFont, kKeyName, kHeiTi);
    file.Write(kSectionSz, kKeySet, kOne);
    settings.smallCard = 1;
  } else {
    file.Write(kSectionSz, kKeyTouxiang, choices.onlinePortrait ? kOne : kZero);
    settings.onlineAvatar = choices.onlinePortrait ? 1 : 0;
    if (!settings.avatarPath.empty()) file.Write(kSectionSz, kKeyTouxiangUrl, settings.avatarPath.get());
    file.Write(kSectionSz, kKeySet, choices.smallCard ? kOne : kZero);
    settings.smallCard = choices.smallCard ? 1 : 0;
  }

  file.Write(kSectionSz, kKeySave, ToText(settings.saveMode).get());
  file.Write(kSectionSz, kKeyColor, ToText(settings.borderColour).get());
  return restoreDefaults;
}

}  // namespace quorlin::app
