// Headers that claim more than the data holds: the decoders refuse them, or cut a GIF image to
// the screen, before they allocate what was declared; and no picture keeps a second full-size
// copy of its pixels while it is made drawable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "graphics/pictures/gif_animation.h"
#include "graphics/pictures/picture_limits.h"
#include "graphics/pictures/pictures.h"
#include "graphics/pictures/png_chunks.h"
#include "tests/graphics/pictures/picture_writers.h"
#include "tests/support/child_process.h"
#include "tests/support/hostile_pictures.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;
using testing::Gif;
using testing::GifImage;
using quorlin::testing::HostilePicture;

std::vector<uint8_t> Pattern(int width, int height) {
  std::vector<uint8_t> indices;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) indices.push_back(static_cast<uint8_t>((x * 3 + y * 5) % 16));
  return indices;
}

// The top-left `width` × `height` part of indices `fullWidth` wide.
std::vector<uint8_t> TopLeft(const std::vector<uint8_t>& indices, int fullWidth, int width, int height) {
  std::vector<uint8_t> part;
  for (int y = 0; y < height; ++y)
    part.insert(part.end(), indices.begin() + y * fullWidth, indices.begin() + y * fullWidth + width);
  return part;
}

TEST(HostileDecoding, TinyFilesDeclaringGiantPicturesGiveNoneOrOneCutToTheScreen) {
  struct Row {
    HostilePicture file;
    bool decodes;
  };
  const Row rows[] = {
      {quorlin::testing::HugePcx(), false},                // its data could fill 63 bytes of 256 MiB
      {quorlin::testing::HugeInterlacedGifFrame(), true},  // cut to its 16 × 16 screen
      {quorlin::testing::HugeGifAnimation(), true},
      {quorlin::testing::BrokenHugeGif(), false},
      {quorlin::testing::HugeOneBitPng(), false},          // 67 megapixels
      {quorlin::testing::TruncatedJpeg(9400), false},      // 88 megapixels
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.name);
    EXPECT_LT(row.file.bytes.size(), 9000u);
    const auto picture = DecodePicture(row.file.bytes.data(), row.file.bytes.size());
    ASSERT_EQ(picture != nullptr, row.decodes);
    if (!picture) continue;
    EXPECT_EQ(picture->width, 16);
    EXPECT_EQ(picture->height, 16);
    EXPECT_EQ(picture->pixels.size(), kDibHeaderSize + kDibPaletteSize + 16 * 16);
  }
}

TEST(HostileDecoding, NoDecoderAllocatesWhatAHeaderClaimsBeforeTheDataBacksIt) {
  // Decoded in a child, whose peak memory is set against a child decoding an ordinary picture.
  const auto peakOf = [](const std::vector<HostilePicture>& files) {
    return quorlin::testing::RunInChild([&] {
      for (const HostilePicture& file : files) {
        auto picture = DecodePicture(file.bytes.data(), file.bytes.size());
        if (picture) MakeDrawablePicture(*picture, 0, 0xFFFFFF);
      }
    });
  };
  const quorlin::testing::ChildResult ordinary =
      peakOf({{"ordinary.bmp", testing::WriteBmp(testing::TestImage(64, 64), 24, false)}});
  const quorlin::testing::ChildResult hostile = peakOf(quorlin::testing::HostilePictures());
  ASSERT_TRUE(ordinary.exited && hostile.exited);
  EXPECT_LT(hostile.peakKilobytes - ordinary.peakKilobytes, 32 * 1024)
      << hostile.peakKilobytes << " KiB against " << ordinary.peakKilobytes << " KiB";
}

TEST(HostileDecoding, PcxDataMustBeAbleToFillTheWindowAtTheLongestRuns) {
  // 126 × 1 pixels: two runs of 63 can give them, one cannot.
  Bytes twoRuns = testing::WritePcx8(126, 1, std::vector<uint8_t>(126, 7), {}, 0, false);
  twoRuns.resize(128);
  Bytes oneRun = twoRuns;
  twoRuns.insert(twoRuns.end(), {0xFF, 7, 0xFF, 7});
  oneRun.insert(oneRun.end(), {0xFF, 7});
  EXPECT_TRUE(DecodePicture(twoRuns.data(), twoRuns.size()));
  EXPECT_FALSE(DecodePicture(oneRun.data(), oneRun.size()));
  // Short of that, missing bytes still read as 0.
  oneRun.insert(oneRun.end(), {0xC3, 7});
  auto picture = DecodePicture(oneRun.data(), oneRun.size());
  ASSERT_TRUE(picture);
  const uint8_t* row = picture->pixels.data() + kDibHeaderSize + kDibPaletteSize;
  EXPECT_EQ(row[65], 7);
  EXPECT_EQ(row[66], 0);
}

TEST(HostileDecoding, PngImageDataMustBeAbleToInflateToTheImage) {
  std::vector<uint8_t> rgba(64 * 64 * 4, 200);
  const Bytes small = testing::WritePng(64, 64, rgba);
  ASSERT_TRUE(DecodePicture(small.data(), small.size()));
  // The same chunks with the header claiming 4000 × 4000: a few hundred bytes cannot inflate
  // to 64 MB.
  Bytes claimed = small;
  const uint8_t side[4] = {0, 0, 0x0F, 0xA0};
  std::memcpy(claimed.data() + 16, side, 4);
  std::memcpy(claimed.data() + 20, side, 4);
  const auto layout = ScanPngChunks(claimed.data(), claimed.size());
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->width, 4000u);
  EXPECT_GT(layout->compressedBytes, 0u);
  EXPECT_EQ(TryDecodePicture(claimed.data(), claimed.size()).error(), std::string("PNG image data too short for its size"));

  // Every pass of an interlaced 3 × 3 grey picture: 1 + 1 + 2 + 1 + 2 rows, each with its
  // filter byte.
  PngLayout interlaced;
  interlaced.width = interlaced.height = 3;
  interlaced.bitDepth = 8;
  interlaced.interlaced = true;
  EXPECT_EQ(PngFilteredBytes(interlaced), 2u + 2u + 3u + 2u * 2u + 4u);
}

TEST(HostileDecoding, AnIconsPngImageMustBeAbleToInflateToItsSize) {
  Bytes png = testing::WritePng(16, 16, std::vector<uint8_t>(16 * 16 * 4, 90));
  const auto icon = [](const Bytes& image) {
    return testing::WriteIconFile(1, {{16, 16, 0, 32, image}});
  };
  const Bytes good = icon(png);
  const auto made = DecodePicture(good.data(), good.size());
  ASSERT_TRUE(made);
  EXPECT_EQ(made->width, 16);
  const uint8_t side[4] = {0, 0, 0x03, 0xE8};  // 1000 × 1000 from the same few bytes
  std::memcpy(png.data() + 16, side, 4);
  std::memcpy(png.data() + 20, side, 4);
  const Bytes claimed = icon(png);
  EXPECT_EQ(TryDecodePicture(claimed.data(), claimed.size()).error(), std::string("icon PNG image data too short for its size"));
}

TEST(HostileDecoding, GifImagesAreCutToTheScreen) {
  Gif gif;
  gif.width = 16;
  gif.height = 8;
  gif.globalPalette = std::vector<testing::Rgb>(16);
  GifImage big;
  big.width = 40;
  big.height = 30;
  big.indices = Pattern(40, 30);
  big.interlaced = true;
  big.minCodeSize = 4;
  GifImage placed = big;
  placed.left = 10;
  placed.top = 4;
  placed.interlaced = false;
  gif.images = {big, placed};
  const Bytes file = testing::WriteGif(gif);

  // The still picture draws the first image at the screen's top-left: its 16 × 8 part stays.
  auto still = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(still);
  EXPECT_EQ(still->pixels.size(), kDibHeaderSize + kDibPaletteSize + 16 * 8);
  EXPECT_EQ(std::vector<uint8_t>(still->pixels.begin() + kDibHeaderSize + kDibPaletteSize, still->pixels.end()),
            TopLeft(big.indices, 40, 16, 8));

  // Animation frames keep what lies on the screen at their place.
  Result<GifAnimation> animation = DecodeGifAnimation(file.data(), file.size());
  ASSERT_TRUE(animation.ok()) << animation.error();
  ASSERT_EQ(animation.value().frames.size(), 2u);
  const GifFrame& second = animation.value().frames[1];
  EXPECT_EQ(second.left, 10);
  EXPECT_EQ(second.top, 4);
  EXPECT_EQ(second.width, 6);
  EXPECT_EQ(second.height, 4);
  EXPECT_EQ(second.indices, TopLeft(placed.indices, 40, 6, 4));
}

}  // namespace
}  // namespace quorlin::pictures
