#include "tests/web/web_test_kernel.h"

#include <mutex>

#include "app/support/dll_commands.h"
#include "platform/startup/platform_startup.h"
#include "runtime/corelib/core_library.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin::testing {

void WebKernelTest::SetUpTestSuite() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::StartPlatform();
    static const LibraryInfoBlock* libraries[1] = {&CoreLibraryInfo()};
    static ProgramInfoBlock info{};
    info.runMode = 3;
    info.libraryCount = 1;
    info.libraries = libraries;
    info.dllCommandCount = app::kDllCommandCount;
    info.dllFileNames = app::DllFileNames();
    info.dllFunctionNames = app::DllFunctionNames();
    Kernel().ResetForTests();
    Kernel().InitialiseInstance(info, nullptr);
    Kernel().LoadTemplates();
  });
}

}  // namespace quorlin::testing
