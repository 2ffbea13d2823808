// The card while its requests wait, end to end on the headless display: the window is shown
// and painted during the wait while what the user does waits for the request's end, in order;
// and a profile request that brings back nothing gives a card on screen that is not saved.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/card_fixture.h"
#include "tests/e2e/card_program.h"
#include "tests/support/loopback_http_server.h"

namespace quorlin::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kProfilePath = "/home/get/panel";
constexpr const char* kPortraitPath = "/sys/portraitl/item/p.waiting";
constexpr uint32_t kPortraitRgb = 0x10A040;
constexpr uint32_t kLocalRgb = 0x2040E0;
const std::string kProfileBody = R"({"no":0,"data":{"name":"waiting","portrait":"p.waiting","tb_age":"4.5"}})";
const std::string kFetchFailedLine = "msgbox 信息： | 获取资料失败\n";

std::vector<std::string> PathsOf(const std::vector<RecordedRequest>& requests) {
  std::vector<std::string> paths;
  for (const RecordedRequest& request : requests) paths.push_back(request.path + "?" + request.query);
  return paths;
}

size_t SavedFiles(const std::filesystem::path& root) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string name = entry.path().filename().string();
    count += (name.ends_with(".jpg") || name.ends_with(".png")) ? 1 : 0;
  }
  return count;
}

class WaitingCard : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.SetReply(kPortraitPath, ScriptedReply{200, {}, SolidBmp(134, 134, kPortraitRgb)});
  }

  ChildResult Run(const std::string& script, const std::string& host = "") const {
    return program_.Run(script, host.empty() ? "127.0.0.1:" + std::to_string(server_.Port()) : host);
  }
  BmpPicture Shot(const std::string& name) const { return ReadBmp(program_.ReadFile(name)); }

  static void ExpectCleanEnd(const ChildResult& result) {
    ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
  }

  // The card was drawn: the ID line and the age line in light text on the dark background.
  static void ExpectTexts(const BmpPicture& card) {
    ASSERT_EQ(card.width, 580);
    EXPECT_GT(LightPixels(card, 120, 262, 460, 300), 30);
    EXPECT_GT(LightPixels(card, 120, 307, 460, 340), 10);
  }

  CardProgram program_;
  LoopbackHttpServer server_;
};

TEST_F(WaitingCard, TheWindowLivesWhileTheProfileIsHeldAndInputComesAfterInOrder) {
  server_.SetReply(kProfilePath, ScriptedReply{200, {}, kProfileBody, 3s});
  const ChildResult result = Run(
      "shot before.bmp 画板2\n"
      "focus 编辑框1\ntype abc\nclick 按钮1\n"
      "meanwhile 1000\n"
      "shot during.bmp 画板2\nprop 编辑框1 8\n"
      "click 编辑框1\ntype xz\nkey Back\ntype y\nclick 按钮1\n"
      "wait 0\n"
      "shot card.bmp 画板2\nprop 编辑框1 8\nclipboard clip.bmp\n");
  ExpectCleanEnd(result);
  // Typed during the wait: still the old content then, all of it, in order, afterwards.
  EXPECT_TRUE(Contains(result.standardOutput, "prop 编辑框1 8 = abc\n")) << result.standardOutput;
  EXPECT_TRUE(Contains(result.standardOutput, "prop 编辑框1 8 = abcxy\n")) << result.standardOutput;
  EXPECT_FALSE(Contains(result.standardOutput, "msgbox")) << result.standardOutput;

  // The click made during the first request made a second card, with the text typed before it.
  const std::vector<std::string> paths = PathsOf(server_.Requests());
  ASSERT_EQ(paths.size(), 4u) << ::testing::PrintToString(paths);
  EXPECT_EQ(paths[0], std::string(kProfilePath) + "?ie=utf-8&un=%61%62%63");
  EXPECT_EQ(paths[1], std::string(kPortraitPath) + "?");
  EXPECT_EQ(paths[2], std::string(kProfilePath) + "?ie=utf-8&un=%61%62%63%78%79");

  // During the wait the canvas showed the cleared card with its frame, not stale or blank pixels.
  const BmpPicture before = Shot("before.bmp");
  const BmpPicture during = Shot("during.bmp");
  ASSERT_EQ(during.width, 580);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{5, 5}, {100, 300}, {520, 60}, {560, 370}}) {
    EXPECT_EQ(during.At(x, y), before.At(x, y)) << x << "," << y;
  }
  EXPECT_EQ(during.At(231, 101), 0xFFFFFFu);
  EXPECT_EQ(LightPixels(during, 120, 262, 460, 340), LightPixels(before, 120, 262, 460, 340));

  const BmpPicture card = Shot("card.bmp");
  ExpectTexts(card);
  EXPECT_EQ(card.At(300, 170), kPortraitRgb);
  EXPECT_EQ(Shot("clip.bmp").width, 580);
}

TEST_F(WaitingCard, MeanwhileNeedsARequestThatWaits) {
  // An empty ID makes no request: the click's handler ends, and the step finds nothing to wait in.
  const ChildResult result = Run("click 按钮1\nmeanwhile 0\nprop 编辑框1 8\n");
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 2);
  EXPECT_TRUE(Contains(result.standardOutput, "error 2: no request waits for its reply\n")) << result.standardOutput;
  EXPECT_FALSE(Contains(result.standardOutput, "prop ")) << result.standardOutput;
}

TEST_F(WaitingCard, ARefusedProfileRequestShowsTheCardButSavesItInNoMode) {
  for (const std::string mode : {"0", "1", "2"}) {
    program_.WriteFile("quorlin.ini", "[sz]\nsave=" + mode + "\n");
    const ChildResult result = Run("focus 编辑框1\ntype member\nanswer save chosen.png\nclick 按钮1\n"
                                   "shot card.bmp 画板2\nclipboard clip.bmp\n",
                                   "127.0.0.1:1");
    ExpectCleanEnd(result);
    EXPECT_TRUE(Contains(result.standardOutput, kFetchFailedLine)) << mode << result.standardOutput;
    EXPECT_TRUE(Contains(result.standardOutput, "clipboard empty\n")) << mode;
    EXPECT_FALSE(Contains(result.standardOutput, "dialog save")) << mode;
    const BmpPicture card = Shot("card.bmp");
    ExpectTexts(card);
    EXPECT_EQ(card.At(300, 170), 0xFFFFFFu) << mode;  // an empty portrait box
  }
  EXPECT_EQ(SavedFiles(program_.Root()), 0u);
}

TEST_F(WaitingCard, AnEmptyProfileBodyAsksForNoPortraitAndTheLocalPictureStillShows) {
  server_.SetReply(kProfilePath, ScriptedReply{200, {}, ""});
  const std::string script = "focus 编辑框1\ntype member\nclick 按钮1\nshot card.bmp 画板2\nclipboard clip.bmp\n";
  const ChildResult online = Run(script);
  ExpectCleanEnd(online);
  EXPECT_TRUE(Contains(online.standardOutput, kFetchFailedLine)) << online.standardOutput;
  EXPECT_TRUE(Contains(online.standardOutput, "clipboard empty\n"));
  EXPECT_EQ(server_.RequestCount(), 1u);  // no portrait request
  EXPECT_EQ(Shot("card.bmp").At(300, 170), 0xFFFFFFu);

  program_.WriteFile("local.bmp", SolidBmp(134, 134, kLocalRgb));
  program_.WriteFile("quorlin.ini", "[sz]\nsave=1\ntouxiang=0\ntouxiangurl=" + program_.PathOf("local.bmp").string() + "\n");
  const ChildResult local = Run(script);
  ExpectCleanEnd(local);
  EXPECT_TRUE(Contains(local.standardOutput, kFetchFailedLine)) << local.standardOutput;
  const BmpPicture card = Shot("card.bmp");
  ExpectTexts(card);
  EXPECT_EQ(card.At(300, 170), kLocalRgb);
  EXPECT_EQ(SavedFiles(program_.Root()), 0u);
}

TEST_F(WaitingCard, AReplyWithoutTheFieldsIsStillAReplyAndTheCardIsSaved) {
  server_.SetReply(kProfilePath, ScriptedReply{200, {}, R"({"no":4,"error":"no such member"})"});
  const ChildResult result = Run("focus 编辑框1\ntype nobody\nclick 按钮1\nclipboard clip.bmp\n");
  ExpectCleanEnd(result);
  EXPECT_FALSE(Contains(result.standardOutput, "msgbox")) << result.standardOutput;
  EXPECT_EQ(Shot("clip.bmp").width, 580);
  const std::vector<std::string> paths = PathsOf(server_.Requests());
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[1], "/sys/portraitl/item/?");  // the bare path, as before
}

}  // namespace
}  // namespace quorlin::testing
