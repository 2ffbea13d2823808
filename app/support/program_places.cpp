// A portable copy of the program (its folder writable, as the build folder is) keeps
// everything beside itself, as the program always has. An installed copy lives in a folder that
// belongs to root: quorlin.ini and the mode-1 cards written there would be lost without a word,
// since the program ignores the results of those writes. So when the program's folder is not
// writable, the settings go to the user's configuration folder and the cards to the user's
// pictures folder, the places the desktop's other programs use. The decision is taken here only,
// once per run, so the settings file cannot move while the program runs; every rule about what
// is written, and in which order, is the same in both places.
#include "app/support/program_places.h"

#include <optional>

#include "app/support/runtime_calls.h"
#include "platform/base/code_page.h"
#include "platform/base/module_path.h"
#include "platform/base/user_folders.h"
#include "runtime/commands/file_commands.h"

namespace quorlin::app {

ProgramPlaces DecideProgramPlaces(std::string_view programDirectory) {
  const std::string directory(programDirectory);
  const ProgramPlaces portable{false, directory, directory};
  if (platform::FolderIsWritable(platform::NativePath(directory))) return portable;
  const std::string config = platform::UserConfigFolder();
  const std::string pictures = platform::UserPicturesFolder();
  // Without a home folder there is no better place than the program's own.
  if (config.empty() || pictures.empty()) return portable;
  return {true, platform::Utf8ToGbk(config + "/quorlin"), platform::Utf8ToGbk(pictures + "/Quorlin")};
}

const ProgramPlaces& CurrentProgramPlaces() {
  static std::optional<std::string> decidedFor;
  static ProgramPlaces places;
  const OwnedText directory = CallCoreText(&commands::GetProgramDirectory);
  // Only a host that changes its program directory (a test) decides again.
  if (decidedFor != directory.view()) {
    places = DecideProgramPlaces(directory.view());
    decidedFor = std::string(directory.view());
  }
  return places;
}

void MakeFolderWhenMissing(std::string_view folder) {
  if (!folder.empty()) platform::CreateFolders(platform::NativePath(folder));
}

}  // namespace quorlin::app
