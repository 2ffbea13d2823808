// The demo profile service: its query reading and member file, and the program itself run as a
// child process and asked the way the card tool asks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/com/xmlhttp/http_exchange.h"
#include "tests/support/background_program.h"
#include "tests/support/child_process.h"
#include "tools/profile_service/member_directory.h"
#include "tools/profile_service/profile_replies.h"
#include "tools/profile_service/service_options.h"

namespace quorlin::profile_service {
namespace {

// What the card tool takes out of a reply: the text between a start and an end marker.
std::string TextBetween(const std::string& text, const std::string& start, const std::string& end) {
  const size_t from = text.find(start);
  if (from == std::string::npos) return {};
  const size_t to = text.find(end, from + start.size());
  return to == std::string::npos ? std::string() : text.substr(from + start.size(), to - from - start.size());
}

std::string PercentEncodeAll(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : bytes) {
    encoded += '%';
    encoded += digits[c >> 4];
    encoded += digits[c & 15];
  }
  return encoded;
}

class TemporaryFolder {
 public:
  TemporaryFolder() {
    char pattern[] = "/tmp/quorlin-profile-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TemporaryFolder() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

 private:
  std::string path_;
};

TEST(ProfileServiceQuery, PercentDecodingAndKeys) {
  EXPECT_EQ(PercentDecode("%D5%c5%C8%FD"), "\xD5\xC5\xC8\xFD");
  EXPECT_EQ(PercentDecode("a+b%20c"), "a b c");
  EXPECT_EQ(PercentDecode("100%"), "100%");
  EXPECT_EQ(PercentDecode("%G1%4"), "%G1%4");
  EXPECT_EQ(PercentDecode("%00"), std::string(1, '\0'));
  EXPECT_EQ(QueryValue("ie=utf-8&un=%61%62%63", "un"), "abc");
  EXPECT_EQ(QueryValue("un=first&un=second", "un"), "first");
  EXPECT_EQ(QueryValue("ie=utf-8&un", "un"), "");
  EXPECT_EQ(QueryValue("ie=utf-8", "un"), std::nullopt);
  EXPECT_EQ(QueryValue("", "un"), std::nullopt);
}

TEST(ProfileServiceReplies, FieldsSitWhereTheCardToolLooks) {
  const MemberDirectory members = MemberDirectory::BuiltIn();
  const Member* zhangsan = members.FindByName("\xD5\xC5\xC8\xFD");  // 张三 in GBK
  ASSERT_NE(zhangsan, nullptr);
  EXPECT_EQ(members.FindByName("张三"), zhangsan);  // the same name as UTF-8 bytes
  const std::string reply = PanelReply(*zhangsan);
  EXPECT_EQ(TextBetween(reply, "portrait\":\"", "\""), zhangsan->portrait);
  EXPECT_EQ(TextBetween(reply, "tb_age\":\"", "\""), "2.5");
  EXPECT_NE(reply.find("\"name\":\"\\u5f20\\u4e09\""), std::string::npos) << reply;

  Member bare;
  bare.utf8Name = "seven";
  bare.portrait = "p7";
  bare.age = "7";
  bare.bareAge = true;
  const std::string bareReply = PanelReply(bare);
  EXPECT_EQ(TextBetween(bareReply, "tb_age\":\"", "\""), "");
  EXPECT_EQ(TextBetween(bareReply, "tb_age\":", ","), "7");

  const std::string unknown = UnknownMemberReply();
  EXPECT_EQ(unknown.find("portrait"), std::string::npos);
  EXPECT_EQ(unknown.find("tb_age"), std::string::npos);
  EXPECT_NE(unknown.find("\"no\":404"), std::string::npos);
}

TEST(ProfileServiceMembers, FileRowsAndTheirErrors) {
  TemporaryFolder folder;
  folder.Write("face.jpg", "\xFF\xD8\xFF\xE0 not really a jpeg");
  MemberDirectory members = MemberDirectory::BuiltIn();
  std::string error;
  ASSERT_TRUE(members.LoadText("# comment\n\n王五\tdemo.wangwu\t4.0\tface.jpg\r\nabc\tdemo.new-abc\tbare:9\n",
                               folder.Path(), &error))
      << error;
  const Member* wangwu = members.FindByName("\xCD\xF5\xCE\xE5");
  ASSERT_NE(wangwu, nullptr);
  EXPECT_EQ(wangwu->pictureType, "image/jpeg");
  const Member* abc = members.FindByName("abc");
  ASSERT_NE(abc, nullptr);
  EXPECT_EQ(abc->portrait, "demo.new-abc");
  EXPECT_TRUE(abc->bareAge);
  EXPECT_EQ(members.FindByPortrait("demo.abc"), nullptr);  // replaced with its member

  const struct {
    const char* text;
    const char* reason;
  } bad[] = {
      {"onlyname\n", "line 1"},
      {"n\tp\t1\tx\ty\n", "line 1"},
      {"\n#\nn\tp/../x\t1\n", "line 3"},
      {"n\tp\tthree\n", "age"},
      {"n\tp\t1\tmissing.png\n", "picture"},
  };
  for (const auto& row : bad) {
    MemberDirectory directory;
    EXPECT_FALSE(directory.LoadText(row.text, "/nonexistent", &error)) << row.text;
    EXPECT_NE(error.find(row.reason), std::string::npos) << error;
  }
}

TEST(ProfileServiceOptions, ByDefaultItListensWhereTheCardToolLooks) {
  std::string error;
  const auto defaults = ParseServiceOptions(0, nullptr, &error);
  ASSERT_TRUE(defaults) << error;
  EXPECT_EQ(defaults->bindAddress + ":" + std::to_string(defaults->port), app::kBundledServiceAddress);

  const char* const ephemeral[] = {"--port", "0"};
  EXPECT_EQ(ParseServiceOptions(2, ephemeral, &error)->port, 0);
  const char* const tooLarge[] = {"--port", "65536"};
  EXPECT_FALSE(ParseServiceOptions(2, tooLarge, &error));
}

class ProfileServiceProgram : public ::testing::Test {
 protected:
  static std::string Fetch(int port, const std::string& pathAndQuery, std::string* contentType = nullptr,
                           int* status = nullptr) {
    platform::HttpExchangeRequest request;
    request.method = "GET";
    request.url = "http://127.0.0.1:" + std::to_string(port) + pathAndQuery;
    request.timeouts = {2000, 2000, 2000, 2000};
    const platform::HttpExchangeResult result = platform::RunHttpExchange(request);
    EXPECT_TRUE(result.ok()) << result.errorText;
    if (status) *status = result.status;
    if (contentType) {
      const size_t at = result.headerBlock.find("Content-Type: ");
      *contentType = at == std::string::npos ? "" : result.headerBlock.substr(at + 14, result.headerBlock.find("\r\n", at) - at - 14);
    }
    return result.body;
  }
};

TEST_F(ProfileServiceProgram, AnswersKnownAndUnknownMembersAndPortraits) {
  TemporaryFolder folder;
  const std::string members = folder.Write("members.txt", "赵六\tdemo.zhaoliu\t1.5\n");
  std::string error;
  auto service = testing::BackgroundProgram::Start(QUORLIN_PROFILE_SERVICE, {"--port", "0", "--members", members},
                                                   "listening on ", &error);
  ASSERT_TRUE(service) << error;
  const int port = service->ReadyPort();
  ASSERT_GT(port, 0) << service->ReadyLine();
  EXPECT_EQ(service->ReadyLine(), "listening on 127.0.0.1:" + std::to_string(port));

  const std::string known = Fetch(port, "/home/get/panel?ie=utf-8&un=" + PercentEncodeAll("\xD5\xD4\xC1\xF9"));  // 赵六
  EXPECT_EQ(TextBetween(known, "tb_age\":\"", "\""), "1.5") << known;
  const std::string portrait = TextBetween(known, "portrait\":\"", "\"");
  EXPECT_EQ(portrait, "demo.zhaoliu");

  const std::string ascii = Fetch(port, "/home/get/panel?ie=utf-8&un=%61%62%63");
  EXPECT_EQ(TextBetween(ascii, "tb_age\":\"", "\""), "3.5");

  const std::string unknown = Fetch(port, "/home/get/panel?ie=utf-8&un=%6E%6F%62%6F%64%79");
  EXPECT_EQ(TextBetween(unknown, "portrait\":\"", "\""), "");
  EXPECT_EQ(TextBetween(unknown, "tb_age\":", ","), "");

  std::string type;
  const std::string picture = Fetch(port, "/sys/portraitl/item/" + portrait, &type);
  EXPECT_EQ(type, "image/png");
  ASSERT_GT(picture.size(), 24u);
  EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(picture.substr(16, 8), std::string("\0\0\0\x6E\0\0\0\x6E", 8));  // 110 × 110
  EXPECT_NE(Fetch(port, "/sys/portraitl/item/demo.abc"), picture);

  int status = 0;
  Fetch(port, "/sys/portraitl/item/", nullptr, &status);
  EXPECT_EQ(status, 404);
  Fetch(port, "/home/get/panel?un=" + std::string(5000, 'a'), nullptr, &status);
  EXPECT_EQ(status, 414);

  EXPECT_EQ(service->Stop(), 0);
}

TEST_F(ProfileServiceProgram, RefusesBadArgumentsAndMemberFiles) {
  TemporaryFolder folder;
  const std::string badMembers = folder.Write("bad.txt", "name-without-fields\n");
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } rows[] = {
      {{"--port", "70000"}, "--port"},
      {{"--colour", "red"}, "unknown option"},
      {{"--members"}, "needs a value"},
      {{"--members", badMembers}, "line 1"},
      {{"--members", "/nonexistent/members.txt"}, "cannot read"},
  };
  for (const auto& row : rows) {
    const auto result = testing::RunInChild([&row] {
      std::vector<char*> argv{const_cast<char*>(QUORLIN_PROFILE_SERVICE)};
      for (const std::string& argument : row.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 2) << row.message;
    EXPECT_NE(result.standardError.find(row.message), std::string::npos) << result.standardError;
  }
}

}  // namespace
}  // namespace quorlin::profile_service
