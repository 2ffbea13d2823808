#include "app/saving/save_card.h"

#include <string>

#include "app/constant_segment.h"
#include "app/forms/unit_ids.h"
#include "app/settings/property_numbers.h"
#include "app/settings/settings_texts.h"
#include "app/support/program_places.h"
#include "app/web/text_helpers.h"
#include "runtime/commands/file_commands.h"
#include "runtime/forms/units/common_dialog_unit.h"

namespace quorlin::app {
namespace {

QUORLIN_CONSTANT const char kSeparator[] = "\\";
QUORLIN_CONSTANT const char kJpgEnding[] = ".jpg";

void WriteFileBytes(const char* fileName, const OwnedBytes& bytes) {
  CallCore(&commands::WriteFileBytes, {MakeText(fileName), MakeByteSet(bytes.get())});
}

void SaveBesideProgram(const OwnedBytes& cardPicture) {
  // The whole ID, not the shortened form the card shows.
  const OwnedText id = ReadTextProperty(units::IdEdit, property::kEditContent);
  if (!IsPlainFileStem(id.view())) return;
  const std::string& directory = CurrentProgramPlaces().cardFolder;
  MakeFolderWhenMissing(directory);
  const OwnedText fileName = OwnedText::Copy(directory + kSeparator + std::string(id.view()) + kJpgEnding);
  WriteFileBytes(fileName.get(), cardPicture);
}

void SaveWithDialog(const OwnedBytes& cardPicture) {
  // No file name is set: the dialog proposes the one it last returned.
  WriteIntegerProperty(units::MainDialog, property::kDialogKind, property::kSaveFileDialog);
  WriteTextProperty(units::MainDialog, property::kDialogFilter, texts::kPictureFilter);
  if (IntegerOf(CallCore(&forms::OpenDialogCommand, {units::MainDialog.Value()})) == 0) return;
  const OwnedText fileName = ReadTextProperty(units::MainDialog, property::kDialogFileName);
  WriteFileBytes(fileName.get(), cardPicture);
}

}  // namespace

bool IsPlainFileStem(std::string_view id) {
  if (id == "." || id == "..") return false;
  return id.find_first_of("/\\:") == std::string_view::npos;
}

void SaveCard(const OwnedBytes& cardPicture, int32_t saveMode) {
  switch (saveMode) {
    case kSaveToClipboard: web::CopyPictureToClipboard(cardPicture.get()); break;
    case kSaveBesideProgram: SaveBesideProgram(cardPicture); break;
    case kSaveWithDialog: SaveWithDialog(cardPicture); break;
    default: break;  // 3 and any other value: nothing
  }
}

}  // namespace quorlin::app
