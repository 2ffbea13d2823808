// The portrait identifier and the forum age taken out of profile replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/card/profile_reply.h"

namespace quorlin::app {
namespace {

TEST(ProfileReply, PortraitAndAgeComeFromBetweenTheirMarkers) {
  struct Row {
    const char* note;
    std::string reply;
    std::string portrait;
    std::string age;
  };
  const std::vector<Row> rows = {
      {"quoted age", R"({"data":{"portrait":"p.1.abc","tb_age":"2.5","x":1}})", "p.1.abc", "2.5"},
      {"bare age", R"({"portrait":"p1","tb_age":7,"post_num":3})", "p1", "7"},
      {"neither age form", R"({"portrait":"p1"})", "p1", ""},
      {"empty quoted age: the bare form takes the quotes", R"({"tb_age":"","portrait":"p"})", "p", R"("")"},
      {"the first portrait counts", R"({"portrait":"first","other":{"portrait":"second"}})", "first", ""},
      {"no closing quote", R"({"portrait":"open)", "", ""},
      {"an empty reply", "", "", ""},
  };
  for (const Row& row : rows) {
    const char* reply = row.reply.empty() ? nullptr : row.reply.c_str();
    EXPECT_EQ(PortraitOf(reply).view(), row.portrait) << row.note;
    EXPECT_EQ(ForumAgeOf(reply).view(), row.age) << row.note;
  }
}

}  // namespace
}  // namespace quorlin::app
