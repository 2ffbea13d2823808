// Where the program keeps its settings file and the cards it saves by itself (save mode 1).
#pragma once

#include <string>
#include <string_view>

namespace quorlin::app {

// Folders as the runtime names files: GBK bytes, no trailing separator.
struct ProgramPlaces {
  bool installed = false;      // the per-user folders rather than the program's own
  std::string settingsFolder;  // quorlin.ini goes here
  std::string cardFolder;      // ID.jpg goes here
};

// The decision for a program whose folder is `programDirectory` (GBK, as GetProgramDirectory
// gives it). Another executable of the program's family calls this with its own folder.
ProgramPlaces DecideProgramPlaces(std::string_view programDirectory);

// This run's places, decided once from GetProgramDirectory.
const ProgramPlaces& CurrentProgramPlaces();

// Makes the folder, and its parents, if it does not exist yet: a per-user folder is made when
// the first file goes into it. Nothing is reported; the write that follows fails on its own.
void MakeFolderWhenMissing(std::string_view folder);

}  // namespace quorlin::app
