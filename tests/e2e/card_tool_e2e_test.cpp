// quorlin-card end to end: the real command beside the real program, against the bundled
// profile service on a loopback port; its cards are compared with the window program's
// clipboard cards for the same IDs and settings.
#include <gtest/gtest.h>
#include <png.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/card_program.h"

namespace quorlin::testing {
namespace {

constexpr int kToolSeconds = 60;
const std::vector<std::string> kMembers = {"toolmember\tdemo.e2e.one\t3", "张三\tdemo.e2e.two\t2.5",
                                           "thirdmember\tdemo.e2e.three\t7"};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Pixels of a PNG file as a BmpPicture (rows top first, RGB); empty when it is no PNG.
BmpPicture ReadPng(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = PNG_FORMAT_RGB;
  BmpPicture picture;
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return {};
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

class CardToolEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(service_.HostAndPort().empty()) << "the profile service did not start";
    std::filesystem::copy_file(QUORLIN_CARD_TOOL, program_.PathOf("quorlin-card"));
  }

  // In a child process: quorlin-card in the program's folder, both hosts set to `host`.
  [[noreturn]] void ExecTool(const std::vector<std::string>& arguments, const std::string& host) const {
    const std::string tool = program_.PathOf("quorlin-card").string();
    std::vector<char*> argv{const_cast<char*>("quorlin-card")};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (chdir(program_.Folder().c_str()) != 0) _exit(126);
    setenv("QUORLIN_PROFILE_HOST", host.c_str(), 1);
    setenv("QUORLIN_PORTRAIT_HOST", host.c_str(), 1);
    execv(tool.c_str(), argv.data());
    _exit(127);
  }

  // Runs quorlin-card; `input` becomes its standard input.
  ChildResult Tool(const std::vector<std::string>& arguments, const std::string& host,
                   const std::string& input = "") const {
    const std::string inputFile = program_.PathOf("input.txt").string();
    std::ofstream(inputFile, std::ios::binary) << input;
    return RunInChild(
        [&] {
          dup2(open(inputFile.c_str(), O_RDONLY), STDIN_FILENO);
          ExecTool(arguments, host);
        },
        kToolSeconds);
  }
  ChildResult Tool(const std::vector<std::string>& arguments) const {
    return Tool(arguments, service_.HostAndPort());
  }

  // The window program's card for the ID, as it puts it on the clipboard.
  BmpPicture WindowProgramCard(const std::string& id) const {
    const ChildResult result =
        program_.Run("focus 编辑框1\ntype " + id + "\nclick 按钮1\nclipboard clip.bmp\n", service_.HostAndPort());
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    return ReadBmp(program_.ReadFile("clip.bmp"));
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(program_.PathOf(name)); }

  CardProgram program_;
  ProfileService service_{program_.Root(), kMembers};
};

void ExpectSamePixels(const BmpPicture& made, const BmpPicture& expected, const std::string& what) {
  ASSERT_FALSE(expected.empty()) << what;
  ASSERT_EQ(made.width, expected.width) << what;
  ASSERT_EQ(made.height, expected.height) << what;
  EXPECT_TRUE(made.rgb == expected.rgb) << what << ": the pixels differ";
}

TEST_F(CardToolEndToEnd, ThreeIdsGiveTheWindowProgramsCardsInInputOrder) {
  // Settings both programs read from the quorlin.ini beside them: a red frame, the full card.
  program_.WriteFile("quorlin.ini", "[sz]\ncolor=255\nset=0\n");
  const ChildResult result = Tool({"--out", "cards", "toolmember", "张三", "thirdmember"});
  ASSERT_TRUE(result.exited) << result.standardError;
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput,
            "toolmember\tcards/toolmember.bmp\n张三\tcards/张三.bmp\nthirdmember\tcards/thirdmember.bmp\n");
  EXPECT_EQ(result.standardError, "");

  for (const std::string id : {"toolmember", "张三", "thirdmember"}) {
    const std::string bytes = program_.ReadFile("cards/" + id + ".bmp");
    ASSERT_GE(bytes.size(), 54u) << id;
    EXPECT_EQ(bytes.size(), 54u + 385u * 1740u) << id;
    const BmpPicture card = ReadBmp(bytes);
    EXPECT_EQ(card.At(231, 101), 0xFF0000u) << id;  // the frame in the file's colour
    ExpectSamePixels(card, WindowProgramCard(id), id);
  }
  // The settings file is read, never written.
  EXPECT_EQ(program_.ReadFile("quorlin.ini"), "[sz]\ncolor=255\nset=0\n");
}

TEST_F(CardToolEndToEnd, SmallGivesTheSquareTheWindowProgramMakesWithTheSmallCardSetting) {
  const ChildResult result = Tool({"--small", "toolmember"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "toolmember\ttoolmember.bmp\n");
  const BmpPicture card = ReadBmp(program_.ReadFile("toolmember.bmp"));
  EXPECT_EQ(card.width, 300);
  EXPECT_EQ(card.height, 300);

  program_.WriteFile("quorlin.ini", "[sz]\nset=1\n");
  ExpectSamePixels(card, WindowProgramCard("toolmember"), "small card");
  // --full overrides the setting the other way.
  ASSERT_EQ(Tool({"--full", "--out", "full", "toolmember"}).exitStatus, 0);
  EXPECT_EQ(ReadBmp(program_.ReadFile("full/toolmember.bmp")).width, 580);
}

TEST_F(CardToolEndToEnd, PngHoldsTheSamePixelsAsTheBmp) {
  ASSERT_EQ(Tool({"--out", "b", "张三"}).exitStatus, 0);
  const ChildResult result = Tool({"--out", "p", "--format", "png", "张三"});
  ASSERT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_EQ(result.standardOutput, "张三\tp/张三.png\n");
  const std::string png = program_.ReadFile("p/张三.png");
  ASSERT_GE(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  ExpectSamePixels(ReadPng(png), ReadBmp(program_.ReadFile("b/张三.bmp")), "png");
}

TEST_F(CardToolEndToEnd, AnUnreachableProfileServiceWritesNoFileAndSaysSo) {
  // A loopback port nothing listens on: the connection is refused.
  const ChildResult result = Tool({"toolmember", "张三"}, "127.0.0.1:1");
  ASSERT_TRUE(result.exited) << result.standardError;
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardOutput, "");
  EXPECT_EQ(result.standardError, "toolmember\tprofile not reachable\n张三\tprofile not reachable\n");
  EXPECT_FALSE(Exists("toolmember.bmp"));
  EXPECT_FALSE(Exists("张三.bmp"));
}

TEST_F(CardToolEndToEnd, IdsFromStandardInputFailOneByOneAndTheOthersAreWritten) {
  const ChildResult result =
      Tool({"--out", "in", "-"}, service_.HostAndPort(), "thirdmember\r\nsmile\xF0\x9F\x98\x80\nnobody\na/b\ntoolmember\n");
  ASSERT_TRUE(result.exited) << result.standardError;
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardOutput, "thirdmember\tin/thirdmember.bmp\ntoolmember\tin/toolmember.bmp\n");
  EXPECT_EQ(result.standardError, "smile\xF0\x9F\x98\x80\tbad ID\nnobody\tno portrait\na/b\tbad ID\n");
  EXPECT_FALSE(Exists("in/nobody.bmp"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program_.PathOf("in")), {}), 2);
}

TEST_F(CardToolEndToEnd, AnExistingCardIsReplacedAndAnUnwritableOneIsReported) {
  std::filesystem::create_directories(program_.PathOf("out/thirdmember.bmp"));  // a folder in the way
  program_.WriteFile("out/toolmember.bmp", "old");
  const ChildResult result = Tool({"--out", "out", "toolmember", "thirdmember"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.standardOutput, "toolmember\tout/toolmember.bmp\n");
  EXPECT_TRUE(result.standardError.starts_with("thirdmember\tcannot write")) << result.standardError;
  EXPECT_EQ(ReadBmp(program_.ReadFile("out/toolmember.bmp")).width, 580);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program_.PathOf("out")), {}), 2);  // no temporary left
}

TEST_F(CardToolEndToEnd, ASettingsFileGivenOnTheCommandLineIsUsedInstead) {
  program_.WriteFile("quorlin.ini", "[sz]\ncolor=255\n");
  program_.WriteFile("other.ini", "[sz]\ncolor=65280\nset=1\n");
  ASSERT_EQ(Tool({"--config", "other.ini", "toolmember"}).exitStatus, 0);
  const BmpPicture card = ReadBmp(program_.ReadFile("toolmember.bmp"));
  EXPECT_EQ(card.width, 300);
  EXPECT_EQ(card.At(81, 45), 0x00FF00u);  // the frame (230, 100) of the canvas, in green
}

TEST_F(CardToolEndToEnd, BadUsageShowsTheUsageAndMakesNothing) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"--bogus", "toolmember"}, {"--format", "gif", "toolmember"}, {}, {"--config", "none.ini", "toolmember"}}) {
    const ChildResult result = Tool(arguments);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_TRUE(Contains(result.standardError, "usage: quorlin-card [options] ID...")) << result.standardError;
    EXPECT_EQ(result.standardOutput, "");
  }
  EXPECT_FALSE(Exists("toolmember.bmp"));
  const ChildResult help = Tool({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_TRUE(Contains(help.standardOutput, "--format bmp|png"));
}

TEST_F(CardToolEndToEnd, AProgressBarShowsOnATerminalForMoreThanTenIds) {
  std::vector<std::string> arguments{"--out", "many"};
  for (int i = 0; i < 12; ++i) arguments.push_back(i % 2 ? "toolmember" : "thirdmember");
  // Not a terminal: standard error holds the failure lines only.
  const ChildResult piped = Tool(arguments);
  EXPECT_EQ(piped.exitStatus, 0);
  EXPECT_EQ(piped.standardError, "");

  // Standard error on a terminal of the test's own, standard output into a file.
  const std::string output = program_.PathOf("output.txt").string();
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ExecTool(arguments, service_.HostAndPort());
  }
  std::string shown;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<size_t>(n));
  close(terminal);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
  EXPECT_TRUE(Contains(shown, "\r[###")) << shown;
  EXPECT_TRUE(Contains(shown, "] 1/12")) << shown;
  EXPECT_TRUE(Contains(shown, "] 12/12")) << shown;
  // The cards' lines still go to standard output, one per card.
  const std::string lines = program_.ReadFile("output.txt");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 12) << lines;
}

TEST_F(CardToolEndToEnd, TheCommandLoadsNothingOfTheDesktopToolkit) {
  // The dynamic loader lists what the program would load, and runs nothing.
  const std::string tool = program_.PathOf("quorlin-card").string();
  const ChildResult result = RunInChild([&] {
    setenv("LD_TRACE_LOADED_OBJECTS", "1", 1);
    execl(tool.c_str(), "quorlin-card", "--version", static_cast<char*>(nullptr));
    _exit(127);
  });
  ASSERT_EQ(result.exitStatus, 0);
  EXPECT_TRUE(Contains(result.standardOutput, "libc.so")) << result.standardOutput;
  EXPECT_FALSE(Contains(result.standardOutput, "Qt")) << result.standardOutput;
}

}  // namespace
}  // namespace quorlin::testing
