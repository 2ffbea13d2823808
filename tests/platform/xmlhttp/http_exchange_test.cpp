#include "platform/com/xmlhttp/http_exchange.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/loopback_http_server.h"
#include "tests/support/slow_http_server.h"

namespace quorlin::platform {
namespace {

using testing::LoopbackHttpServer;
using testing::ScriptedReply;
using testing::SlowHttpServer;
using namespace std::chrono_literals;

HttpExchangeRequest Get(const std::string& url) {
  HttpExchangeRequest request;
  request.method = "GET";
  request.url = url;
  request.timeouts = {2000, 2000, 2000, 2000};
  return request;
}

// A port nobody listens on: bound once for its number, then closed.
int ClosedPort() {
  const int sock = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
  close(sock);
  return ntohs(address.sin_port);
}

TEST(HttpExchange, SendsExactlyTheGivenHeadersInOrder) {
  LoopbackHttpServer server;
  server.SetReply("/panel", ScriptedReply{200, {}, "ok"});
  HttpExchangeRequest request = Get(server.Url("/panel?ie=utf-8&un=%61%62%63"));
  request.headers = {{"Accept", "*/*"},
                     {"Accept-language", "zh-cn"},
                     {"Content-Type", "application/x-www-form-urlencoded"},
                     {"User-Agent", "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)"},
                     {"accept", "text/html"},
                     {"Referer", "a:b"}};
  const HttpExchangeResult result = RunHttpExchange(request);
  ASSERT_TRUE(result.ok()) << result.errorText;
  const auto sent = server.LastRequest();
  EXPECT_EQ(sent.method, "GET");
  EXPECT_EQ(sent.path, "/panel");
  EXPECT_EQ(sent.query, "ie=utf-8&un=%61%62%63");
  testing::HeaderLines expected = {{"Host", "127.0.0.1:" + std::to_string(server.Port())}};
  expected.insert(expected.end(), request.headers.begin(), request.headers.end());
  EXPECT_EQ(sent.headers, expected);
}

TEST(HttpExchange, AddsNoHeadersOfItsOwnBeyondHostAndLength) {
  LoopbackHttpServer server;
  HttpExchangeRequest request = Get(server.Url("/post"));
  request.method = "POST";
  request.body = std::string(2000, 'x');  // large enough for libcurl's Expect: 100-continue
  ASSERT_TRUE(RunHttpExchange(request).ok());
  const auto sent = server.LastRequest();
  EXPECT_EQ(sent.headers.size(), 2u);
  EXPECT_EQ(sent.Header("Content-Length"), "2000");
  EXPECT_EQ(sent.HeaderCount("Accept"), 0u);
  EXPECT_EQ(sent.HeaderCount("Content-Type"), 0u);
  EXPECT_EQ(sent.HeaderCount("Expect"), 0u);
  EXPECT_EQ(sent.body, request.body);
}

TEST(HttpExchange, BodiesKeepZeroBytesBothWays) {
  LoopbackHttpServer server;
  const std::string replyBody("a\0b\0\0c", 6);
  server.SetReply("/bytes", ScriptedReply{200, {{"Content-Type", "application/octet-stream"}}, replyBody});
  HttpExchangeRequest request = Get(server.Url("/bytes"));
  request.method = "POST";
  request.body = std::string("\0\x01\xFFz", 4);
  const HttpExchangeResult result = RunHttpExchange(request);
  ASSERT_TRUE(result.ok()) << result.errorText;
  EXPECT_EQ(result.body, replyBody);
  EXPECT_EQ(server.LastRequest().body, request.body);
}

TEST(HttpExchange, HeaderBlockHoldsEverySetCookieLine) {
  LoopbackHttpServer server;
  server.SetReply("/login", ScriptedReply{200,
                                          {{"Set-Cookie", "a=1; path=/"},
                                           {"Set-Cookie", "b=2; HttpOnly"},
                                           {"Content-Type", "text/html; charset=GBK"}},
                                          "body"});
  const HttpExchangeResult result = RunHttpExchange(Get(server.Url("/login")));
  ASSERT_TRUE(result.ok()) << result.errorText;
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.statusText, "OK");
  EXPECT_EQ(result.charset, "gbk");
  EXPECT_NE(result.headerBlock.find("Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\n"), std::string::npos)
      << result.headerBlock;
  EXPECT_EQ(result.headerBlock.find("HTTP/"), std::string::npos);
  EXPECT_EQ(result.headerBlock.substr(result.headerBlock.size() - 2), "\r\n");
}

TEST(HttpExchange, ErrorStatusesReturnTheirBody) {
  LoopbackHttpServer server;
  server.SetReply("/gone", ScriptedReply{404, {}, "no such member"});
  server.SetReply("/broken", ScriptedReply{500, {}, "server trouble"});
  for (const auto& [path, status, body] :
       {std::tuple{"/gone", 404, "no such member"}, std::tuple{"/broken", 500, "server trouble"}}) {
    const HttpExchangeResult result = RunHttpExchange(Get(server.Url(path)));
    ASSERT_TRUE(result.ok()) << path;
    EXPECT_EQ(result.status, status);
    EXPECT_EQ(result.body, body);
  }
}

TEST(HttpExchange, FollowsRedirectsAndReportsTheFinalResponse) {
  LoopbackHttpServer server;
  server.SetReply("/old", ScriptedReply{302, {{"Location", "/new"}, {"Set-Cookie", "stale=1"}}, ""});
  server.SetReply("/new", ScriptedReply{200, {{"X-Final", "yes"}}, "moved here"});
  const HttpExchangeResult result = RunHttpExchange(Get(server.Url("/old")));
  ASSERT_TRUE(result.ok()) << result.errorText;
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.body, "moved here");
  EXPECT_NE(result.headerBlock.find("X-Final: yes"), std::string::npos);
  EXPECT_EQ(result.headerBlock.find("stale"), std::string::npos);
}

TEST(HttpExchange, RefusesRedirectLoopsAndOtherProtocols) {
  LoopbackHttpServer server;
  server.SetReply("/loop", ScriptedReply{302, {{"Location", "/loop"}}, ""});
  server.SetReply("/to-file", ScriptedReply{302, {{"Location", "file:///etc/passwd"}}, ""});
  EXPECT_EQ(RunHttpExchange(Get(server.Url("/loop"))).error, HttpExchangeError::kRedirectLimit);
  EXPECT_LE(server.RequestCount(), 6u);
  const HttpExchangeResult toFile = RunHttpExchange(Get(server.Url("/to-file")));
  EXPECT_FALSE(toFile.ok());
  EXPECT_TRUE(toFile.body.empty());
}

TEST(HttpExchange, RefusesWhatCannotGoOnTheWire) {
  const struct {
    const char* name;
    HttpExchangeRequest request;
    HttpExchangeError error;
  } rows[] = {
      {"file URL", {"GET", "file:///etc/passwd"}, HttpExchangeError::kInvalidUrl},
      {"ftp URL", {"GET", "ftp://127.0.0.1/"}, HttpExchangeError::kInvalidUrl},
      {"relative URL", {"GET", "/home/get/panel"}, HttpExchangeError::kInvalidUrl},
      {"method with a blank", {"GET /x", "http://127.0.0.1:1/"}, HttpExchangeError::kInvalidRequest},
      {"header value with a line break",
       {"GET", "http://127.0.0.1:1/", {{"X-A", "1\r\nX-Injected: 2"}}},
       HttpExchangeError::kInvalidRequest},
      {"header name with a colon", {"GET", "http://127.0.0.1:1/", {{"X:A", "1"}}}, HttpExchangeError::kInvalidRequest},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(RunHttpExchange(row.request).error, row.error) << row.name;
  }
}

TEST(HttpExchange, DelayedReplyTimesOutWithinTheBound) {
  LoopbackHttpServer server;
  server.SetReply("/slow", ScriptedReply{200, {}, "late", 20s});
  HttpExchangeRequest request = Get(server.Url("/slow"));
  request.timeouts = {300, 300, 300, 300};
  const auto start = std::chrono::steady_clock::now();
  const HttpExchangeResult result = RunHttpExchange(request);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.error, HttpExchangeError::kTimeout);
  EXPECT_TRUE(result.body.empty());
  // The receive phase is checked about once a second; the sum of the phases caps the whole.
  EXPECT_LT(elapsed, 3s);
}

TEST(HttpExchange, TimeOutsBecomeBoundsAPersonCanWaitFor) {
  const struct {
    const char* name;
    HttpTimeouts asked;
    HttpExchangeBounds expected;  // connect, send idle, receive idle, whole
  } rows[] = {
      {"all unset", {0, 0, 0, 0}, {10'000, 30'000, 30'000, 30'000}},
      {"-1 is unset", {-1, -1, -1, -1}, {10'000, 30'000, 30'000, 30'000}},
      {"the helper's default", {5000, 5000, 5000, 5000}, {10'000, 5000, 5000, 20'000}},
      {"the component's default", {0, 60'000, 30'000, 30'000}, {60'000, 30'000, 30'000, 120'000}},
      {"unset phases share 10 s", {0, 2000, 0, 3000}, {2000, 15'000, 3000, 15'000}},
      {"a set resolve adds to connecting", {4000, 0, 0, 0}, {14'000, 34'000, 34'000, 34'000}},
      {"never over two minutes", {600'000, 600'000, 600'000, 600'000}, {120'000, 120'000, 120'000, 120'000}},
  };
  for (const auto& row : rows) {
    const HttpExchangeBounds bounds = BoundsOf(row.asked);
    EXPECT_EQ(bounds.connectMs, row.expected.connectMs) << row.name;
    EXPECT_EQ(bounds.sendIdleMs, row.expected.sendIdleMs) << row.name;
    EXPECT_EQ(bounds.receiveIdleMs, row.expected.receiveIdleMs) << row.name;
    EXPECT_EQ(bounds.totalMs, row.expected.totalMs) << row.name;
  }
}

// A reply that trickles in keeps every phase busy; only the whole exchange's bound ends it.
TEST(HttpExchange, TricklingReplyIsCutOffAtTheWholeBound) {
  SlowHttpServer server(SlowHttpServer::Manner::kTrickling, 100ms);
  HttpExchangeRequest request = Get(server.Url("/trickle"));
  request.timeouts = {100, 200, 300, 400};  // the whole: 1 s
  const auto start = std::chrono::steady_clock::now();
  const HttpExchangeResult result = RunHttpExchange(request);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(result.error, HttpExchangeError::kTimeout);
  EXPECT_TRUE(result.body.empty());
  EXPECT_GE(elapsed, 900ms);
  EXPECT_LT(elapsed, 5s);
}

TEST(HttpExchange, RefusedPortFailsCleanly) {
  HttpExchangeRequest request = Get("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/");
  const HttpExchangeResult result = RunHttpExchange(request);
  EXPECT_EQ(result.error, HttpExchangeError::kCannotConnect);
  EXPECT_EQ(result.status, 0);
  EXPECT_TRUE(result.headerBlock.empty());
  EXPECT_TRUE(result.body.empty());
}

TEST(HttpExchange, CancelEndsARunningExchange) {
  LoopbackHttpServer server;
  server.SetReply("/slow", ScriptedReply{200, {}, "late", 20s});
  std::atomic<bool> cancel{false};
  HttpExchangeRequest request = Get(server.Url("/slow"));
  request.timeouts = {};
  request.cancel = &cancel;
  std::thread canceller([&cancel] {
    std::this_thread::sleep_for(200ms);
    cancel = true;
  });
  const auto start = std::chrono::steady_clock::now();
  const HttpExchangeResult result = RunHttpExchange(request);
  canceller.join();
  EXPECT_EQ(result.error, HttpExchangeError::kCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST(HttpExchange, NamedProxyCarriesTheRequestUnlessBypassed) {
  LoopbackHttpServer proxy;
  proxy.SetDefaultReply(ScriptedReply{200, {}, "via proxy"});
  LoopbackHttpServer direct;
  direct.SetReply("/x", ScriptedReply{200, {}, "direct"});

  HttpExchangeRequest request = Get("http://profile.example.invalid/home/get/panel?un=%61");
  request.proxy = "http=127.0.0.1:" + std::to_string(proxy.Port()) + ";https=127.0.0.1:1";
  const HttpExchangeResult viaProxy = RunHttpExchange(request);
  ASSERT_TRUE(viaProxy.ok()) << viaProxy.errorText;
  EXPECT_EQ(viaProxy.body, "via proxy");
  EXPECT_EQ(proxy.LastRequest().path, "http://profile.example.invalid/home/get/panel");

  request.url = direct.Url("/x");
  request.proxyBypass = "*.example.invalid;127.0.0.*";
  const HttpExchangeResult bypassed = RunHttpExchange(request);
  ASSERT_TRUE(bypassed.ok()) << bypassed.errorText;
  EXPECT_EQ(bypassed.body, "direct");
  EXPECT_EQ(proxy.RequestCount(), 1u);
}

}  // namespace
}  // namespace quorlin::platform
