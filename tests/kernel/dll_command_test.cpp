#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/base/dll_modules.h"
#include "platform/base/thread_services.h"
#include "platform/startup/platform_startup.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/kernel/kernel_fixture.h"
#include "tests/support/child_process.h"

namespace quorlin {
namespace {

using platform::ProcedureSignature;

// Starts a kernel whose program declares these DLL commands, in the calling (child) process.
void StartWithDllCommands(std::vector<const char*> files, std::vector<const char*> functions) {
  platform::StartPlatform();
  static testing::TestProgram program;
  program.dllFiles = std::move(files);
  program.dllFunctions = std::move(functions);
  program.Build(nullptr, 0);
  Kernel().ResetForTests();
  Kernel().InitialiseInstance(program.info, nullptr);
  Kernel().LoadTemplates();
}

TEST(DllCommands, ResolveFromTheDefaultLibrariesAndFromNamedOnes) {
  const auto result = testing::RunInChild([] {
    StartWithDllCommands({"", "kernel32.dll", "USER32"}, {"GetFocus", "GetCurrentThreadId", "GetForegroundWindow"});
    const uint64_t none[1] = {};
    const uint64_t focus = EntryTable().CallDllCommand(0, ProcedureSignature{'i', ""}, none);
    const uint64_t thread = EntryTable().CallDllCommand(1, ProcedureSignature{'i', ""}, none);
    EntryTable().CallDllCommand(2, ProcedureSignature{'i', ""}, none);
    fprintf(stderr, "%d %d\n", static_cast<HWND>(focus) == GetFocus(),
            static_cast<DWORD>(thread) == GetCurrentThreadId());
  });
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "1 1\n");
}

// user32.dll and planted_helper.dll lie beside the test program; both export a GetFocus that
// answers 0x5EED.
TEST(DllCommands, ABuiltInModuleWinsOverAFileOfItsNameBesideTheProgram) {
  const auto result = testing::RunInChild([] {
    StartWithDllCommands({"user32.dll", "USER32", "planted_helper.dll"}, {"GetFocus", "GetFocus", "GetFocus"});
    const std::string beside = Kernel().ProgramDirectory() + "/";
    fprintf(stderr, "planted %d %d\n", access((beside + "user32.dll").c_str(), F_OK) == 0,
            access((beside + "planted_helper.dll").c_str(), F_OK) == 0);
    for (int32_t index = 0; index < 3; ++index) {
      fprintf(stderr, "%x\n", static_cast<unsigned>(EntryTable().CallDllCommand(index, ProcedureSignature{'i', ""}, nullptr)));
    }
  });
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  // The built-in GetFocus (no focus window: 0) twice; a name no built-in module has still
  // reaches the file beside the program.
  EXPECT_EQ(result.standardError, "planted 1 1\n0\n0\n5eed\n");
}

TEST(DllCommands, ADeclarationWithAnotherArgumentListIsError6) {
  const auto result = testing::RunInChild([] {
    StartWithDllCommands({"kernel32.dll"}, {"GetCurrentThreadId"});
    const uint64_t arguments[1] = {5};
    EntryTable().CallDllCommand(0, ProcedureSignature{'i', "i"}, arguments);
  });
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_NE(result.standardError.find("错误代码：6"), std::string::npos);
  EXPECT_NE(result.standardError.find("调用DLL命令后发现堆栈错误"), std::string::npos);
}

TEST(DllCommands, AMissingFunctionNamesTheLibraryWhenOneWasGiven) {
  const auto named = testing::RunInChild([] {
    StartWithDllCommands({"user32"}, {"NoSuchFunction"});
    EntryTable().CallDllCommand(0, ProcedureSignature{'i', ""}, nullptr);
  });
  EXPECT_EQ(named.exitStatus, 255);
  EXPECT_NE(named.standardError.find("错误信息：无法找到指定DLL库文件“user32”中的输出命令“NoSuchFunction”"),
            std::string::npos);

  const auto unnamed = testing::RunInChild([] {
    StartWithDllCommands({""}, {"NoSuchFunction"});
    EntryTable().CallDllCommand(0, ProcedureSignature{'i', ""}, nullptr);
  });
  EXPECT_EQ(unnamed.exitStatus, 255);
  EXPECT_NE(unnamed.standardError.find("错误信息：无法找到指定DLL库文件中的输出命令“NoSuchFunction”"),
            std::string::npos);
}

TEST(DllCommands, RealSharedObjectsAreCalledWithTheDeclaredList) {
  const auto result = testing::RunInChild([] {
    StartWithDllCommands({"libm.so.6"}, {"cos"});
    double zero = 0.0;
    uint64_t argument;
    std::memcpy(&argument, &zero, 8);
    const uint64_t bits = EntryTable().CallDllCommand(0, ProcedureSignature{'d', "d"}, &argument);
    double value;
    std::memcpy(&value, &bits, 8);
    fprintf(stderr, "%.1f\n", value);
  });
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "1.0\n");
}

}  // namespace
}  // namespace quorlin
