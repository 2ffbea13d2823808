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
  const std::optional<std::string> name = CardFileName(id.view());
  if (!name) return;
  const std::string& directory = CurrentProgramPlaces().cardFolder;
  MakeFolderWhenMissing(directory);
  const OwnedText fileName = OwnedText::Copy(directory + kSeparator + *name);
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

// The system code page's double-byte characters: a lead byte and a trail byte. Any other byte
// stands for itself (an unpaired lead byte reads as one unknown character).
bool IsGbkLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool IsGbkTrail(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

CardPictureObserver cardObserver = nullptr;

}  // namespace

void ObserveCardPictures(CardPictureObserver observer) { cardObserver = observer; }

std::optional<std::string> CardFileName(std::string_view id) {
  std::string name = std::string(id) + kJpgEnding;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (IsGbkLead(byte) && i + 1 < name.size() && IsGbkTrail(static_cast<unsigned char>(name[i + 1]))) {
      ++i;  // one double-byte character, whatever its second byte
    } else if (byte == '/' || byte == '\\' || byte == ':') {
      return std::nullopt;
    }
  }
  return name;
}

void SaveCard(const OwnedBytes& cardPicture, int32_t saveMode) {
  if (cardObserver) cardObserver(cardPicture);
  switch (saveMode) {
    case kSaveToClipboard: web::CopyPictureToClipboard(cardPicture.get()); break;
    case kSaveBesideProgram: SaveBesideProgram(cardPicture); break;
    case kSaveWithDialog: SaveWithDialog(cardPicture); break;
    default: break;  // 3 and any other value: nothing
  }
}

}  // namespace quorlin::app
