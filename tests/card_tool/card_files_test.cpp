// The card files: PNG with the snapshot's pixels, names, and the atomic replacement.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "tools/card_tool/card_files.h"
#include "tools/card_tool/progress_bar.h"

namespace quorlin::card_tool {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 24-bit BMP whose pixel (x, y), y counted from the top, is (x * 40, y * 50, x + y) in red,
// green, blue; rows bottom-up (or top-down for a negative height), padded to 4 bytes.
std::vector<uint8_t> GradientBmp(int width, int height) {
  const int rows = height < 0 ? -height : height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> out{'B', 'M'};
  Put32(out, static_cast<uint32_t>(54 + stride * rows));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  out.insert(out.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int stored = 0; stored < rows; ++stored) {
    const int y = height > 0 ? rows - 1 - stored : stored;
    for (int x = 0; x < width; ++x) {
      out.push_back(static_cast<uint8_t>(x + y));
      out.push_back(static_cast<uint8_t>(y * 50));
      out.push_back(static_cast<uint8_t>(x * 40));
    }
    out.resize(out.size() + (stride - static_cast<size_t>(width) * 3), 0xEE);  // padding must not show
  }
  return out;
}

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // rows top first, R G B
};

Rgb DecodePng(const std::vector<uint8_t>& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Rgb rgb;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return rgb;
  image.format = PNG_FORMAT_RGB;
  rgb.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.pixels.data(), 0, nullptr)) return {};
  rgb.width = static_cast<int>(image.width);
  rgb.height = static_cast<int>(image.height);
  return rgb;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FreshFolder : public ::testing::Test {
 protected:
  FreshFolder() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("card-files-" + std::to_string(getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(folder_);
  }
  ~FreshFolder() override { std::filesystem::remove_all(folder_); }

  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder_), {}));
  }

  std::filesystem::path folder_;
};

TEST(CardPng, HoldsTheBmpPixelsWhicheverWayItsRowsRun) {
  for (const int height : {2, -2, 5}) {
    const std::vector<uint8_t> bmp = GradientBmp(3, height);  // 9 bytes of pixels, 3 of padding per row
    const std::optional<std::vector<uint8_t>> png = BmpToPng(bmp.data(), bmp.size());
    ASSERT_TRUE(png) << height;
    const Rgb decoded = DecodePng(*png);
    ASSERT_EQ(decoded.width, 3);
    ASSERT_EQ(decoded.height, height < 0 ? -height : height);
    for (int y = 0; y < decoded.height; ++y) {
      for (int x = 0; x < 3; ++x) {
        const size_t at = (static_cast<size_t>(y) * 3 + static_cast<size_t>(x)) * 3;
        EXPECT_EQ(decoded.pixels[at], x * 40) << x << "," << y;
        EXPECT_EQ(decoded.pixels[at + 1], y * 50) << x << "," << y;
        EXPECT_EQ(decoded.pixels[at + 2], x + y) << x << "," << y;
      }
    }
  }
}

TEST(CardPng, BytesThatAreNoWholeUncompressed24BitBmpGiveNone) {
  const std::vector<uint8_t> good = GradientBmp(4, 4);
  std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
  std::vector<uint8_t> eightBit = good;
  eightBit[28] = 8;
  std::vector<uint8_t> compressed = good;
  compressed[30] = 1;
  std::vector<uint8_t> huge = good;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
  for (const auto* bytes : {&truncated, &eightBit, &compressed, &huge}) {
    EXPECT_FALSE(BmpToPng(bytes->data(), bytes->size()));
  }
  EXPECT_FALSE(BmpToPng(good.data(), 20));
}

TEST(CardFileNames, TheIdWithTheFormatsEndingInTheChosenFolder) {
  EXPECT_EQ(CardFilePath("", "abc", CardFormat::Bmp), std::filesystem::path("abc.bmp"));
  EXPECT_EQ(CardFilePath("out/cards", "张三", CardFormat::Png), std::filesystem::path("out/cards/张三.png"));
}

TEST_F(FreshFolder, AReplacedFileHoldsTheNewBytesAndNoTemporaryFileStays) {
  const std::filesystem::path target = folder_ / "card.bmp";
  std::ofstream(target) << "an older and longer content";
  const std::string bytes = "BMnew";
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(target, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &error))
      << error;
  EXPECT_EQ(ReadWhole(target), bytes);
  EXPECT_EQ(EntryCount(), 1u);
  // The mode of a created file, not the private one of a temporary file.
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(static_cast<unsigned>(std::filesystem::status(target).permissions()), 0666u & ~mask);
}

TEST_F(FreshFolder, AFailedReplacementKeepsTheOldFileAndLeavesNothingBehind) {
  // A folder where the card should go: the rename cannot put a file there.
  const std::filesystem::path blocked = folder_ / "blocked.bmp";
  std::filesystem::create_directory(blocked);
  std::ofstream(blocked / "inside") << "kept";
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(blocked, reinterpret_cast<const uint8_t*>("BM"), 2, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
  EXPECT_EQ(EntryCount(), 1u);

  EXPECT_FALSE(ReplaceFileAtomically(folder_ / "missing" / "card.bmp", reinterpret_cast<const uint8_t*>("BM"), 2,
                                     &error));
  EXPECT_EQ(EntryCount(), 1u);
}

TEST(ProgressLine, FillsInProportionAndCounts) {
  EXPECT_EQ(ProgressLine(0, 20, 10), "[          ] 0/20");
  EXPECT_EQ(ProgressLine(7, 20, 10), "[###       ] 7/20");
  EXPECT_EQ(ProgressLine(20, 20, 10), "[##########] 20/20");
}

}  // namespace
}  // namespace quorlin::card_tool
