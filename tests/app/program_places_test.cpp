// Where the settings file and the mode-1 cards go: beside a program whose folder is writable,
// in the user's folders otherwise.
#include "app/support/program_places.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scoped_environment.h"

namespace quorlin::app {
namespace {

namespace fs = std::filesystem;

class ProgramPlacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quorlin-places-" + std::to_string(getpid()));
    fs::create_directories(root_ / "program");
    environment_.Set("HOME", (root_ / "home").c_str());
    environment_.Set("XDG_CONFIG_HOME", nullptr);
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_;
  testing::ScopedEnvironment environment_;
};

TEST_F(ProgramPlacesTest, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
  const std::string folder = (root_ / "program").string();
  const ProgramPlaces places = DecideProgramPlaces(folder);
  EXPECT_FALSE(places.installed);
  EXPECT_EQ(places.settingsFolder, folder);
  EXPECT_EQ(places.cardFolder, folder);
  // Backslashes, as the runtime may write them, name the same folder.
  EXPECT_FALSE(DecideProgramPlaces((root_ / "program").string() + "\\").installed);
}

TEST_F(ProgramPlacesTest, AFolderThatCannotBeWrittenSendsThemToTheUsersFolders) {
  // A folder that does not exist cannot be written, whoever runs the test.
  const ProgramPlaces places = DecideProgramPlaces((root_ / "no-such-folder").string());
  EXPECT_TRUE(places.installed);
  EXPECT_EQ(places.settingsFolder, (root_ / "home" / ".config" / "quorlin").string());
  EXPECT_EQ(places.cardFolder, (root_ / "home" / "Pictures" / "Quorlin").string());
}

TEST_F(ProgramPlacesTest, TheUsersOwnConfigAndPicturesFoldersAreTaken) {
  fs::create_directories(root_ / "cfg");
  // This test's texts are compiled as GBK; the file's are UTF-8 (图片 as E5 9B BE E7 89 87).
  std::ofstream(root_ / "cfg" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/\xE5\x9B\xBE\xE7\x89\x87\"\n";
  environment_.Set("XDG_CONFIG_HOME", (root_ / "cfg").c_str());
  const ProgramPlaces places = DecideProgramPlaces("/no/such/program/folder");
  EXPECT_EQ(places.settingsFolder, (root_ / "cfg" / "quorlin").string());
  // The runtime's texts are GBK: the same folder name as CD BC C6 AC.
  EXPECT_EQ(places.cardFolder, (root_ / "home").string() + "/\xCD\xBC\xC6\xAC/Quorlin");
}

TEST_F(ProgramPlacesTest, FoldersAreMadeFromTheRuntimesNames) {
  MakeFolderWhenMissing((root_ / "home").string() + "\\\xCD\xBC\xC6\xAC\\Quorlin");
  EXPECT_TRUE(fs::is_directory(root_ / "home" / "\xE5\x9B\xBE\xE7\x89\x87" / "Quorlin"));
  MakeFolderWhenMissing("");  // nothing to make
}

}  // namespace
}  // namespace quorlin::app
