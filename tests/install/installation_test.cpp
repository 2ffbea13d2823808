// What `cmake --install` lays out and what the Debian package carries: the programs, a desktop
// entry and AppStream metainfo that the desktop's own validators accept, the program's icon at
// every size of the icon theme, and package dependencies found from the programs' libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/installed_tree.h"
#include "tests/support/spawned_process.h"
#include "tests/support/temporary_folder.h"

namespace quorlin::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value of `key=` in a desktop entry's text; empty when absent.
std::string EntryValue(const std::string& entry, const std::string& key) {
  const std::string marker = "\n" + key + "=";
  const size_t at = ("\n" + entry).find(marker);
  if (at == std::string::npos) return {};
  const size_t start = at + marker.size() - 1;
  return entry.substr(start, entry.find('\n', start) - start);
}

class Installation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { tree_ = new InstalledTree(QUORLIN_BUILD_DIR); }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(tree_->Installed()) << tree_->Output(); }

  static fs::path Share() { return tree_->Prefix() / "share"; }
  static fs::path DesktopEntry() { return Share() / "applications" / QUORLIN_DESKTOP_ENTRY; }
  static fs::path Metainfo() { return Share() / "metainfo" / (std::string(QUORLIN_APP_ID) + ".metainfo.xml"); }

  static InstalledTree* tree_;
};
InstalledTree* Installation::tree_ = nullptr;

TEST_F(Installation, ProgramsIconsAndScreenshotAreInPlace) {
  for (const char* program : {"quorlin", "quorlin-picture", "quorlin-profile-service"}) {
    const fs::path file = tree_->Prefix() / "bin" / program;
    EXPECT_TRUE(fs::is_regular_file(file)) << program;
    EXPECT_NE(fs::status(file).permissions() & fs::perms::others_exec, fs::perms::none) << program;
  }
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    const fs::path icon = Share() / "icons" / "hicolor" / folder / "apps" / "quorlin.png";
    EXPECT_EQ(PngSize(icon), std::make_pair(size, size)) << icon;
  }
  // A card the program made.
  EXPECT_EQ(PngSize(Share() / "quorlin" / "screenshots" / "card.png"), std::make_pair(580, 385));
}

TEST_F(Installation, DesktopEntryNamesTheProgramItsIconAndCategory) {
  const std::string entry = ReadText(DesktopEntry());
  ASSERT_FALSE(entry.empty()) << DesktopEntry();
  EXPECT_EQ(EntryValue(entry, "Name"), "Quorlin");
  EXPECT_FALSE(EntryValue(entry, "Name[zh_CN]").empty());
  EXPECT_FALSE(EntryValue(entry, "Comment").empty());
  EXPECT_NE(EntryValue(entry, "Categories").find("Graphics;"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(tree_->Prefix() / "bin" / EntryValue(entry, "Exec")));
  EXPECT_TRUE(fs::exists(Share() / "icons" / "hicolor" / "48x48" / "apps" / (EntryValue(entry, "Icon") + ".png")));

  const std::string metainfo = ReadText(Metainfo());
  EXPECT_NE(metainfo.find("<launchable type=\"desktop-id\">" + DesktopEntry().filename().string() + "</launchable>"),
            std::string::npos);
  EXPECT_NE(metainfo.find("<screenshot type=\"default\">"), std::string::npos);
}

TEST_F(Installation, TheDesktopsValidatorsAcceptEntryAndMetainfo) {
  const std::string missing = MissingProgram({"desktop-file-validate", "appstreamcli"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  std::string said;
  EXPECT_EQ(RunProgram({"desktop-file-validate", DesktopEntry().string()}, &said, 30000), 0) << said;
  said.clear();
  // --no-net: the screenshot's and home page's addresses are not fetched.
  EXPECT_EQ(RunProgram({"appstreamcli", "validate", "--no-net", "--no-color", Metainfo().string()}, &said, 60000), 0)
      << said;
}

TEST(DebianPackage, HoldsTheInstallationAndDependsOnTheLibrariesItLinks) {
  const std::string missing = MissingProgram({"cpack", "dpkg-deb", "dpkg-shlibdeps"});
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  const TemporaryFolder out("quorlin-package-");
  std::string said;
  ASSERT_EQ(RunProgram(
                {"cpack", "--config", std::string(QUORLIN_BUILD_DIR) + "/CPackConfig.cmake", "-B", out.Path().string()},
                &said, 300000),
            0)
      << said;
  fs::path deb;
  for (const auto& entry : fs::directory_iterator(out.Path())) {
    if (entry.path().extension() == ".deb") deb = entry.path();
  }
  ASSERT_FALSE(deb.empty()) << said;

  std::string contents;
  ASSERT_EQ(RunProgram({"dpkg-deb", "-c", deb.string()}, &contents, 30000), 0);
  const std::string id = QUORLIN_APP_ID;
  for (const std::string& file : std::vector<std::string>{
           "./usr/bin/quorlin", "./usr/bin/quorlin-picture", "./usr/bin/quorlin-profile-service",
           "./usr/share/applications/" QUORLIN_DESKTOP_ENTRY, "./usr/share/metainfo/" + id + ".metainfo.xml",
           "./usr/share/icons/hicolor/16x16/apps/quorlin.png", "./usr/share/icons/hicolor/256x256/apps/quorlin.png",
           "./usr/share/quorlin/screenshots/card.png"}) {
    EXPECT_NE(contents.find(" " + file + "\n"), std::string::npos) << file;
  }

  std::string depends;
  ASSERT_EQ(RunProgram({"dpkg-deb", "-f", deb.string(), "Depends"}, &depends, 30000), 0);
  // Found by dpkg-shlibdeps from what the programs link ...
  for (const char* package :
       {"libc6", "libqt6gui6", "libjpeg62-turbo", "libpng16-16", "libcurl4", "libfontconfig1", "libfreetype6"}) {
    EXPECT_NE(depends.find(std::string(package) + " ("), std::string::npos) << package << " in " << depends;
  }
  // ... and named because the program loads them at run time or asks for their faces.
  for (const char* package : {"qt6-qpa-plugins", "qt6-wayland", "fonts-noto-cjk"}) {
    EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
  }
}

}  // namespace
}  // namespace quorlin::testing
