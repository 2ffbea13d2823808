#include "app/settings/app_settings.h"

#include "app/settings/settings_texts.h"
#include "runtime/kernel/entry_table.h"

namespace quorlin::app {

AppSettings::AppSettings() : fontFace(OwnedText::Copy(texts::kSongTi)) {}

AppSettings& Settings() {
  // Never destroyed: the settings outlive every handler, and their blocks belong to the
  // kernel's allocator, which must not be called during static destruction.
  static AppSettings* const settings = new AppSettings();
  return *settings;
}

namespace {

// Frees the settings' blocks; the settings read as empty afterwards.
void ReleaseGlobals() {
  AppSettings& settings = Settings();
  settings.avatarPath.reset();
  settings.localAvatarBytes.reset();
  settings.fontFace.reset();
}

}  // namespace

void InitialiseGlobals() {
  Settings();
  EntryTable().CallKernelRoutine(KernelRoutine::SetCleanupRoutine, reinterpret_cast<intptr_t>(&ReleaseGlobals), 0, 0);
}

}  // namespace quorlin::app
