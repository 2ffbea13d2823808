// The program's globals end with the program: their clean-up routine is registered with the
// kernel when they are made and runs at the normal end, not after a runtime error.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/settings/app_settings.h"
#include "platform/startup/platform_startup.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/support/child_process.h"

namespace quorlin::app {
namespace {

void StartKernel() {
  platform::StartPlatform();
  static ProgramInfoBlock info{};
  info.runMode = 3;
  Kernel().ResetForTests();
  Kernel().InitialiseInstance(info, nullptr);
  Kernel().LoadTemplates();
}

// Made and given blocks of their own, as the program's start-up and handlers do.
void MakeGlobals() {
  InitialiseGlobals();
  Settings().avatarPath = OwnedText::Copy("/pictures/me.png");
  Settings().localAvatarBytes = OwnedBytes::Copy("PNG", 3);
}

void ReportGlobalsAtExit(int32_t exitCode) {
  const AppSettings& settings = Settings();
  fprintf(stderr, "exit %d: %s %s %s\n", exitCode, settings.avatarPath.get() ? "path" : "-",
          settings.localAvatarBytes.get() ? "bytes" : "-", settings.fontFace.get() ? "face" : "-");
}

TEST(ProgramGlobals, TheNormalEndReleasesThem) {
  const testing::ChildResult result = testing::RunInChild([] {
    StartKernel();
    MakeGlobals();
    Kernel().SetExitObserver(&ReportGlobalsAtExit);
    Kernel().EndProgram(0);
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.standardError, "exit 0: - - -\n");
}

TEST(ProgramGlobals, ARuntimeErrorLeavesThemAlone) {
  const testing::ChildResult result = testing::RunInChild([] {
    StartKernel();
    MakeGlobals();
    Kernel().SetExitObserver(&ReportGlobalsAtExit);
    Kernel().ReportRuntimeError("stop", 0);
  });
  ASSERT_TRUE(result.exited);
  EXPECT_NE(result.standardError.find("exit -1: path bytes face\n"), std::string::npos) << result.standardError;
}

}  // namespace
}  // namespace quorlin::app
