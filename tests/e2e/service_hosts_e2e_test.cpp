// The hosts the real program asks: the bundled service's address when nothing names a host,
// the web keys of quorlin.ini, the environment above them, and a malformed value passed over.
#include <gtest/gtest.h>

#include <string>

#include "app/card/bundled_service.h"
#include "tests/e2e/card_program.h"
#include "tests/support/loopback_http_server.h"

namespace quorlin::testing {
namespace {

constexpr const char* kCardScript = "focus 编辑框1\ntype abc\nclick 按钮1\n";
constexpr const char* kPanelPath = "/home/get/panel";
constexpr const char* kPortraitPath = "/sys/portraitl/item/e2e.hosts";

std::string HostOf(const LoopbackHttpServer& server) { return "127.0.0.1:" + std::to_string(server.Port()); }

// A profile service that knows every name, with the portrait e2e.hosts.
void AnswerPanels(LoopbackHttpServer& server) {
  server.SetReply(kPanelPath, ScriptedReply{.body = R"({"data":{"portrait":"e2e.hosts","tb_age":"4"}})"});
}

size_t RequestsFor(const LoopbackHttpServer& server, const std::string& path) {
  size_t count = 0;
  for (const RecordedRequest& request : server.Requests()) count += request.path == path ? 1 : 0;
  return count;
}

void ExpectCleanEnd(const ChildResult& result) {
  ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
  EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
}

TEST(ServiceHostsEndToEnd, TheWebKeysNameTheHostsAndStayAsTheyAre) {
  LoopbackHttpServer profiles;
  LoopbackHttpServer portraits;
  AnswerPanels(profiles);
  CardProgram program;
  const std::string ini = "[sz]\r\nsave=3\r\n[web]\r\nprofile=" + HostOf(profiles) + "\r\nportrait=" + HostOf(portraits) +
                          "\r\n";
  program.WriteFile("quorlin.ini", ini);

  const ChildResult result = program.Run(kCardScript, "");
  ExpectCleanEnd(result);
  ASSERT_EQ(RequestsFor(profiles, kPanelPath), 1u);
  EXPECT_EQ(profiles.LastRequest().query, "ie=utf-8&un=%61%62%63");
  EXPECT_EQ(RequestsFor(profiles, kPortraitPath), 0u);
  EXPECT_EQ(RequestsFor(portraits, kPortraitPath), 1u);
  EXPECT_EQ(RequestsFor(portraits, kPanelPath), 0u);
  EXPECT_EQ(result.standardError.find("quorlin: "), std::string::npos) << result.standardError;
  EXPECT_EQ(program.ReadFile("quorlin.ini"), ini);
}

TEST(ServiceHostsEndToEnd, TheEnvironmentBeatsTheFile) {
  LoopbackHttpServer named;
  LoopbackHttpServer fromEnvironment;
  AnswerPanels(named);
  AnswerPanels(fromEnvironment);
  CardProgram program;
  program.WriteFile("quorlin.ini", "[web]\nprofile=" + HostOf(named) + "\nportrait=" + HostOf(named) + "\n");

  ExpectCleanEnd(program.Run(kCardScript, HostOf(fromEnvironment)));
  EXPECT_EQ(RequestsFor(fromEnvironment, kPanelPath), 1u);
  EXPECT_EQ(RequestsFor(fromEnvironment, kPortraitPath), 1u);
  EXPECT_EQ(named.RequestCount(), 0u);
}

// These listen on the bundled service's port, so ctest runs them on their own (see the
// folder's CMakeLists.txt).
TEST(BundledServicePort, WithoutWebKeysOrEnvironmentTheBundledServiceIsAsked) {
  LoopbackHttpServer bundled(app::kBundledServicePort);
  AnswerPanels(bundled);
  CardProgram program;

  const ChildResult result = program.Run(kCardScript, "");
  ExpectCleanEnd(result);
  ASSERT_EQ(RequestsFor(bundled, kPanelPath), 1u);
  EXPECT_EQ(bundled.Requests().front().query, "ie=utf-8&un=%61%62%63");
  EXPECT_EQ(bundled.Requests().front().Header("Host"), app::kBundledServiceAddress);
  EXPECT_EQ(RequestsFor(bundled, kPortraitPath), 1u);
  EXPECT_EQ(result.standardError.find("quorlin: "), std::string::npos) << result.standardError;
}

TEST(BundledServicePort, AMalformedValueIsNamedOnStandardErrorAndTheDefaultApplies) {
  LoopbackHttpServer bundled(app::kBundledServicePort);
  LoopbackHttpServer portraits;
  AnswerPanels(bundled);
  CardProgram program;
  program.WriteFile("quorlin.ini", "[web]\nprofile=http://profiles.example.invalid/x\nportrait=" + HostOf(portraits) + "\n");

  const ChildResult result = program.Run(kCardScript, "");
  ExpectCleanEnd(result);
  const std::string line = "quorlin: quorlin.ini [web] profile \"http://profiles.example.invalid/x\"";
  EXPECT_NE(result.standardError.find(line), std::string::npos) << result.standardError;
  EXPECT_EQ(RequestsFor(bundled, kPanelPath), 1u);
  EXPECT_EQ(RequestsFor(portraits, kPortraitPath), 1u);
  EXPECT_EQ(RequestsFor(bundled, kPortraitPath), 0u);
}

}  // namespace
}  // namespace quorlin::testing
