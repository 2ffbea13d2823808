// Replacing a file's contents: whole or not at all, with no temporary file left behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/file_replace.h"
#include "tests/support/child_process.h"

namespace quorlin::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class FileReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    directory_ = fs::temp_directory_path() / ("quorlin-replace-" + std::to_string(seed()));
    fs::create_directories(directory_);
  }
  void TearDown() override {
    fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(directory_);
  }

  std::string PathOf(const std::string& name) const { return (directory_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path directory_;
};

TEST_F(FileReplace, WritesThePiecesAndKeepsTheOldFilesPermissionsAndLinks) {
  const std::string card = PathOf("card.jpg");
  const std::vector<std::string_view> pieces = {"BM", "", std::string_view("\0\x01", 2), "tail"};
  ASSERT_TRUE(ReplaceFileContents(card, pieces));
  EXPECT_EQ(Contents(card), "BM\0\x01tail"s);

  fs::permissions(card, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(ReplaceFileContents(card, "x"));
  EXPECT_EQ(Contents(card), "x");
  EXPECT_EQ(fs::status(card).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_symlink(card, PathOf("link.jpg"));
  ASSERT_TRUE(ReplaceFileContents(PathOf("link.jpg"), "through the link"));
  EXPECT_TRUE(fs::is_symlink(PathOf("link.jpg")));
  EXPECT_EQ(Contents(card), "through the link");
  EXPECT_EQ(Names(), (std::vector<std::string>{"card.jpg", "link.jpg"}));
}

TEST_F(FileReplace, AFailedWriteLeavesTheOldFileOrNoneAndNoTemporaryFile) {
  const std::string big(256 * 1024, 'n');
  const auto writeLimited = [&](const std::string& path) {
    return quorlin::testing::RunInChild([&] {
      signal(SIGXFSZ, SIG_IGN);  // past the limit a write fails instead of ending the process
      const rlimit limit{16 * 1024, 16 * 1024};
      setrlimit(RLIMIT_FSIZE, &limit);
      _exit(ReplaceFileContents(path, big) ? 0 : 1);
    });
  };
  const quorlin::testing::ChildResult fresh = writeLimited(PathOf("new.jpg"));
  EXPECT_EQ(fresh.exitStatus, 1);
  EXPECT_TRUE(Names().empty());

  ASSERT_TRUE(ReplaceFileContents(PathOf("old.jpg"), "the old card"));
  EXPECT_EQ(writeLimited(PathOf("old.jpg")).exitStatus, 1);
  EXPECT_EQ(Contents(PathOf("old.jpg")), "the old card");
  EXPECT_EQ(Names(), (std::vector<std::string>{"old.jpg"}));
}

TEST_F(FileReplace, RefusesWhatItMayNotOrCannotReplace) {
  const std::string locked = PathOf("locked.jpg");
  ASSERT_TRUE(ReplaceFileContents(locked, "kept"));
  fs::permissions(locked, fs::perms::owner_read);
  if (access(locked.c_str(), W_OK) != 0) {  // as root everything is writable
    EXPECT_FALSE(ReplaceFileContents(locked, "new"));
    EXPECT_EQ(Contents(locked), "kept");
  }
  fs::create_directory(PathOf("folder"));
  EXPECT_FALSE(ReplaceFileContents(PathOf("folder"), "x"));
  EXPECT_TRUE(fs::is_directory(PathOf("folder")));
  ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReplaceFileContents(PathOf("pipe"), "x"));
  EXPECT_TRUE(fs::is_fifo(PathOf("pipe")));
  EXPECT_FALSE(ReplaceFileContents(PathOf("missing/folder/f"), "x"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "locked.jpg", "pipe"}));
}

}  // namespace
}  // namespace quorlin::platform
