// The profile request exactly as the program sends it, against a capturing server that, unlike
// the demo service, knows its members only by their names in the system code page and refuses
// a name sent as UTF-8.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/card_fixture.h"
#include "tests/support/loopback_http_server.h"

namespace quorlin::testing {
namespace {

// 星河 in the system code page, percent-encoded as the program sends it.
constexpr const char* kEncodedGbkName = "%D0%C7%BA%D3";
constexpr const char* kPortrait = "demo.capture";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Whether the bytes are UTF-8 holding at least one character beyond ASCII.
bool IsMultiByteUtf8(const std::string& bytes) {
  bool beyondAscii = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    beyondAscii = beyondAscii || length > 1;
    i += length;
  }
  return beyondAscii;
}

ScriptedReply ProfileOf(const RecordedRequest& request) {
  const std::string key = "un=";
  const size_t at = request.query.find(key);
  const std::string name = at == std::string::npos ? "" : PercentDecoded(request.query.substr(at + key.size()));
  if (IsMultiByteUtf8(name)) return {.status = 404, .body = "{\"error\":\"names are taken in the system code page\"}"};
  if (name != "\xD0\xC7\xBA\xD3") return {.status = 404, .body = "{\"error\":\"no such member\"}"};
  return {.body = std::string("{\"data\":{\"portrait\":\"") + kPortrait + "\",\"tb_age\":\"4.5\",\"name\":\"x\"}}"};
}

TEST_F(CardEndToEnd, TheProfileRequestCarriesTheGbkNameAndExactlyFourHeaders) {
  LoopbackHttpServer server;
  server.SetReply("/home/get/panel", ReplyFunction(&ProfileOf));
  server.SetReply(std::string("/sys/portraitl/item/") + kPortrait, ScriptedReply{.body = SolidBmp(10, 10, 0x0000FF)});
  const ChildResult result = program_.Run(CardScript("星河"), "127.0.0.1:" + std::to_string(server.Port()));
  ExpectCleanEnd(result);

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  const RecordedRequest& profile = requests[0];
  EXPECT_EQ(profile.method, "GET");
  EXPECT_EQ(profile.path, "/home/get/panel");
  EXPECT_EQ(profile.query, std::string("ie=utf-8&un=") + kEncodedGbkName);
  HeaderLines sent;
  for (const auto& header : profile.headers) {
    if (header.first != "Host") sent.push_back(header);
  }
  EXPECT_EQ(sent, (HeaderLines{{"Accept", "*/*"},
                               {"Accept-language", "zh-cn"},
                               {"Content-Type", "application/x-www-form-urlencoded"},
                               {"User-Agent", "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)"}}));
  EXPECT_EQ(profile.HeaderCount("Host"), 1u);
  EXPECT_EQ(requests[1].path, std::string("/sys/portraitl/item/") + kPortrait);

  // The server's answer reached the card: its portrait and an age line.
  const BmpPicture card = Shot();
  EXPECT_EQ(card.At(300, 170), 0x0000FFu);
  EXPECT_GT(LightPixels(card, 120, 307, 460, 340), 30);
}

TEST(CapturingProfileServer, RefusesANameSentAsUtf8) {
  RecordedRequest utf8;
  utf8.query = "ie=utf-8&un=%E6%98%9F%E6%B2%B3";
  EXPECT_EQ(ProfileOf(utf8).status, 404);
  RecordedRequest gbk;
  gbk.query = std::string("ie=utf-8&un=") + kEncodedGbkName;
  EXPECT_EQ(ProfileOf(gbk).status, 200);
}

}  // namespace
}  // namespace quorlin::testing
