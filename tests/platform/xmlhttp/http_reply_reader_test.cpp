#include "platform/com/xmlhttp/http_reply_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorlin::platform {
namespace {

HttpReplyReader Read(const std::vector<std::string>& lines) {
  HttpReplyReader reader;
  for (const std::string& line : lines) EXPECT_TRUE(reader.AddHeaderLine(line)) << line;
  return reader;
}

TEST(HttpReplyReader, StatusLines) {
  const struct {
    const char* line;
    int status;
    const char* text;
  } rows[] = {
      {"HTTP/1.1 200 OK\r\n", 200, "OK"},
      {"HTTP/1.0 404 Not Found\r\n", 404, "Not Found"},
      {"HTTP/2 200 \r\n", 200, ""},
      {"HTTP/1.1 500\r\n", 500, ""},
      {"HTTP/1.1 2000 Big\r\n", 0, ""},
      {"HTTP/1.1 20 Short\r\n", 0, ""},
      {"HTTP/1.1 abc Letters\r\n", 0, ""},
      {"HTTP/1.1\r\n", 0, ""},
  };
  for (const auto& row : rows) {
    const HttpReplyReader reader = Read({row.line});
    EXPECT_EQ(reader.Status(), row.status) << row.line;
    EXPECT_EQ(reader.StatusText(), row.text) << row.line;
  }
}

TEST(HttpReplyReader, OnlyTheLastResponseCounts) {
  HttpReplyReader reader = Read({"HTTP/1.1 100 Continue\r\n", "\r\n", "HTTP/1.1 302 Found\r\n", "Location: /b\r\n",
                                 "Set-Cookie: old=1\r\n", "\r\n", "HTTP/1.1 200 OK\r\n", "Set-Cookie: a=1; path=/\r\n",
                                 "Set-Cookie: b=2\r\n", "\r\n"});
  EXPECT_EQ(reader.Status(), 200);
  EXPECT_EQ(reader.HeaderBlock(), "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n");
  EXPECT_EQ(reader.HeaderValue("set-cookie"), "a=1; path=/, b=2");
  EXPECT_FALSE(reader.HasHeader("Location"));
}

TEST(HttpReplyReader, HeaderLinesAreNormalisedAndCannotForgeLines) {
  HttpReplyReader reader = Read({"HTTP/1.1 200 OK\r\n", "X-Spaced:   padded value  \r\n", "X-Folded: first\r\n",
                                 "\t second\r\n", "no colon here\r\n", ": no name\r\n", "X-Sneaky: a\rb\nSet-Cookie: c=3\r\n",
                                 "X-Empty:\r\n"});
  EXPECT_EQ(reader.HeaderBlock(),
            "X-Spaced: padded value\r\nX-Folded: first second\r\nX-Sneaky: a b Set-Cookie: c=3\r\nX-Empty: \r\n");
  EXPECT_TRUE(reader.HasHeader("x-empty"));
  EXPECT_EQ(reader.HeaderValue("Set-Cookie"), "");
}

TEST(HttpReplyReader, Charset) {
  const struct {
    const char* contentType;
    const char* charset;
  } rows[] = {
      {"text/html; charset=GBK", "gbk"},
      {"text/html;charset=\"UTF-8\"", "utf-8"},
      {"text/plain; format=flowed; Charset = gb2312 ", "gb2312"},
      {"application/json", ""},
      {"text/html; charsetx=gbk", ""},
  };
  for (const auto& row : rows) {
    const HttpReplyReader reader = Read({"HTTP/1.1 200 OK", std::string("Content-Type: ") + row.contentType});
    EXPECT_EQ(reader.Charset(), row.charset) << row.contentType;
  }
  EXPECT_EQ(Read({"HTTP/1.1 200 OK"}).Charset(), "");
}

TEST(HttpReplyReader, LimitsRefuseRatherThanCut) {
  HttpReplyReader reader;
  ASSERT_TRUE(reader.AddHeaderLine("HTTP/1.1 200 OK"));
  const std::string line = "X-Long: " + std::string(HttpReplyReader::kHeaderBytesLimit / 4, 'v');
  bool accepted = true;
  for (int i = 0; i < 8 && accepted; ++i) accepted = reader.AddHeaderLine(line);
  EXPECT_FALSE(accepted);

  HttpReplyReader manyLines;
  accepted = true;
  for (size_t i = 0; i <= HttpReplyReader::kHeaderLineLimit && accepted; ++i) accepted = manyLines.AddHeaderLine("A: 1");
  EXPECT_FALSE(accepted);

  HttpReplyReader body;
  const std::string chunk(HttpReplyReader::kBodyLimit / 2, 'b');
  EXPECT_TRUE(body.AddBodyBytes(chunk));
  EXPECT_TRUE(body.AddBodyBytes(chunk));
  EXPECT_FALSE(body.AddBodyBytes("x"));
  EXPECT_EQ(body.Body().size(), HttpReplyReader::kBodyLimit);
}

}  // namespace
}  // namespace quorlin::platform
