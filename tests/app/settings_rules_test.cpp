// The settings file's load rules and the keys closing the settings window writes, in order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/settings/settings_rules.h"

namespace quorlin::app {
namespace {

// An ini file in a fresh folder of the test's own.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("quorlin-app-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  IniSettingsFile IniFile() const { return IniSettingsFile(OwnedText::Copy(PathOf("quorlin.ini"))); }

  std::filesystem::path folder_;
};

std::string BytesOf(const OwnedBytes& bytes) {
  return bytes.empty() ? std::string() : std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  AppSettings settings;
  EXPECT_EQ(settings.fontFace.view(), "宋体");  // until loaded
  IniSettingsFile file = IniFile();
  const LoadedBackground background = LoadSettingsFile(file, settings);
  EXPECT_TRUE(background.builtIn);
  EXPECT_EQ(settings.smallCard, 0);
  EXPECT_EQ(settings.onlineAvatar, 1);
  EXPECT_TRUE(settings.avatarPath.empty());
  EXPECT_TRUE(settings.localAvatarBytes.empty());
  EXPECT_EQ(settings.borderColour, kWhite);
  EXPECT_EQ(settings.fontFace.view(), "黑体");
  EXPECT_EQ(settings.saveMode, 0);
  EXPECT_FALSE(std::filesystem::exists(PathOf("quorlin.ini")));  // loading writes nothing
}

TEST_F(SettingsFileTest, ValuesAreReadByTheirRules) {
  struct Row {
    const char* note;
    std::string ini;
    int32_t smallCard, colour, saveMode;
    std::string face;
  };
  const std::vector<Row> rows = {
      {"plain values", "[sz]\nset=1\ncolor=255\nsave=2\n[font]\nname=宋体\n", 1, 255, 2, "宋体"},
      {"colour 0 cannot be kept: it reads as white", "[sz]\ncolor=0\n", 0, kWhite, 0, "黑体"},
      {"a colour that is no number reads as white", "[sz]\ncolor=red\n", 0, kWhite, 0, "黑体"},
      {"only exactly 1 is the small card", "[sz]\nset=01\n", 0, kWhite, 0, "黑体"},
      {"a non-numeric save mode is the clipboard", "[sz]\nsave=abc\n", 0, kWhite, 0, "黑体"},
      {"other save modes are kept (and save nothing)", "[sz]\nsave=7\n", 0, kWhite, 7, "黑体"},
      {"an empty face name stays empty", "[font]\nname=\n", 0, kWhite, 0, ""},
      {"full-width digits are read as numbers", "[sz]\ncolor=１２\n", 0, 12, 0, "黑体"},
  };
  for (const Row& row : rows) {
    WriteFile("quorlin.ini", row.ini);
    AppSettings settings;
    IniSettingsFile file = IniFile();
    LoadSettingsFile(file, settings);
    EXPECT_EQ(settings.smallCard, row.smallCard) << row.note;
    EXPECT_EQ(settings.borderColour, row.colour) << row.note;
    EXPECT_EQ(settings.saveMode, row.saveMode) << row.note;
    EXPECT_EQ(settings.fontFace.view(), row.face) << row.note;
  }
}

TEST_F(SettingsFileTest, BackgroundAndLocalPortraitAreReadFromTheirFiles) {
  WriteFile("back.png", "PNG bytes");
  WriteFile("me.jpg", "JPEG bytes");
  WriteFile("quorlin.ini", "[back]\nurl=" + PathOf("back.png") + "\n[sz]\ntouxiang=0\ntouxiangurl=" + PathOf("me.jpg") +
                               "\n");
  AppSettings settings;
  IniSettingsFile file = IniFile();
  const LoadedBackground background = LoadSettingsFile(file, settings);
  EXPECT_FALSE(background.builtIn);
  EXPECT_EQ(BytesOf(background.fileBytes), "PNG bytes");
  EXPECT_EQ(settings.onlineAvatar, 0);
  EXPECT_EQ(settings.avatarPath.view(), PathOf("me.jpg"));
  EXPECT_EQ(BytesOf(settings.localAvatarBytes), "JPEG bytes");
}

TEST_F(SettingsFileTest, MissingPicturesGiveEmptyBytesAndThePortraitPathOnlyCountsOffline) {
  WriteFile("me.jpg", "JPEG bytes");
  WriteFile("quorlin.ini", "[back]\nurl=" + PathOf("gone.png") + "\n[sz]\ntouxiang=1\ntouxiangurl=" + PathOf("me.jpg") +
                               "\n");
  AppSettings settings;
  IniSettingsFile file = IniFile();
  const LoadedBackground background = LoadSettingsFile(file, settings);
  // A path that names no file is not the built-in picture: the canvas shows its colour.
  EXPECT_FALSE(background.builtIn);
  EXPECT_TRUE(background.fileBytes.empty());
  EXPECT_EQ(settings.onlineAvatar, 1);
  EXPECT_TRUE(settings.avatarPath.empty());
  EXPECT_TRUE(settings.localAvatarBytes.empty());
}

// Records the writes in order; reads are not expected.
class RecordingFile : public SettingsFile {
 public:
  using Write3 = std::tuple<std::string, std::string, std::string>;
  OwnedText Read(const char*, const char*, std::optional<const char*>) override {
    ADD_FAILURE() << "closing the settings window reads nothing";
    return {};
  }
  void Write(const char* section, const char* key, const char* value) override {
    writes.emplace_back(section, key, value ? value : "");
  }
  std::vector<Write3> writes;
};

TEST(ApplySettings, AReturnToDefaultsWritesItsKeysInOrder) {
  AppSettings settings;
  settings.avatarPath = OwnedText::Copy("/pictures/me.jpg");
  settings.localAvatarBytes = OwnedBytes::Copy("JPEG", 4);
  settings.fontFace = OwnedText::Copy("宋体");
  settings.onlineAvatar = 0;
  settings.smallCard = 0;
  RecordingFile file;
  SettingsWindowChoices choices{.colour = 255, .saveModeIndex = 2, .onlinePortrait = false, .smallCard = false,
                                .configurationIndex = 1};
  EXPECT_TRUE(ApplySettingsChoices(choices, file, settings));
  EXPECT_EQ(file.writes, (std::vector<RecordingFile::Write3>{{"back", "url", ""},
                                                             {"sz", "touxiang", "1"},
                                                             {"font", "name", "黑体"},
                                                             {"sz", "set", "1"},
                                                             {"sz", "save", "0"},
                                                             {"sz", "color", "16777215"}}));
  EXPECT_EQ(settings.onlineAvatar, 1);
  EXPECT_EQ(settings.saveMode, 0);
  EXPECT_EQ(settings.smallCard, 1);
  EXPECT_EQ(settings.borderColour, kWhite);
  EXPECT_EQ(settings.fontFace.view(), "黑体");
  EXPECT_TRUE(settings.avatarPath.empty());
  EXPECT_EQ(settings.localAvatarBytes.size(), 4u);  // kept, unused while online
}

TEST(ApplySettings, OtherwiseTheControlsAreWrittenAndTakeEffect) {
  struct Row {
    const char* note;
    SettingsWindowChoices choices;
    const char* avatarPath;
    std::vector<RecordingFile::Write3> writes;
    int32_t onlineAvatar, smallCard;
  };
  const std::vector<Row> rows = {
      {"online portrait, full card, no local path",
       {.colour = 255, .saveModeIndex = 1, .onlinePortrait = true, .smallCard = false},
       nullptr,
       {{"sz", "touxiang", "1"}, {"sz", "set", "0"}, {"sz", "save", "1"}, {"sz", "color", "255"}},
       1,
       0},
      {"local portrait with a chosen path, small card",
       {.colour = 0x00FF00, .saveModeIndex = 3, .onlinePortrait = false, .smallCard = true},
       "/p/me.png",
       {{"sz", "touxiang", "0"},
        {"sz", "touxiangurl", "/p/me.png"},
        {"sz", "set", "1"},
        {"sz", "save", "3"},
        {"sz", "color", "65280"}},
       0,
       1},
      {"black is written as 0; an unselected save list as -1",
       {.colour = 0, .saveModeIndex = -1, .onlinePortrait = true, .smallCard = true},
       nullptr,
       {{"sz", "touxiang", "1"}, {"sz", "set", "1"}, {"sz", "save", "-1"}, {"sz", "color", "0"}},
       1,
       1},
  };
  for (const Row& row : rows) {
    AppSettings settings;
    if (row.avatarPath) settings.avatarPath = OwnedText::Copy(row.avatarPath);
    RecordingFile file;
    EXPECT_FALSE(ApplySettingsChoices(row.choices, file, settings)) << row.note;
    EXPECT_EQ(file.writes, row.writes) << row.note;
    EXPECT_EQ(settings.onlineAvatar, row.onlineAvatar) << row.note;
    EXPECT_EQ(settings.smallCard, row.smallCard) << row.note;
    EXPECT_EQ(settings.borderColour, row.choices.colour) << row.note;
    EXPECT_EQ(settings.saveMode, row.choices.saveModeIndex) << row.note;
  }
}

TEST_F(SettingsFileTest, WrittenSettingsReadBackAtTheNextStart) {
  WriteFile("quorlin.ini", "[mine]\nkeep=yes\n[back]\nurl=/old.png\n");
  {
    AppSettings settings;
    IniSettingsFile file = IniFile();
    ApplySettingsChoices({.colour = 0x123456, .saveModeIndex = 1, .onlinePortrait = true, .smallCard = true}, file,
                         settings);
  }
  AppSettings next;
  IniSettingsFile file = IniFile();
  LoadSettingsFile(file, next);
  EXPECT_EQ(next.borderColour, 0x123456);
  EXPECT_EQ(next.saveMode, 1);
  EXPECT_EQ(next.smallCard, 1);
  EXPECT_EQ(next.onlineAvatar, 1);
  // A section of someone else's is neither read nor removed; the background path stays.
  const std::string text = ReadFile("quorlin.ini");
  EXPECT_NE(text.find("keep=yes"), std::string::npos) << text;
  EXPECT_NE(text.find("url=/old.png"), std::string::npos) << text;

  // The return to defaults empties back/url but keeps the key.
  AppSettings again;
  ApplySettingsChoices({.configurationIndex = 1}, file, again);
  const std::string reset = ReadFile("quorlin.ini");
  EXPECT_NE(reset.find("url="), std::string::npos) << reset;
  EXPECT_EQ(reset.find("/old.png"), std::string::npos) << reset;
  AppSettings afterReset;
  EXPECT_TRUE(LoadSettingsFile(file, afterReset).builtIn);
  EXPECT_EQ(afterReset.fontFace.view(), "黑体");
  EXPECT_EQ(afterReset.smallCard, 1);
}

}  // namespace
}  // namespace quorlin::app
