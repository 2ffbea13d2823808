#include "app/settings/settings_handlers.h"

#include "app/forms/unit_ids.h"
#include "app/settings/app_settings.h"
#include "app/settings/builtin_background.h"
#include "app/settings/main_window_presence.h"
#include "app/settings/property_numbers.h"
#include "app/settings/settings_file.h"
#include "app/settings/settings_rules.h"
#include "app/settings/settings_texts.h"
#include "runtime/commands/file_commands.h"
#include "runtime/forms/layer/forms_runtime.h"
#include "runtime/forms/units/common_dialog_unit.h"

namespace quorlin::app {
namespace {

void SetCardBackground(const void* byteSet) {
  WriteByteSetProperty(units::Canvas, property::kPanelBackPicture, byteSet);
}

// Shows a file dialog of that kind with the picture filter; the chosen path, or nothing when
// the user did not confirm.
std::optional<OwnedText> ChoosePictureFile(const UnitRef& dialog) {
  WriteIntegerProperty(dialog, property::kDialogKind, property::kOpenFileDialog);
  WriteTextProperty(dialog, property::kDialogFilter, texts::kPictureFilter);
  if (IntegerOf(CallCore(&forms::OpenDialogCommand, {dialog.Value()})) == 0) return std::nullopt;
  return ReadTextProperty(dialog, property::kDialogFileName);
}

OwnedBytes ReadFileBytes(const char* path) { return CallCoreBytes(&commands::ReadFileBytes, {MakeText(path)}); }

}  // namespace

void LoadSettingsAtStartup() {
  NoteMainWindowOpened();
  WriteTextProperty(units::MainWindow, property::kWindowTitle, texts::kMainWindowTitle);
  IniSettingsFile file;
  const LoadedBackground background = LoadSettingsFile(file, Settings());
  SetCardBackground(background.builtIn ? BuiltInBackground() : background.fileBytes.get());
}

forms::HandlerResult ChooseBackground(const forms::HandlerArguments&) {
  const std::optional<OwnedText> path = ChoosePictureFile(units::MainDialog);
  if (!path) return {};
  const OwnedBytes bytes = ReadFileBytes(path->get());
  SetCardBackground(bytes.get());
  IniSettingsFile().Write(texts::kSectionBack, texts::kKeyUrl, path->get());
  return {};
}

forms::HandlerResult ChooseFont(const forms::HandlerArguments&) {
  WriteIntegerProperty(units::MainDialog, property::kDialogKind, property::kFontDialog);
  if (IntegerOf(CallCore(&forms::OpenDialogCommand, {units::MainDialog.Value()})) == 0) return {};
  AppSettings& settings = Settings();
  // Only the face is taken; size, weight and style chosen in the dialog are not.
  settings.fontFace = ReadTextProperty(units::MainDialog, property::kDialogFontFace);
  IniSettingsFile().Write(texts::kSectionFont, texts::kKeyName, settings.fontFace.get());
  return {};
}

forms::HandlerResult OpenSettings(const forms::HandlerArguments&) {
  // Modeless and without parent; an open settings window is only brought to the front.
  CallCore(&forms::LoadWindowCommand, {units::SettingsWindow.Value(), TypedValue{}, MakeBoolean(false)});
  return {};
}

forms::HandlerResult ShowSettings(const forms::HandlerArguments&) {
  const AppSettings& settings = Settings();
  WriteIntegerProperty(units::BorderColourPicker, property::kPickerCurrentColor, settings.borderColour);
  WriteIntegerProperty(units::SaveModeList, property::kComboCurrentIndex, settings.saveMode);
  WriteBooleanProperty(units::OnlinePortraitBox, property::kCheckBoxChecked, settings.onlineAvatar != 0);
  WriteBooleanProperty(units::SmallCardBox, property::kCheckBoxChecked, settings.smallCard != 0);
  return {};
}

forms::HandlerResult ChoosePortrait(const forms::HandlerArguments&) {
  std::optional<OwnedText> path = ChoosePictureFile(units::SettingsDialog);
  if (!path) return {};
  // Used only if 选择框1 is unchecked when the window closes; nothing is written yet.
  AppSettings& settings = Settings();
  settings.localAvatarBytes = ReadFileBytes(path->get());
  settings.avatarPath = std::move(*path);
  return {};
}

forms::HandlerResult ApplySettings(const forms::HandlerArguments&) {
  SettingsWindowChoices choices;
  choices.colour = ReadIntegerProperty(units::BorderColourPicker, property::kPickerCurrentColor);
  choices.saveModeIndex = ReadIntegerProperty(units::SaveModeList, property::kComboCurrentIndex);
  choices.onlinePortrait = ReadBooleanProperty(units::OnlinePortraitBox, property::kCheckBoxChecked);
  choices.smallCard = ReadBooleanProperty(units::SmallCardBox, property::kCheckBoxChecked);
  choices.configurationIndex = ReadIntegerProperty(units::ConfigurationList, property::kComboCurrentIndex);
  IniSettingsFile file;
  const bool restoredDefaults = ApplySettingsChoices(choices, file, Settings());
  if (restoredDefaults && MainWindowOpen()) SetCardBackground(BuiltInBackground());
  return {};
}

}  // namespace quorlin::app
