// The user's folders: the user-dirs.dirs reading, the environment's part, and the two
// file-system questions.
#include "platform/base/user_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "tests/support/scoped_environment.h"

namespace quorlin::platform {
namespace {

namespace fs = std::filesystem;

struct UserDirsRow {
  const char* note;
  const char* text;
  std::optional<std::string> expected;
};

TEST(UserFolders, PicturesFolderFromUserDirsText) {
  const UserDirsRow rows[] = {
      {"home-relative", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/m/Bilder"},
      {"absolute, trailing separators dropped", "XDG_PICTURES_DIR=\"/srv/pics//\"\n", "/srv/pics"},
      {"the home folder itself", "XDG_PICTURES_DIR=\"$HOME\"\n", "/home/m"},
      {"leading blanks, CRLF", "  \tXDG_PICTURES_DIR=\"$HOME/P\"\r\n", "/home/m/P"},
      {"escapes undone", "XDG_PICTURES_DIR=\"/a \\\"b\\\" \\$c\"\n", "/a \"b\" $c"},
      {"the last assignment wins", "XDG_PICTURES_DIR=\"/one\"\nXDG_PICTURES_DIR=\"/two\"\n", "/two"},
      {"a bad later line keeps the good one", "XDG_PICTURES_DIR=\"/one\"\nXDG_PICTURES_DIR=\"rel\"\n", "/one"},
      {"UTF-8 names kept", "XDG_PICTURES_DIR=\"$HOME/图片\"\n", "/home/m/图片"},
      {"other folders only", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", std::nullopt},
      {"commented out", "# XDG_PICTURES_DIR=\"/x\"\n", std::nullopt},
      {"relative", "XDG_PICTURES_DIR=\"Pictures\"\n", std::nullopt},
      {"$HOME as a word prefix only", "XDG_PICTURES_DIR=\"$HOMEX/p\"\n", std::nullopt},
      {"unquoted", "XDG_PICTURES_DIR=/x\n", std::nullopt},
      {"unterminated quote", "XDG_PICTURES_DIR=\"/x\n", std::nullopt},
      {"text after the quote", "XDG_PICTURES_DIR=\"/x\" ; rm -rf /\n", std::nullopt},
      {"a similar name", "MY_XDG_PICTURES_DIR=\"/x\"\n", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const UserDirsRow& row : rows) {
    EXPECT_EQ(PicturesFolderFromUserDirs(row.text, "/home/m"), row.expected) << row.note;
  }
}

class UserFoldersInHome : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() / ("quorlin-home-" + std::to_string(getpid()));
    fs::create_directories(home_);
    environment_.Set("HOME", home_.c_str());
    environment_.Set("XDG_CONFIG_HOME", nullptr);
  }
  void TearDown() override { fs::remove_all(home_); }

  fs::path home_;
  testing::ScopedEnvironment environment_;
};

TEST_F(UserFoldersInHome, DefaultsFollowHome) {
  EXPECT_EQ(UserHomeFolder(), home_.string());
  EXPECT_EQ(UserConfigFolder(), (home_ / ".config").string());
  EXPECT_EQ(UserPicturesFolder(), (home_ / "Pictures").string());
}

TEST_F(UserFoldersInHome, ConfigHomeAndUserDirsFileAreHonoured) {
  const fs::path config = home_ / "cfg";
  fs::create_directories(config);
  std::ofstream(config / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
  environment_.Set("XDG_CONFIG_HOME", config.c_str());
  EXPECT_EQ(UserConfigFolder(), config.string());
  EXPECT_EQ(UserPicturesFolder(), (home_ / "Fotos").string());

  // A relative XDG_CONFIG_HOME is not taken, nor is the user-dirs.dirs file beside it.
  environment_.Set("XDG_CONFIG_HOME", "relative/cfg");
  EXPECT_EQ(UserConfigFolder(), (home_ / ".config").string());
  EXPECT_EQ(UserPicturesFolder(), (home_ / "Pictures").string());
}

TEST_F(UserFoldersInHome, AnUnusableHomeFallsBackToThePasswordDatabase) {
  environment_.Set("HOME", "not/absolute");
  const std::string home = UserHomeFolder();
  ASSERT_FALSE(home.empty());
  EXPECT_EQ(home.front(), '/');
  EXPECT_EQ(UserConfigFolder(), home + "/.config");
}

TEST_F(UserFoldersInHome, FoldersAreCreatedWithParentsAndWritabilityIsAnswered) {
  const fs::path deep = home_ / "Pictures" / "Quorlin";
  EXPECT_FALSE(FolderIsWritable(deep.string()));  // it does not exist yet
  EXPECT_TRUE(CreateFolders(deep.string()));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(FolderIsWritable(deep.string()));
  EXPECT_TRUE(CreateFolders(deep.string()));  // already there

  std::ofstream(home_ / "file") << "x";
  EXPECT_FALSE(CreateFolders((home_ / "file").string()));
  EXPECT_FALSE(CreateFolders((home_ / "file" / "below").string()));
  EXPECT_FALSE(CreateFolders(""));
  EXPECT_FALSE(FolderIsWritable(""));
}

}  // namespace
}  // namespace quorlin::platform
