#include "platform/base/program_modules.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/com/xmlhttp/http_module.h"

namespace quorlin::platform {
namespace {

// The HTTP module is built beside the programs of the build folder and found through their run
// path, as the program finds it.
TEST(ProgramModules, TheHttpModuleLoadsOnceAndGivesItsEntry) {
  std::string error;
  void* entry = ProgramModuleEntry(kHttpModuleName, kHttpModuleEntry, error);
  ASSERT_NE(entry, nullptr) << error;
  auto exchange = reinterpret_cast<HttpExchangeFunction (*)()>(entry)();
  EXPECT_NE(exchange, nullptr);
  std::vector<std::thread> threads;
  std::vector<void*> seen(4);
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&, i] {
      std::string threadError;
      seen[i] = ProgramModuleEntry(kHttpModuleName, kHttpModuleEntry, threadError);
    });
  }
  for (std::thread& t : threads) t.join();
  for (void* again : seen) EXPECT_EQ(again, entry);
}

TEST(ProgramModules, AMissingModuleOrEntryIsNullWithTheReason) {
  std::string error;
  EXPECT_EQ(ProgramModuleEntry("quorlin-no-such-module", "QuorlinEntry", error), nullptr);
  EXPECT_NE(error.find("quorlin-no-such-module"), std::string::npos) << error;
  std::string again;
  EXPECT_EQ(ProgramModuleEntry("quorlin-no-such-module", "QuorlinEntry", again), nullptr);
  EXPECT_EQ(again, error);

  error.clear();
  EXPECT_EQ(ProgramModuleEntry(kHttpModuleName, "QuorlinNoSuchEntry", error), nullptr);
  EXPECT_NE(error.find("QuorlinNoSuchEntry"), std::string::npos) << error;
  // The module keeps only its entries: the exchange's own functions stay inside it.
  error.clear();
  EXPECT_EQ(ProgramModuleEntry(kHttpModuleName, "_ZN7quorlin8platform15RunHttpExchangeERKNS0_19HttpExchangeRequestE", error),
            nullptr);
}

}  // namespace
}  // namespace quorlin::platform
