// Drives the real executable: the start-up window opens, and closing it ends the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/support/child_process.h"

namespace {

quorlin::testing::ChildResult RunQuorlin(const std::filesystem::path& workingDirectory, const std::string& script) {
  std::random_device random;
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("quorlin-start-" + std::to_string(getpid()) + "-" +
                                                std::to_string(random()) + ".txt");
  std::ofstream(file, std::ios::binary) << script;
  auto result = quorlin::testing::RunInChild([&] {
    std::filesystem::current_path(workingDirectory);
    setenv("QUORLIN_DISPLAY", "headless", 1);
    setenv("QUORLIN_SCENARIO", file.c_str(), 1);
    execl(QUORLIN_EXECUTABLE, "quorlin", static_cast<char*>(nullptr));
    _exit(127);
  });
  std::filesystem::remove(file);
  return result;
}

TEST(ProgramStart, TheMainWindowOpensAndClosingItEndsTheProgramWithCodeZero) {
  // Started from an unrelated folder; the close request goes to the main window by its title.
  const auto result = RunQuorlin(std::filesystem::temp_directory_path(), "close Quorlin    - by Tamsk\n");
  ASSERT_TRUE(result.exited) << result.standardError;
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "");
  EXPECT_EQ(result.standardOutput,
            "window open Quorlin    - by Tamsk\n"
            "window close Quorlin    - by Tamsk\n"
            "exit 0\n");
}

}  // namespace
