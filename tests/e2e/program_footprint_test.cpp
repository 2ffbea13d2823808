// What the real program maps: the headless display never loads the desktop's libraries (Qt,
// ICU), and it loads the HTTP client (libcurl) in the background from the start, before any
// request asks for it. The dynamic loader's own report (LD_DEBUG=libs) names every shared
// object the process loads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/e2e/card_program.h"

namespace quorlin::testing {
namespace {

constexpr const char* kMember = "footprintmember";

// The loader's report of the run goes to standard error with the program's own lines.
class LoaderReport {
 public:
  LoaderReport() { setenv("LD_DEBUG", "libs", 1); }
  ~LoaderReport() { unsetenv("LD_DEBUG"); }
};

// Whether the loader initialised a shared object whose path holds `name`.
bool Loads(const ChildResult& result, const std::string& name) {
  std::istringstream lines(result.standardError);
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find("calling init: ");
    if (at != std::string::npos && line.find(name, at) != std::string::npos) return true;
  }
  return false;
}

class ProgramFootprint : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(service_.HostAndPort().empty()) << "the profile service did not start"; }

  ChildResult Run(const std::string& script) {
    const LoaderReport report;
    return program_.Run(script, service_.HostAndPort());
  }

  CardProgram program_;
  ProfileService service_{program_.Root(), {std::string(kMember) + "\tdemo.footprint\t2"}};
};

TEST_F(ProgramFootprint, OpeningAndQuittingNeverLoadsTheDesktop) {
  const ChildResult result = Run("quit\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  ASSERT_TRUE(Loads(result, "libc.so")) << "no loader report:\n" << result.standardError;
  for (const char* name : {"libQt6", "libicu", "quorlin-desktop"}) EXPECT_FALSE(Loads(result, name)) << name;
}

TEST_F(ProgramFootprint, TheHttpClientLoadsBeforeAnyRequest) {
  const ChildResult result = Run("wait 1500\nquit\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_TRUE(Loads(result, "quorlin-http.so")) << result.standardError;
  EXPECT_TRUE(Loads(result, "libcurl"));
}

TEST_F(ProgramFootprint, ACardLoadsTheHttpClientButNotTheDesktop) {
  program_.WriteFile("quorlin.ini", "[sz]\r\nsave=1\r\n");
  const ChildResult result = Run("focus 编辑框1\ntype " + std::string(kMember) + "\nclick 按钮1\nquit\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0) << result.standardError;
  EXPECT_FALSE(ReadBmp(program_.ReadFile(std::string(kMember) + ".jpg")).empty()) << "no card was saved";
  EXPECT_TRUE(Loads(result, "quorlin-http.so"));
  EXPECT_TRUE(Loads(result, "libcurl"));
  for (const char* name : {"libQt6", "libicu", "quorlin-desktop"}) EXPECT_FALSE(Loads(result, name)) << name;
}

}  // namespace
}  // namespace quorlin::testing
