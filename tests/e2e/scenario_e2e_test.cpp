// The real program on the headless display, driven by a scenario: type into the ID box, read it
// back, check the main window's geometry and take shots of the screen and of the card canvas.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace {

// The executable is copied into a fresh folder, so the quorlin.ini it keeps beside itself is
// written there and nowhere else.
class ProgramFolder {
 public:
  ProgramFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quorlin-e2e-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
    std::filesystem::copy_file(QUORLIN_EXECUTABLE, path_ / "quorlin");
  }
  ~ProgramFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

  quorlin::testing::ChildResult RunScenario(const std::string& script) const {
    const std::filesystem::path file = path_ / "scenario.txt";
    std::ofstream(file, std::ios::binary) << script;
    const std::string program = (path_ / "quorlin").string();
    return quorlin::testing::RunInChild(
        [&] {
          setenv("QUORLIN_DISPLAY", "headless", 1);
          setenv("QUORLIN_SCENARIO", file.c_str(), 1);
          execl(program.c_str(), "quorlin", static_cast<char*>(nullptr));
          _exit(127);
        },
        60);
  }

 private:
  std::filesystem::path path_;
};

struct BmpSize {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};

BmpSize ReadBmpSize(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  auto word = [&](size_t at) {
    return static_cast<int>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
  };
  return {word(18), word(22), bytes[28] | bytes[29] << 8};
}

TEST(ScenarioEndToEnd, TypedIdReadsBackAndTheMainWindowHasItsGeometry) {
  const ProgramFolder folder;
  const auto result = folder.RunScenario(
      "focus 编辑框1\n"
      "type 12345\n"
      "prop 编辑框1 8\n"
      "# the card canvas at the client's top-left, the row of controls under it\n"
      "prop 画板2 0\n"
      "prop 画板2 1\n"
      "prop 画板2 2\n"
      "prop 画板2 3\n"
      "prop 标签1 1\n"
      "prop 编辑框1 1\n"
      "prop 按钮3 1\n"
      "prop 按钮2 1\n"
      "prop 按钮4 1\n"
      "prop 按钮1 1\n"
      "shot screen.png\n"
      "shot card.bmp 画板2\n");
  ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput,
            "window open Quorlin    - by Tamsk\n"
            "prop 编辑框1 8 = 12345\n"
            "prop 画板2 0 = 0\n"
            "prop 画板2 1 = 0\n"
            "prop 画板2 2 = 580\n"
            "prop 画板2 3 = 385\n"
            "prop 标签1 1 = 394\n"
            "prop 编辑框1 1 = 394\n"
            "prop 按钮3 1 = 394\n"
            "prop 按钮2 1 = 394\n"
            "prop 按钮4 1 = 394\n"
            "prop 按钮1 1 = 394\n"
            "window close Quorlin    - by Tamsk\n"
            "exit 0\n");
  const BmpSize card = ReadBmpSize(folder.Path() / "card.bmp");
  EXPECT_EQ(card.width, 580);
  EXPECT_EQ(card.height, 385);
  EXPECT_EQ(card.bitsPerPixel, 24);
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "screen.png"));
}

TEST(ScenarioEndToEnd, AnUnknownUnitEndsTheProgramWithTheStepsLine) {
  const ProgramFolder folder;
  const auto result = folder.RunScenario("# nothing of that name\nclick 按钮9\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_EQ(result.standardOutput,
            "window open Quorlin    - by Tamsk\n"
            "error 2: no unit \"按钮9\" in the open windows\n"
            "window close Quorlin    - by Tamsk\n"
            "exit 2\n");
}

}  // namespace
