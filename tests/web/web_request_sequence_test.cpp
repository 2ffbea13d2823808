// WebRequest against a recording stand-in of the XML-HTTP component: the member sequence,
// the arguments and what comes back to the caller's variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/web/web_request.h"
#include "tests/web/recording_http_component.h"
#include "tests/web/web_test_kernel.h"

namespace quorlin::testing {
namespace {

using app::OwnedText;
using app::web::WebRequest;
using app::web::WebRequestArguments;
using app::web::WebRequestText;
using Calls = std::vector<std::string>;

constexpr char kUrl[] = "http://example.test/home/get/panel?ie=utf-8&un=x";
const std::string kOpenGet = std::string("open(GET,") + kUrl + ",false)";
const std::string kAccept = "setRequestHeader(Accept,*/*)";
const std::string kAcceptLanguage = "setRequestHeader(Accept-language,zh-cn)";
const std::string kUserAgent = "setRequestHeader(User-Agent,Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1))";
const std::string kContentType = "setRequestHeader(Content-Type,application/x-www-form-urlencoded)";
const std::string kConnection = "setRequestHeader(Connection,Keep-Alive)";
const std::string kCacheControl = "setRequestHeader(Cache-Control,no-cache)";
const std::string kWait = "waitForResponse(1)";
const Calls kReplySide = {kWait, "getAllResponseHeaders()", "responseBody()"};

class WebRequestSequenceTest : public WebKernelTest {
 protected:
  void SetUp() override {
    RecordedCalls().clear();
    Script() = {};
    RegisterRecorder("MSXML2.ServerXMLHTTP.6.0");
    HideProgId("MSXML2.ServerXMLHTTP.3.0");
  }
  void TearDown() override { UnregisterRecorder(); }

  static Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }
  // The calls between open/setTimeouts and send: the request headers (and the cookie).
  static Calls HeaderCalls() {
    Calls headers;
    for (const std::string& call : RecordedCalls()) {
      if (call.starts_with("setRequestHeader(")) headers.push_back(call);
    }
    return headers;
  }
  static std::string SendCall() {
    for (const std::string& call : RecordedCalls()) {
      if (call.starts_with("send(")) return call;
    }
    return {};
  }
};

TEST_F(WebRequestSequenceTest, TheUrlAloneSendsTheSixDefaultHeadersAnd5000ms) {
  Script().replyBody = "body";
  const app::OwnedBytes body = WebRequest({.url = kUrl});
  EXPECT_EQ(Of(body), "body");
  EXPECT_EQ(RecordedCalls(), Join({{kOpenGet, "setTimeouts(5000,5000,5000,5000)", kAccept, kAcceptLanguage, kUserAgent,
                                    kContentType, kConnection, kCacheControl, "send()"},
                                   kReplySide}));
}

TEST_F(WebRequestSequenceTest, WebRequestTextPassesLeftOutArgumentsAsSupplied) {
  Script().replyBody = std::string("text\0after", 10);
  const OwnedText text = WebRequestText({.url = kUrl});
  EXPECT_EQ(Of(text), "text");
  EXPECT_EQ(RecordedCalls(), Join({{kOpenGet, "setTimeouts(0,0,0,0)", kAccept, kAcceptLanguage, kContentType, kUserAgent,
                                    "send()"},
                                   kReplySide}));
}

TEST_F(WebRequestSequenceTest, TimeoutGivenAsZeroStaysZero) {
  WebRequest({.url = kUrl, .timeout = 0});
  EXPECT_EQ(RecordedCalls()[1], "setTimeouts(0,0,0,0)");
  RecordedCalls().clear();
  WebRequest({.url = kUrl, .timeout = 1234});
  EXPECT_EQ(RecordedCalls()[1], "setTimeouts(1234,1234,1234,1234)");
}

TEST_F(WebRequestSequenceTest, TheMethodIsNormalisedAndWrittenBack) {
  struct Row {
    std::string given, sent, writtenBack;
  };
  const Row rows[] = {
      {"", "GET", "GET"}, {"post", "POST", "POST"}, {"Get", "GET", "GET"}, {"PUT", "POST", "PUT"}, {"head", "POST", "HEAD"},
  };
  for (const Row& row : rows) {
    RecordedCalls().clear();
    OwnedText method = Text(row.given);
    WebRequest({.url = kUrl, .method = &method, .body = "a=1"});
    EXPECT_EQ(RecordedCalls()[0], "open(" + row.sent + "," + kUrl + ",false)") << row.given;
    EXPECT_EQ(Of(method), row.writtenBack) << row.given;
    EXPECT_EQ(SendCall(), "send(a=1)");
  }
}

TEST_F(WebRequestSequenceTest, GivenHeaderLinesThenTheFillIns) {
  struct Row {
    const char* note;
    std::string headers;
    Calls expected;
  };
  const Row rows[] = {
      {"empty header text: the four fill-ins", "", {kAccept, kAcceptLanguage, kContentType, kUserAgent}},
      {"value keeps inner colons and loses outer spaces",
       "Referer:  a:b ",
       {"setRequestHeader(Referer,a:b)", kAccept, kAcceptLanguage, kContentType, kUserAgent}},
      {"lines without a value, without a colon and empty lines are skipped",
       "X-Empty:\r\nno colon\r\n\r\nX-Kept: 1",
       {"setRequestHeader(X-Kept,1)", kAccept, kAcceptLanguage, kContentType, kUserAgent}},
      {"the fill-in test is case-sensitive",
       "accept: text/html\r\nAccept-Language: en",
       {"setRequestHeader(accept,text/html)", "setRequestHeader(Accept-Language,en)", kAccept, kContentType, kUserAgent}},
      {"Accept-language with a lower-case l does not suppress its fill-in",
       "Accept-language: en",
       {"setRequestHeader(Accept-language,en)", kAccept, kAcceptLanguage, kContentType, kUserAgent}},
      {"named headers suppress their fill-ins",
       "Accept: a/b\r\nContent-Type: text/plain\r\nUser-Agent: q",
       {"setRequestHeader(Accept,a/b)", "setRequestHeader(Content-Type,text/plain)", "setRequestHeader(User-Agent,q)",
        kAcceptLanguage}},
      {"the name is not trimmed", " X : y", {"setRequestHeader( X ,y)", kAccept, kAcceptLanguage, kContentType, kUserAgent}},
  };
  for (const Row& row : rows) {
    RecordedCalls().clear();
    const OwnedText headers = Text(row.headers);
    WebRequest({.url = kUrl, .headers = headers.get()});
    EXPECT_EQ(HeaderCalls(), row.expected) << row.note;
  }
}

TEST_F(WebRequestSequenceTest, ProxyAndCookieOnlyWhenNotEmpty) {
  WebRequest({.url = kUrl, .proxy = "127.0.0.1:3128", .cookies = "k=v; j=w"});
  EXPECT_EQ(RecordedCalls()[0], "setProxy(2,127.0.0.1:3128)");
  EXPECT_EQ(RecordedCalls()[1], kOpenGet);
  EXPECT_EQ(HeaderCalls().back(), "setRequestHeader(Cookie,k=v; j=w)");

  RecordedCalls().clear();
  WebRequest({.url = kUrl, .proxy = "", .cookies = ""});
  EXPECT_EQ(RecordedCalls()[0], kOpenGet);
  EXPECT_EQ(HeaderCalls().back(), kCacheControl);
}

TEST_F(WebRequestSequenceTest, WaitForResponseAtMostFiveTimes) {
  Script().waitFalseCount = 2;
  WebRequest({.url = kUrl});
  EXPECT_EQ(std::count(RecordedCalls().begin(), RecordedCalls().end(), kWait), 3);

  RecordedCalls().clear();
  Script().waitFalseCount = 100;
  WebRequest({.url = kUrl});
  EXPECT_EQ(std::count(RecordedCalls().begin(), RecordedCalls().end(), kWait), 5);
  EXPECT_EQ(RecordedCalls().back(), "responseBody()");
}

TEST_F(WebRequestSequenceTest, ReplyHeadersAndCookies) {
  struct Row {
    const char* note;
    std::string headers;
    std::string cookies;
  };
  const Row rows[] = {
      {"two cookies with attributes",
       "Content-Type: text/html\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie:b=2 ; HttpOnly\r\nServer: x",
       "a=1; b=2; "},
      {"a cookie line without a semicolon gives a bare entry", "Set-Cookie: c=3\r\nSet-Cookie: d=4;", "; d=4; "},
      {"no cookie lines", "Content-Type: text/html\r\n", ""},
      {"no headers at all", "", ""},
  };
  for (const Row& row : rows) {
    Script().replyHeaders = row.headers;
    OwnedText replyHeaders = Text("before");
    OwnedText replyCookies = Text("before");
    WebRequest({.url = kUrl, .cookies = "sent=1", .replyHeaders = &replyHeaders, .replyCookies = &replyCookies});
    EXPECT_EQ(Of(replyHeaders), row.headers) << row.note;
    EXPECT_EQ(Of(replyCookies), row.cookies) << row.note;
  }
}

TEST_F(WebRequestSequenceTest, TheBodyKeepsItsZeroBytes) {
  Script().replyBody = std::string("\x89PNG\0\0\x01", 7);
  EXPECT_EQ(Of(WebRequest({.url = kUrl})), Script().replyBody);
  Script().replyBody.clear();
  EXPECT_TRUE(WebRequest({.url = kUrl}).empty());
}

TEST_F(WebRequestSequenceTest, The30ProgIdWhenThe60OneIsMissing) {
  RegisterRecorder("MSXML2.ServerXMLHTTP.3.0");
  HideProgId("MSXML2.ServerXMLHTTP.6.0");
  Script().replyBody = "from 3.0";
  EXPECT_EQ(Of(WebRequest({.url = kUrl})), "from 3.0");
  EXPECT_EQ(RecordedCalls().front(), kOpenGet);
}

TEST_F(WebRequestSequenceTest, NoComponentLeavesTheVariablesAsTheyWere) {
  HideProgId("MSXML2.ServerXMLHTTP.6.0");
  HideProgId("MSXML2.ServerXMLHTTP.3.0");
  OwnedText method = Text("post");
  OwnedText replyHeaders = Text("old headers");
  OwnedText replyCookies = Text("old=1; ");
  const app::OwnedBytes body = WebRequest({.url = kUrl, .method = &method, .replyHeaders = &replyHeaders,
                                           .replyCookies = &replyCookies});
  EXPECT_TRUE(body.empty());
  EXPECT_TRUE(RecordedCalls().empty());
  EXPECT_EQ(Of(method), "post");
  EXPECT_EQ(Of(replyHeaders), "old headers");
  EXPECT_EQ(Of(replyCookies), "old=1; ");
}

}  // namespace
}  // namespace quorlin::testing
