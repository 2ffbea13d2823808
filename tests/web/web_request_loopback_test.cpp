// WebRequest through the real XML-HTTP component against the loopback HTTP server.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/web/web_request.h"
#include "platform/com/xmlhttp/server_xml_http.h"
#include "tests/support/loopback_http_server.h"
#include "tests/web/web_test_kernel.h"

namespace quorlin::testing {
namespace {

using app::OwnedText;
using app::web::WebRequest;
using app::web::WebRequestText;

class WebRequestLoopbackTest : public WebKernelTest {
 protected:
  void SetUp() override {
    platform::RegisterComClass("MSXML2.ServerXMLHTTP.6.0", platform::kServerXmlHttp60Clsid,
                               &platform::CreateServerXmlHttp);
    platform::RegisterComClass("MSXML2.ServerXMLHTTP.3.0", platform::kServerXmlHttp30Clsid,
                               &platform::CreateServerXmlHttp);
    server_ = std::make_unique<LoopbackHttpServer>();
  }
  void TearDown() override { server_.reset(); }

  LoopbackHttpServer& Server() { return *server_; }

 private:
  std::unique_ptr<LoopbackHttpServer> server_;
};

TEST_F(WebRequestLoopbackTest, ZeroBytesInTheBody) {
  const std::string body("GIF\0\x01\0end", 9);
  Server().SetReply("/sys/portraitl/item/x", ScriptedReply{.headers = {{"Content-Type", "image/gif"}}, .body = body});
  const std::string url = Server().Url("/sys/portraitl/item/x");
  EXPECT_EQ(Of(WebRequest({.url = url.c_str()})), body);
  EXPECT_EQ(Of(WebRequestText({.url = url.c_str()})), "GIF");
}

TEST_F(WebRequestLoopbackTest, TheRequestAsTheServerReceivesIt) {
  Server().SetReply("/form", ScriptedReply{.body = "ok"});
  const std::string url = Server().Url("/form?q=1");
  OwnedText method = Text("post");
  WebRequest({.url = url.c_str(), .method = &method, .body = "a=1&b=2", .cookies = "sid=42"});
  const RecordedRequest request = Server().LastRequest();
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/form");
  EXPECT_EQ(request.query, "q=1");
  EXPECT_EQ(request.body, "a=1&b=2");
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(request.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");
  EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.Header("Cache-Control"), "no-cache");
  EXPECT_EQ(request.Header("Cookie"), "sid=42");
  EXPECT_EQ(request.HeaderCount("Accept"), 1u);
}

TEST_F(WebRequestLoopbackTest, ReplyHeadersAndCookies) {
  Server().SetReply("/login", ScriptedReply{.headers = {{"Set-Cookie", "a=1; Path=/"},
                                                        {"Set-Cookie", "b=2; HttpOnly"},
                                                        {"X-Note", "plain"}},
                                            .body = "welcome"});
  const std::string url = Server().Url("/login");
  OwnedText headers, cookies;
  const OwnedText body = WebRequestText({.url = url.c_str(), .replyHeaders = &headers, .replyCookies = &cookies});
  EXPECT_EQ(Of(body), "welcome");
  EXPECT_EQ(Of(cookies), "a=1; b=2; ");
  EXPECT_NE(Of(headers).find("Set-Cookie: a=1; Path=/\r\n"), std::string::npos) << Of(headers);
  EXPECT_NE(Of(headers).find("X-Note: plain"), std::string::npos) << Of(headers);
}

TEST_F(WebRequestLoopbackTest, AnErrorStatusStillGivesItsBody) {
  Server().SetReply("/missing", ScriptedReply{.status = 404, .body = "no such member"});
  const std::string url = Server().Url("/missing");
  EXPECT_EQ(Of(WebRequest({.url = url.c_str()})), "no such member");
}

TEST_F(WebRequestLoopbackTest, NoServerGivesEmptyResults) {
  std::string url;
  {
    LoopbackHttpServer closed;
    url = closed.Url("/gone");
  }
  OwnedText headers = Text("old"), cookies = Text("old");
  const app::OwnedBytes body =
      WebRequest({.url = url.c_str(), .timeout = 2000, .replyHeaders = &headers, .replyCookies = &cookies});
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(headers.get(), nullptr);
  EXPECT_EQ(cookies.get(), nullptr);
}

}  // namespace
}  // namespace quorlin::testing

