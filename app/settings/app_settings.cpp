#include "app/settings/app_settings.h"

#include "app/settings/settings_texts.h"

namespace quorlin::app {

AppSettings::AppSettings() : fontFace(OwnedText::Copy(texts::kSongTi)) {}

AppSettings& Settings() {
  // Never destroyed: the settings outlive every handler, and their blocks belong to the
  // kernel's allocator, which must not be called during static destruction.
  static AppSettings* const settings = new AppSettings();
  return *settings;
}

}  // namespace quorlin::app
