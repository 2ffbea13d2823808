#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;

std::vector<std::pair<const char*, Bytes>> OnePerKind() {
  const testing::RgbImage image = testing::TestImage(6, 5);
  testing::Gif gif;
  gif.width = 6;
  gif.height = 5;
  gif.globalPalette.assign(4, {9, 9, 9});
  gif.images.push_back({0, 0, 6, 5, std::vector<uint8_t>(30, 1), {}, false, 2});
  std::vector<uint8_t> rgba(6 * 5 * 4, 200);
  return {
      {"jpeg", testing::WriteJpeg(image, 90)},
      {"bmp", testing::WriteBmp(image, 24, false)},
      {"gif", testing::WriteGif(gif)},
      {"pcx8", testing::WritePcx8(6, 5, std::vector<uint8_t>(30, 3), {})},
      {"pcx1", testing::WritePcx1(6, 5, std::vector<uint8_t>(5, 0xA0))},
      {"png", testing::WritePng(6, 5, rgba)},
  };
}

TEST(DecodePicture, EveryKindDecodesAndIgnoresTrailingJunk) {
  for (auto& [name, file] : OnePerKind()) {
    auto plain = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(plain) << name;
    EXPECT_EQ(plain->width, 6) << name;
    EXPECT_EQ(plain->height, 5) << name;
    Bytes junk = file;
    junk.insert(junk.end(), 100, 0x5A);
    auto withJunk = DecodePicture(junk.data(), junk.size());
    ASSERT_TRUE(withJunk) << name;
    // The 8-bit PCX palette sits after the pixel data, not at the end of the file.
    EXPECT_EQ(withJunk->pixels, plain->pixels) << name;
  }
}

TEST(DecodePicture, NothingForEmptyShortOrUnknownBytes) {
  const Bytes text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
  EXPECT_EQ(DecodePicture(nullptr, 0), nullptr);
  EXPECT_EQ(DecodePicture(text.data(), 7), nullptr);
  EXPECT_STREQ(TryDecodePicture(text.data(), 7).error(), "fewer than 8 bytes");
  EXPECT_STREQ(TryDecodePicture(text.data(), text.size()).error(), "not a picture kind we know");
  const Bytes fakeJpeg = {0xFF, 0xD8, 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(DecodePicture(fakeJpeg.data(), fakeJpeg.size()), nullptr);
}

class DecodePictureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("quorlin-pictures-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string Write(const char* name, const Bytes& bytes) {
    const std::filesystem::path path = directory_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::filesystem::path directory_;
};

TEST_F(DecodePictureFileTest, ReachesTheSameDecoders) {
  for (auto& [name, file] : OnePerKind()) {
    const std::string path = Write(name, file);
    auto fromFile = DecodePictureFile(path.c_str());
    auto fromBytes = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(fromFile) << name;
    EXPECT_EQ(fromFile->kind, fromBytes->kind) << name;
    EXPECT_EQ(fromFile->pixels, fromBytes->pixels) << name;
  }
  EXPECT_STREQ(TryDecodePictureFile((directory_ / "missing.bmp").string().c_str()).error(), "file cannot be opened");
  EXPECT_STREQ(TryDecodePictureFile(Write("empty.bmp", {}).c_str()).error(), "fewer than 8 bytes");
  EXPECT_EQ(DecodePictureFile(nullptr), nullptr);
}

}  // namespace
}  // namespace quorlin::pictures
