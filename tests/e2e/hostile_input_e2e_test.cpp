// The real program against hostile input: tiny picture files that declare gigantic pictures,
// given as the background in quorlin.ini and dropped on the portrait, must cost next to
// nothing; and a card write that the disk cannot take must leave no broken file.
//
// Each hostile run is set against the same run with an ordinary picture, so the bounds hold
// on a slow or busy machine and in sanitizer builds alike. They are generous: the real costs
// are a few milliseconds and a few megabytes (the picture benchmarks hold the figures).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/card_program.h"
#include "tests/support/hostile_pictures.h"

namespace quorlin::testing {
namespace {

constexpr const char* kMember = "hostilemember";
constexpr long kExtraKilobytesAllowed = 100 * 1024;
constexpr double kExtraSecondsAllowed = 2.0;

std::string CardScript() { return "focus 编辑框1\ntype " + std::string(kMember) + "\nclick 按钮1\n"; }

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(service_.HostAndPort().empty()) << "the profile service did not start"; }

  ChildResult Run(const std::string& script, const std::function<void()>& inChild = {}) const {
    return program_.Run(script, service_.HostAndPort(), inChild);
  }

  static void ExpectCleanEnd(const ChildResult& result) {
    ASSERT_TRUE(result.exited) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
  }

  // The hostile run may cost what the ordinary one did, plus the allowance.
  static void ExpectCheap(const ChildResult& hostile, const ChildResult& ordinary, const std::string& name) {
    Record(name, hostile, ordinary);
    ExpectCleanEnd(hostile);
    EXPECT_LT(hostile.peakKilobytes - ordinary.peakKilobytes, kExtraKilobytesAllowed)
        << name << ": " << hostile.peakKilobytes << " KiB against " << ordinary.peakKilobytes << " KiB";
    EXPECT_LT(hostile.seconds - ordinary.seconds, kExtraSecondsAllowed)
        << name << ": " << hostile.seconds << " s against " << ordinary.seconds << " s";
  }

  // The figures, for the test report (--gtest_output=xml).
  static void Record(const std::string& name, const ChildResult& run, const ChildResult& ordinary) {
    RecordProperty(name + "_extra_ms", static_cast<int>((run.seconds - ordinary.seconds) * 1000));
    RecordProperty(name + "_extra_processor_ms", static_cast<int>((run.processorSeconds - ordinary.processorSeconds) * 1000));
    RecordProperty(name + "_extra_kib", static_cast<int>(run.peakKilobytes - ordinary.peakKilobytes));
  }

  void UseBackground(const std::string& file) const {
    program_.WriteFile("quorlin.ini", "[back]\r\nurl=" + program_.PathOf(file).string() + "\r\n");
  }

  std::vector<std::filesystem::path> FolderEntries() const {
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(program_.Folder())) entries.push_back(entry.path().filename());
    return entries;
  }

  CardProgram program_;
  ProfileService service_{program_.Root(), {std::string(kMember) + "\ttb.e2e.hostile\t2"}};
};

TEST_F(HostileInput, BackgroundsThatDeclareGiantPicturesCostLittleAtStart) {
  program_.WriteFile("ordinary.bmp", SolidBmp(580, 385, 0x336699));
  UseBackground("ordinary.bmp");
  const ChildResult ordinary = Run("shot card.bmp 画板2\n");
  ExpectCleanEnd(ordinary);
  for (const HostilePicture& picture : HostilePictures()) {
    program_.WriteFile(picture.name, AsText(picture.bytes));
    UseBackground(picture.name);
    ExpectCheap(Run("shot card.bmp 画板2\n"), ordinary, picture.name);
  }
}

TEST_F(HostileInput, PortraitsThatDeclareGiantPicturesCostLittleWhenDropped) {
  program_.WriteFile("ordinary.bmp", SolidBmp(134, 134, 0x00FF00));
  const ChildResult ordinary = Run(CardScript() + "drop 图片框3 ordinary.bmp\nshot card.bmp 画板2\n");
  ExpectCleanEnd(ordinary);
  for (const HostilePicture& picture : HostilePictures()) {
    program_.WriteFile(picture.name, AsText(picture.bytes));
    ExpectCheap(Run(CardScript() + "drop 图片框3 " + picture.name + "\nshot card.bmp 画板2\n"), ordinary, picture.name);
  }
}

TEST_F(HostileInput, AnAnimationOfGiantFramesCostsWhatItShows) {
  // Two frames cut to a 16 × 16 screen, each shown for 50 ms: a few per cent of a core at most.
  constexpr const char* kShowFor = "wait 3000\n";
  program_.WriteFile("still.bmp", SolidBmp(16, 16, 0x00FF00));
  const HostilePicture animation = HugeGifAnimation();
  program_.WriteFile(animation.name, AsText(animation.bytes));
  const ChildResult still = Run(CardScript() + "drop 图片框3 still.bmp\n" + kShowFor);
  const ChildResult animated = Run(CardScript() + "drop 图片框3 " + animation.name + "\n" + kShowFor);
  Record(animation.name, animated, still);
  ExpectCleanEnd(still);
  ExpectCleanEnd(animated);
  EXPECT_LT(animated.processorSeconds - still.processorSeconds, 0.75)
      << animated.processorSeconds << " s of processor against " << still.processorSeconds << " s";
  EXPECT_LT(animated.peakKilobytes - still.peakKilobytes, kExtraKilobytesAllowed);
}

// The card is far larger than the file-size limit, as if the disk were full.
void LimitFilesToFewKilobytes() {
  signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of ending the program
  const rlimit limit{64 * 1024, 64 * 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
}

TEST_F(HostileInput, ACardTheDiskCannotTakeLeavesTheOldFileOrNone) {
  program_.WriteFile("quorlin.ini", "[sz]\nsave=1\n");
  const std::string card = std::string(kMember) + ".jpg";

  ExpectCleanEnd(Run(CardScript(), LimitFilesToFewKilobytes));
  EXPECT_FALSE(std::filesystem::exists(program_.PathOf(card)));

  program_.WriteFile(card, "the old card");
  ExpectCleanEnd(Run(CardScript(), LimitFilesToFewKilobytes));
  EXPECT_TRUE(program_.ReadFile(card) == "the old card") << "the old card was replaced by a part of the new one";
  // No temporary file is left behind either.
  EXPECT_EQ(FolderEntries().size(), 4u);  // the program, its settings, the scenario and the old card

  // Without the limit the same run replaces the card whole.
  ExpectCleanEnd(Run(CardScript()));
  const std::string written = program_.ReadFile(card);
  EXPECT_EQ(written.size(), 669954u);
  EXPECT_EQ(written.substr(0, 2), "BM");
}

}  // namespace
}  // namespace quorlin::testing
