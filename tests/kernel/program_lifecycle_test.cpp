// Start-up, the message loop and the end of the program, each run in a child process.
#include <gtest/gtest.h>

#include <thread>

#include "platform/base/thread_services.h"
#include "platform/startup/platform_startup.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/kernel/kernel_fixture.h"
#include "tests/support/child_process.h"

namespace quorlin {
namespace {

constexpr uint32_t kStartForm = 0x52010001;
alignas(8) const char kConstants[] = "constants";

// Runs the kernel's start-up with this template data and entry routine in a child process.
testing::ChildResult RunProgram(std::vector<uint8_t> templateData, int (*entry)()) {
  return testing::RunInChild([&] {
    platform::StartPlatform();
    testing::InstallTestFormsLayer();
    static testing::TestProgram program;
    program.templateData = std::move(templateData);
    program.Build(kConstants, sizeof kConstants);
    Kernel().InitialiseInstance(program.info, entry);
    Kernel().EndProgram(0);  // the framework's exit step
  });
}

int g_cleanups = 0;

TEST(ProgramLifecycle, ClosingTheLastWindowEndsWithZeroAndRunsTheCleanUpOnce) {
  const auto result = RunProgram(testing::TemplateDataFor({kStartForm}), [] {
    const RuntimeEntryTable& kernel = EntryTable();
    kernel.CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    kernel.CallKernelRoutine(KernelRoutine::SetCleanupRoutine,
                             reinterpret_cast<intptr_t>(+[] { fprintf(stderr, "cleanup %d\n", ++g_cleanups); }), 0, 0);
    kernel.LoadStartWindow(kStartForm);
    const HWND window = static_cast<HWND>(HostService(HostCode::WindowHandleOfForm, kStartForm, 0));
    PostMessageA(window, WM_CLOSE, 0, 0);
    kernel.RunMessageLoop();
    fputs("loop ended\n", stderr);
    return 0;
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "loop ended\ncleanup 1\n");
}

TEST(ProgramLifecycle, AStartFormThatIsNotLoadedEndsWithTheStartWindowError) {
  const auto result = RunProgram(testing::TemplateDataFor({0x52011988}), [] {
    EntryTable().CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    EntryTable().LoadStartWindow(kStartForm);
    fputs("not reached\n", stderr);
    return 0;
  });
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.standardError, "msgbox 错误 | 运行时出错!\\r\\n\\r\\n错误信息：载入启动窗口失败\\r\\n\n");
}

TEST(ProgramLifecycle, UnreadableTemplateDataIsARuntimeError) {
  const auto result = RunProgram({1, 2, 3}, [] {
    EntryTable().CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    return 0;
  });
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_NE(result.standardError.find("载入窗口模板数据段出错!"), std::string::npos);
}

TEST(ProgramLifecycle, TheLoopReturnsAtOnceWithoutALiveWindow) {
  const auto result = RunProgram(testing::TemplateDataFor({kStartForm}), [] {
    EntryTable().CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    EntryTable().RunMessageLoop();
    fputs("returned\n", stderr);
    return 0;
  });
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "returned\n");
}

TEST(ProgramLifecycle, EndProgramOnAnotherThreadEndsThroughTheMainThread) {
  const auto result = RunProgram(testing::TemplateDataFor({kStartForm}), [] {
    const RuntimeEntryTable& kernel = EntryTable();
    kernel.CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    kernel.CallKernelRoutine(KernelRoutine::SetCleanupRoutine,
                             reinterpret_cast<intptr_t>(+[] {
                               fprintf(stderr, "cleanup on main thread: %d\n",
                                       GetCurrentThreadId() == Kernel().MainThreadId());
                             }),
                             0, 0);
    kernel.LoadStartWindow(kStartForm);
    std::thread([] { HostService(HostCode::EndProgram, 7, 0); }).detach();
    kernel.RunMessageLoop();
    fputs("loop returned\n", stderr);
    return 0;
  });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 7);
  EXPECT_EQ(result.standardError, "cleanup on main thread: 1\n");
}

TEST(ProgramLifecycle, IdleCallbacksRunWhenTheQueueRunsEmpty) {
  const auto result = RunProgram(testing::TemplateDataFor({kStartForm}), [] {
    const RuntimeEntryTable& kernel = EntryTable();
    kernel.CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    kernel.LoadStartWindow(kStartForm);
    const HWND window = static_cast<HWND>(HostService(HostCode::WindowHandleOfForm, kStartForm, 0));
    static int calls = 0;
    // Each message restarts idling; the third idle period closes the window.
    Kernel().AddIdleCallback(window, [](HWND w, void*) {
      ++calls;
      PostMessageA(w, calls < 3 ? WM_NULL : WM_CLOSE, 0, 0);
    }, nullptr);
    kernel.RunMessageLoop();
    fprintf(stderr, "idle calls %d\n", calls);
    return 0;
  });
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "idle calls 3\n");
}

// Tests and fuzz targets start the kernel again and again in one process.
TEST(ProgramLifecycle, ResetForTestsLeavesNoServiceWindowBehind) {
  const auto result = RunProgram(testing::TemplateDataFor({kStartForm}), [] {
    EntryTable().CallKernelRoutine(KernelRoutine::LoadTemplates, 0, 0, 0);
    const HWND service = Kernel().ServiceWindow();
    const bool shownBefore = IsWindow(service);
    Kernel().ResetForTests();
    fprintf(stderr, "%d %d %d\n", shownBefore, IsWindow(service), Kernel().ServiceWindow() != 0);
    return 0;
  });
  EXPECT_EQ(result.standardError, "1 0 0\n");
}

}  // namespace
}  // namespace quorlin
