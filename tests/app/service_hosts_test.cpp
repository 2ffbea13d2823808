// Which hosts the program asks: the form a host must have, and the order environment, settings
// file, bundled service.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "app/card/bundled_service.h"
#include "app/card/service_hosts.h"

namespace quorlin::app {
namespace {

TEST(ServiceHostForm, HostsAndPortsAreTaken) {
  for (const char* host : {"example.invalid", "profiles.example.invalid:8080", "127.0.0.1:47318", "localhost", "a-b.c1",
                           "[::1]", "[::1]:65535", "[fe80::1:2]:1", "[::ffff:127.0.0.1]:80", "x:1"}) {
    EXPECT_TRUE(IsServiceHost(host)) << host;
  }
  EXPECT_TRUE(IsServiceHost(std::string(63, 'a') + "." + std::string(63, 'b')));
}

TEST(ServiceHostForm, AnythingMoreOrLessIsRefused) {
  for (const char* value : {"", "http://example.invalid", "example.invalid/", "example.invalid/x", "exa mple.invalid",
                            " example.invalid", "user@example.invalid", "example.invalid?x", "example.invalid#x",
                            "example.invalid:", "example.invalid:0", "example.invalid:65536", "example.invalid:123456",
                            "example.invalid:+80", "example.invalid:8 0", "::1", "[::1", "[::1]x", "[::1]:", "[zz::1]",
                            "[127.0.0.1]", "a:1:2", ".example", "example.", "a..b", "-a.b", "a-.b", "a_b"}) {
    EXPECT_FALSE(IsServiceHost(value)) << value;
  }
  EXPECT_FALSE(IsServiceHost(std::string(64, 'a') + ".b")) << "a label over 63 bytes";
  // 255 bytes are a host, 256 are not.
  std::string longest;
  while (longest.size() < 255) longest += longest.empty() ? "a" : ".a";
  ASSERT_EQ(longest.size(), 255u);
  EXPECT_TRUE(IsServiceHost(longest));
  EXPECT_FALSE(IsServiceHost(longest + "a"));
}

// The web section as a table; the keys the program reads are recorded, writes fail the test.
class WebSection : public SettingsFile {
 public:
  explicit WebSection(std::map<std::string, std::string> items) : items_(std::move(items)) {}
  OwnedText Read(const char* section, const char* key, std::optional<const char*> fallback) override {
    EXPECT_EQ(std::string(section), "web");
    EXPECT_FALSE(fallback.has_value());
    const auto found = items_.find(key);
    return found == items_.end() ? OwnedText() : OwnedText::Copy(found->second);
  }
  void Write(const char* section, const char* key, const char*) override {
    ADD_FAILURE() << "the program wrote " << section << "/" << key;
  }

 private:
  std::map<std::string, std::string> items_;
};

TEST(ServiceHostChoice, WithoutFileOrEnvironmentTheBundledServiceIsAsked) {
  WebSection file({});
  const ServiceHosts hosts = ResolveServiceHosts(file, nullptr, nullptr);
  EXPECT_EQ(hosts.profile, "127.0.0.1:" + std::to_string(kBundledServicePort));
  EXPECT_EQ(hosts.portrait, kBundledServiceAddress);
  EXPECT_TRUE(hosts.complaints.empty());

  WebSection emptyValues({{"profile", ""}, {"portrait", ""}});
  EXPECT_EQ(ResolveServiceHosts(emptyValues, "", "").profile, kBundledServiceAddress);
}

TEST(ServiceHostChoice, TheFileNamesEachHostAndTheEnvironmentBeatsIt) {
  WebSection file({{"profile", "profiles.example.invalid"}, {"portrait", "[::1]:9000"}});
  ServiceHosts hosts = ResolveServiceHosts(file, nullptr, nullptr);
  EXPECT_EQ(hosts.profile, "profiles.example.invalid");
  EXPECT_EQ(hosts.portrait, "[::1]:9000");

  hosts = ResolveServiceHosts(file, "127.0.0.1:5000", nullptr);
  EXPECT_EQ(hosts.profile, "127.0.0.1:5000");
  EXPECT_EQ(hosts.portrait, "[::1]:9000");
  hosts = ResolveServiceHosts(file, nullptr, "pictures.example.invalid");
  EXPECT_EQ(hosts.profile, "profiles.example.invalid");
  EXPECT_EQ(hosts.portrait, "pictures.example.invalid");
  EXPECT_TRUE(hosts.complaints.empty());
}

TEST(ServiceHostChoice, AMalformedValueIsNamedOnceAndPassedOver) {
  WebSection file({{"profile", "http://profiles.example.invalid/x"}, {"portrait", "pictures.example.invalid"}});
  ServiceHosts hosts = ResolveServiceHosts(file, nullptr, nullptr);
  EXPECT_EQ(hosts.profile, kBundledServiceAddress);
  EXPECT_EQ(hosts.portrait, "pictures.example.invalid");
  ASSERT_EQ(hosts.complaints.size(), 1u);
  EXPECT_NE(hosts.complaints[0].find("[web] profile"), std::string::npos) << hosts.complaints[0];
  EXPECT_NE(hosts.complaints[0].find("\"http://profiles.example.invalid/x\""), std::string::npos) << hosts.complaints[0];

  // A malformed variable leaves the file's value in force.
  hosts = ResolveServiceHosts(file, nullptr, "a b");
  EXPECT_EQ(hosts.portrait, "pictures.example.invalid");
  ASSERT_EQ(hosts.complaints.size(), 2u);
  EXPECT_NE(hosts.complaints[1].find("QUORLIN_PORTRAIT_HOST \"a b\""), std::string::npos) << hosts.complaints[1];
}

}  // namespace
}  // namespace quorlin::app
