// What loading the settings file and closing the settings window do to the settings and the
// file, apart from the windows: the handlers read the controls, call these and put the
// resulting background on the card canvas.
#pragma once

#include <cstdint>

#include "app/settings/app_settings.h"
#include "app/settings/settings_file.h"

namespace quorlin::app {

// The card background the file asks for at start-up.
struct LoadedBackground {
  bool builtIn = true;  // back/url empty: the program's own picture
  OwnedBytes fileBytes; // otherwise the bytes of that file, whatever they are (maybe none)
};

// Start-up: sz/set, back/url, sz/touxiang (and touxiangurl), sz/color, font/name, sz/save, in
// that order, into `settings`.
LoadedBackground LoadSettingsFile(SettingsFile& file, AppSettings& settings);

// The settings window's controls as they are when it closes.
struct SettingsWindowChoices {
  int32_t colour = 0;              // 颜色选择器1
  int32_t saveModeIndex = 0;       // 组合框1
  bool onlinePortrait = true;      // 选择框1 checked
  bool smallCard = false;          // 选择框2 checked
  int32_t configurationIndex = 0;  // 组合框2: 1 returns every setting to its default
};

// Closing the settings window (ApplySettings). True when the defaults were restored, so the
// built-in background belongs on the card canvas again.
bool ApplySettingsChoices(const SettingsWindowChoices& choices, SettingsFile& file, AppSettings& settings);

}  // namespace quorlin::app
