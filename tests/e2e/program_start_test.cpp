// Drives the real executable.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/child_process.h"

namespace {

quorlin::testing::ChildResult RunQuorlin(const std::filesystem::path& workingDirectory) {
  return quorlin::testing::RunInChild([&] {
    std::filesystem::current_path(workingDirectory);
    setenv("QUORLIN_DISPLAY", "headless", 1);
    execl(QUORLIN_EXECUTABLE, "quorlin", static_cast<char*>(nullptr));
    _exit(127);
  });
}

TEST(ProgramStart, WithoutWindowTemplatesTheStartWindowCannotBeLoaded) {
  // Started from an unrelated folder: the program makes its own folder the current one and
  // reports the missing start-up window through the runtime's one error path.
  const auto result = RunQuorlin(std::filesystem::temp_directory_path());
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.standardError, "msgbox 错误 | 运行时出错!\\r\\n\\r\\n错误信息：载入启动窗口失败\\r\\n\n");
}

}  // namespace
