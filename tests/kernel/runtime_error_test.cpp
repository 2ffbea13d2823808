#include <gtest/gtest.h>

#include "platform/base/code_page.h"
#include "runtime/kernel/entry_table.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"
#include "tests/support/child_process.h"

namespace quorlin {
namespace {

TEST(RuntimeErrorText, HasTheCodeLineOnlyForANonZeroCodeAndTheMessageLineOnlyForAMessage) {
  // The runtime's texts are GBK; they are compared here as UTF-8.
  auto text = [](const char* message, int code) { return platform::GbkToUtf8(RuntimeErrorText(message, code)); };
  EXPECT_EQ(text("x", 0), "运行时出错!\r\n\r\n错误信息：x\r\n");
  EXPECT_EQ(text(nullptr, 11), "运行时出错!\r\n\r\n错误代码：11\r\n\r\n");
  EXPECT_EQ(text("", 0), "运行时出错!\r\n\r\n");
  EXPECT_EQ(text("m", 3), "运行时出错!\r\n\r\n错误代码：3\r\n\r\n错误信息：m\r\n");
}

TEST(NumberedErrors, CoverCodesOneToElevenOnly) {
  EXPECT_EQ(NumberedErrorMessage(0), nullptr);
  EXPECT_EQ(NumberedErrorMessage(12), nullptr);
  for (int code = 1; code <= 11; ++code) EXPECT_NE(NumberedErrorMessage(code), nullptr) << code;
}

TEST(RaiseRuntimeError, SlotZeroShowsCodeAndMessageThenEndsWithMinusOne) {
  const auto result = testing::RunInChild([] { EntryTable().RaiseRuntimeError(4); });
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 255);
  // The box text is the GBK message shown as UTF-8.
  EXPECT_EQ(result.standardError,
            "msgbox 错误 | 运行时出错!\\r\\n\\r\\n错误代码：4\\r\\n\\r\\n"
            "错误信息：数组成员引用下标必须大于等于1\\r\\n\n");
}

TEST(RaiseRuntimeError, TheCleanUpRoutineDoesNotRunAfterARuntimeError) {
  const auto result = testing::RunInChild([] {
    EntryTable().CallKernelRoutine(KernelRoutine::SetCleanupRoutine,
                                   reinterpret_cast<intptr_t>(+[] { fputs("cleanup\n", stderr); }), 0, 0);
    EntryTable().RaiseRuntimeError(1);
  });
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(result.standardError.find("cleanup"), std::string::npos);
}

TEST(RaiseRuntimeError, RaisesTheErrorCountSoNoLaterEventRuns) {
  const auto result = testing::RunInChild([] {
    EXPECT_EQ(Kernel().ErrorCount(), 0);
    HostService(HostCode::RuntimeError, reinterpret_cast<intptr_t>("boom"), 0);
  });
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_NE(result.standardError.find("错误信息：boom"), std::string::npos);
}

}  // namespace
}  // namespace quorlin
