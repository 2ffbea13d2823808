#include <gtest/gtest.h>

#include "platform/com/xmlhttp/proxy_setting.h"
#include "platform/com/xmlhttp/reply_text.h"

namespace quorlin::platform {
namespace {

TEST(NamedProxy, ChoosesTheEntryForTheScheme) {
  const struct {
    const char* list;
    const char* scheme;
    const char* proxy;
  } rows[] = {
      {"proxy:8080", "http", "http://proxy:8080"},
      {"proxy:8080", "https", "http://proxy:8080"},
      {"http://proxy:8080", "http", "http://proxy:8080"},
      {"http=one:80;https=two:443", "https", "http://two:443"},
      {"http=one:80 https=two:443", "http", "http://one:80"},
      {"https=two:443", "http", ""},
      {"ftp=x:21;general:3128", "http", "http://general:3128"},
      {"", "http", ""},
      {"HTTP=one:80", "http", "http://one:80"},
  };
  for (const auto& row : rows) EXPECT_EQ(ChooseNamedProxy(row.list, row.scheme), row.proxy) << row.list;
}

TEST(NamedProxy, BypassList) {
  const struct {
    const char* list;
    const char* host;
    bool bypassed;
  } rows[] = {
      {"<local>", "intranet", true},
      {"<local>", "www.example.com", false},
      {"*.example.com", "www.example.com", true},
      {"*.example.com", "example.com", false},
      {"127.0.0.*;localhost", "127.0.0.1", true},
      {"a.com, B.COM", "b.com", true},
      {"*", "anything", true},
      {"", "host", false},
      {"ex*le.c*m", "example.com", true},
  };
  for (const auto& row : rows) EXPECT_EQ(BypassesProxy(row.list, row.host), row.bypassed) << row.list << " " << row.host;
}

TEST(ReplyText, DecodesByCharsetAndByteOrderMark) {
  const struct {
    const char* name;
    std::string body;
    const char* charset;
    std::u16string text;
  } rows[] = {
      {"utf-8 by default", "\xE5\xBC\xA0\xE4\xB8\x89", "", u"张三"},
      {"gbk", "\xD5\xC5\xC8\xFD", "gbk", u"张三"},
      {"gb2312 decodes as gbk", "\xD5\xC5\xC8\xFD", "gb2312", u"张三"},
      {"gb18030 decodes as gbk", "\xD5\xC5", "gb18030", u"张"},
      {"latin-1", "caf\xE9", "iso-8859-1", u"caf\u00E9"},
      {"utf-8 mark wins over the charset", "\xEF\xBB\xBF\xE5\xBC\xA0", "gbk", u"张"},
      {"utf-16 little-endian mark", std::string("\xFF\xFE\x20\x5F", 4), "", u"张"},
      {"utf-16 big-endian mark", std::string("\xFE\xFF\x5F\x20", 4), "", u"张"},
      {"zero bytes are kept", std::string("a\0b", 3), "", std::u16string(u"a\0b", 3)},
      {"bad utf-8 becomes U+FFFD", "a\xFF", "utf-8", u"a\uFFFD"},
  };
  for (const auto& row : rows) EXPECT_EQ(DecodeReplyText(row.body, row.charset), row.text) << row.name;
}

TEST(ReplyText, HeaderBytesAreNeverLost) {
  EXPECT_EQ(DecodeHeaderText("a=1; path=/"), u"a=1; path=/");
  EXPECT_EQ(DecodeHeaderText("name=\xE5\xBC\xA0"), u"name=张");
  EXPECT_EQ(DecodeHeaderText("name=\xD5\xC5"), u"name=\u00D5\u00C5");  // not UTF-8: byte for byte
}

}  // namespace
}  // namespace quorlin::platform
