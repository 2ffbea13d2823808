// The installed program, whose folder its user cannot write, on the desktop under a private X
// server with a home folder of the test's own: the settings come from and the settings window's
// choices land in ~/.config/quorlin/quorlin.ini, a card saved by itself lands in
// ~/Pictures/Quorlin/ (made when first needed), and nothing is written under the installation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/desktop/desktop_driving.h"
#include "tests/support/installed_tree.h"
#include "tests/support/spawned_process.h"

namespace quorlin::testing {
namespace {

namespace fs = std::filesystem;

// Root may write any folder: the program runs as the unprivileged user "nobody" then.
constexpr int kNobody = 65534;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Little32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

using InstalledProgram = DesktopTest;

TEST_F(InstalledProgram, KeepsSettingsAndCardsInTheUsersFoldersAndWritesNothingBesideItself) {
  Prepare({"setpriv"});
  if (IsSkipped() || HasFatalFailure()) return;

  const InstalledTree tree(QUORLIN_BUILD_DIR);
  ASSERT_TRUE(tree.Installed()) << tree.Output();
  const fs::path bin = tree.Prefix() / "bin";
  const TemporaryFolder home("quorlin-home-");
  // The save mode "写到指定位置" comes from the user's settings file; the settings window adds 小图.
  const fs::path ini = home.Path() / ".config" / "quorlin" / "quorlin.ini";
  fs::create_directories(ini.parent_path());
  std::ofstream(ini) << "[sz]\r\nsave=1\r\n";
  std::vector<std::string> argv = {(bin / "quorlin").string()};
  if (getuid() == 0) {
    for (const fs::path& path : {home.Path(), home.Path() / ".config", ini.parent_path(), ini}) {
      ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0) << path;
    }
    argv.insert(argv.begin(), {"setpriv", "--reuid=" + std::to_string(kNobody), "--regid=" + std::to_string(kNobody),
                               "--clear-groups", "--"});
  } else {
    fs::permissions(bin, fs::perms::owner_write, fs::perm_options::remove);
  }
  const auto installedBefore = FolderState(tree.Root());

  {
    auto environment = ProgramEnvironment();
    environment.insert(environment.end(),
                       {{"HOME", home.Path().string()}, {"XDG_CONFIG_HOME", ""}, {"XDG_RUNTIME_DIR", ""}});
    SpawnedProcess program(argv, environment);
    ASSERT_TRUE(program.Started());
    WindowGeometry main;
    ASSERT_TRUE(WaitFor([&] { return FindWindow(kMainWindowTitle, main); }, kWindowWaitMs)) << "no main window";

    // 设置 at (408, 394), 80 × 24, opens the settings window.
    Click(main.x + 448, main.y + 406);
    WindowGeometry settings;
    ASSERT_TRUE(WaitFor([&] { return FindWindow("设置", settings); }, kWindowWaitMs)) << "no settings window";
    // 小图 checked (选择框2 at (272, 56)) and the window closed; a close request that comes
    // while the window is still being shown may go unheard, so it is repeated until the
    // settings are written.
    Click(settings.x + 282, settings.y + 66);
    ASSERT_TRUE(WaitFor(
        [&] {
          RequestClose(settings);
          return WaitFor([&] { return ReadBytes(ini).find("color=") != std::string::npos; }, 3000);
        },
        kResultWaitMs))
        << "no settings written to " << ini;
    const std::string written = ReadBytes(ini);
    EXPECT_NE(written.find("set=1\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("save=1\r\n"), std::string::npos) << written;
    EXPECT_NE(written.find("touxiang=1\r\n"), std::string::npos) << written;

    AskForCard(main, "abc");
    const fs::path card = home.Path() / "Pictures" / "Quorlin" / "abc.jpg";
    std::string bytes;
    ASSERT_TRUE(WaitFor([&] { return (bytes = ReadBytes(card)).size() > 54; }, kResultWaitMs)) << "no card in " << card;
    // BMP bytes whatever the name says, of the small square card.
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Little32(bytes, 18), 300u);
    EXPECT_EQ(Little32(bytes, 22), 300u);
    program.Stop();
  }

  EXPECT_EQ(FolderState(tree.Root()), installedBefore) << "something was written under the installation";
  if (getuid() != 0) fs::permissions(bin, fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
}  // namespace quorlin::testing
