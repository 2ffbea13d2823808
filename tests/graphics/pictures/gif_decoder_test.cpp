#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/gif_animation.h"
#include "graphics/pictures/lzw_decoder.h"
#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;
using testing::Gif;
using testing::GifImage;
using testing::Rgb;

std::vector<Rgb> Ramp(int entries) {
  std::vector<Rgb> palette;
  for (int i = 0; i < entries; ++i)
    palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i)});
  return palette;
}

std::vector<uint8_t> Pattern(int width, int height, int colours) {
  std::vector<uint8_t> indices;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) indices.push_back(static_cast<uint8_t>((x / 3 + y * 7) % colours));
  return indices;
}

GifImage Image(int width, int height, int colours) {
  GifImage image;
  image.width = width;
  image.height = height;
  image.indices = Pattern(width, height, colours);
  return image;
}

// The rows of a decoded still GIF without their padding.
std::vector<uint8_t> StillRows(const DecodedPicture& picture, int width, int height) {
  const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  std::vector<uint8_t> rows;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = picture.pixels.data() + kDibHeaderSize + kDibPaletteSize + y * stride;
    rows.insert(rows.end(), row, row + width);
  }
  return rows;
}

int32_t Field32(const DecodedPicture& picture, size_t at) {
  int32_t v;
  std::memcpy(&v, picture.pixels.data() + at, 4);
  return v;
}

TEST(LzwDecoder, RoundTripsAcrossCodeWidthsAndTableResets) {
  for (int minCodeSize : {2, 4, 8}) {
    std::vector<uint8_t> indices;
    uint32_t state = 12345;
    for (int i = 0; i < 60000; ++i) {  // enough to fill the table several times
      state = state * 1103515245u + 12345u;
      indices.push_back(static_cast<uint8_t>((state >> 16) % (1u << minCodeSize) / ((i / 500) % 3 + 1)));
    }
    const Bytes codes = testing::EncodeLzw(minCodeSize, indices);
    std::vector<uint8_t> out(indices.size());
    Result<size_t> written = DecodeLzw(minCodeSize, codes.data(), codes.size(), out.data(), out.size());
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written.value(), indices.size());
    EXPECT_EQ(out, indices) << minCodeSize;
  }
}

TEST(LzwDecoder, StopsAtFullOutputAndRejectsCodesPastTheTable) {
  const std::vector<uint8_t> indices(100, 3);
  const Bytes codes = testing::EncodeLzw(2, indices);
  std::vector<uint8_t> small(10);
  Result<size_t> written = DecodeLzw(2, codes.data(), codes.size(), small.data(), small.size());
  ASSERT_TRUE(written.ok());
  EXPECT_EQ(written.value(), 10u);

  // Clear (4), literal 1, then 7: the next free entry is 6.
  const Bytes bad = {0xCC, 0x01};  // 3-bit codes 4, 1, 7, least significant bits first
  std::vector<uint8_t> out(16);
  EXPECT_STREQ(DecodeLzw(2, bad.data(), bad.size(), out.data(), out.size()).error(),
               "LZW code beyond the next free table entry");
  EXPECT_STREQ(DecodeLzw(0, bad.data(), bad.size(), out.data(), out.size()).error(), "LZW minimum code size outside 1..8");
  EXPECT_STREQ(DecodeLzw(9, bad.data(), bad.size(), out.data(), out.size()).error(), "LZW minimum code size outside 1..8");
}

TEST(LzwDecoder, CutStreamKeepsItsPrefixAndEndsSoonAfter) {
  std::vector<uint8_t> indices(20000);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>((i * 7) % 11 + (i / 97) % 3);
  const Bytes codes = testing::EncodeLzw(4, indices);
  const Bytes cut(codes.begin(), codes.begin() + static_cast<long>(codes.size() / 2));
  std::vector<uint8_t> out(indices.size() * 100);  // room a run of all-ones codes could fill
  Result<size_t> written = DecodeLzw(4, cut.data(), cut.size(), out.data(), out.size());
  if (written.ok()) {
    EXPECT_LT(written.value(), indices.size());
    EXPECT_GT(written.value(), indices.size() / 4);
  }
  std::vector<uint8_t> prefix(indices.size() / 4);
  ASSERT_TRUE(DecodeLzw(4, cut.data(), cut.size(), prefix.data(), prefix.size()).ok());
  EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), indices.begin()));
}

TEST(GifDecoder, StillPictureIsThePaddedDibOfTheFirstImage) {
  Gif gif;
  gif.width = 9;
  gif.height = 6;
  gif.background = 3;
  gif.globalPalette = Ramp(16);
  gif.comment = gif.application = true;
  GifImage first = Image(7, 5, 16);
  first.minCodeSize = 4;
  first.control = true;
  first.transparent = true;
  first.transparentIndex = 2;
  gif.images = {first, Image(9, 6, 4)};
  const Bytes file = testing::WriteGif(gif);

  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::Gif);
  EXPECT_EQ(picture->width, 9);  // the logical screen
  EXPECT_EQ(picture->height, 6);
  EXPECT_EQ(picture->gifBackgroundIndex, 3);
  EXPECT_EQ(picture->gifTransparentIndex, 2);
  EXPECT_EQ(Field32(*picture, 0), 40);
  EXPECT_EQ(Field32(*picture, 4), 7);
  EXPECT_EQ(Field32(*picture, 8), -5);
  EXPECT_EQ(Field32(*picture, 32), 256);
  EXPECT_EQ(picture->pixels.size(), kDibHeaderSize + kDibPaletteSize + 8 * 5);
  // Colour entries blue, green, red, 0; past the 16 of the table, black.
  const uint8_t* entry5 = picture->pixels.data() + kDibHeaderSize + 5 * 4;
  EXPECT_EQ(entry5[0], 250);
  EXPECT_EQ(entry5[1], 15);
  EXPECT_EQ(entry5[2], 5);
  EXPECT_EQ(picture->pixels[kDibHeaderSize + 20 * 4 + 2], 0);
  EXPECT_EQ(StillRows(*picture, 7, 5), first.indices);
}

TEST(GifDecoder, InterlacedRowsAreStoredInPictureOrder) {
  for (int height : {1, 2, 5, 9, 17}) {
    Gif gif;
    gif.width = 5;
    gif.height = height;
    gif.globalPalette = Ramp(256);
    GifImage image = Image(5, height, 256);
    image.interlaced = true;
    gif.images = {image};
    const Bytes file = testing::WriteGif(gif);
    auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture) << height;
    EXPECT_EQ(StillRows(*picture, 5, height), image.indices) << height;
  }
}

TEST(GifDecoder, LocalColourTableReplacesTheGlobalOne) {
  Gif gif;
  gif.width = gif.height = 4;
  gif.globalPalette = Ramp(4);
  GifImage image = Image(4, 4, 2);
  image.localPalette = {{200, 100, 50}, {1, 2, 3}};
  image.minCodeSize = 2;
  gif.images = {image};
  const Bytes file = testing::WriteGif(gif);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  const uint8_t* palette = picture->pixels.data() + kDibHeaderSize;
  EXPECT_EQ((std::vector<uint8_t>(palette, palette + 8)), (std::vector<uint8_t>{50, 100, 200, 0, 3, 2, 1, 0}));
}

TEST(GifAnimation, FramesKeepPositionsDelaysDisposalAndLoop) {
  Gif gif;
  gif.width = 10;
  gif.height = 8;
  gif.globalPalette = Ramp(8);
  GifImage a = Image(10, 8, 8);
  a.control = true;
  a.delay = 7;
  a.disposal = 2;
  GifImage b = Image(3, 2, 8);
  b.left = 4;
  b.top = 5;
  b.interlaced = true;
  gif.images = {a, b};
  const Bytes file = testing::WriteGif(gif);

  Result<GifAnimation> animation = DecodeGifAnimation(file.data(), file.size());
  ASSERT_TRUE(animation.ok()) << animation.error();
  ASSERT_EQ(animation.value().frames.size(), 2u);
  const GifFrame& first = animation.value().frames[0];
  const GifFrame& second = animation.value().frames[1];
  EXPECT_EQ(first.delayCentiseconds, 7);
  EXPECT_EQ(first.disposal, 2);
  EXPECT_EQ(first.indices, a.indices);
  EXPECT_EQ(second.left, 4);
  EXPECT_EQ(second.top, 5);
  EXPECT_EQ(second.disposal, 0);  // the control extension belongs to the first image only
  EXPECT_EQ(second.delayCentiseconds, 0);
  EXPECT_EQ(second.indices, b.indices);

  // The reader itself starts over after the trailer.
  Result<GifReader> reader = GifReader::Open(file.data(), file.size());
  ASSERT_TRUE(reader.ok());
  for (int i = 0; i < 5; ++i) {
    Result<GifFrame> frame = reader.value().NextFrame();
    ASSERT_TRUE(frame.ok());
    EXPECT_EQ(frame.value().width, i % 2 ? 3 : 10);
  }
  EXPECT_TRUE(reader.value().wrapped());
}

TEST(GifDecoder, TruncatedImageDataStillDecodesWhatIsThere) {
  Gif gif;
  gif.width = 16;
  gif.height = 16;
  gif.globalPalette = Ramp(2);
  GifImage image;
  image.width = image.height = 16;
  image.indices.assign(256, 1);
  image.minCodeSize = 2;
  gif.images = {image};
  gif.trailer = false;
  Bytes file = testing::WriteGif(gif);
  file.pop_back();  // the block terminator
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(StillRows(*picture, 16, 16), image.indices);
}

TEST(GifDecoder, BrokenFilesGiveNoPicture) {
  Gif gif;
  gif.width = gif.height = 4;
  gif.globalPalette = Ramp(4);
  gif.images = {Image(4, 4, 4)};
  gif.images[0].minCodeSize = 2;
  const Bytes good = testing::WriteGif(gif);
  const size_t firstBlock = 13 + 12;
  struct Row {
    const char* rule;
    Bytes file;
  };
  Bytes badLabel = good;
  badLabel.insert(badLabel.begin() + firstBlock, {0x21, 0x42, 0});
  Bytes noImage(good.begin(), good.begin() + firstBlock);
  noImage.insert(noImage.end(), {0x21, 0xFE, 1, 'x', 0, 0x3B});
  Bytes shortTable = good;
  shortTable[10] = 0x87;  // 256 entries
  shortTable.resize(200);
  Bytes bigScreen = good;
  bigScreen[7] = 0x90;
  Bytes badCodeSize = good;
  badCodeSize[firstBlock + 10] = 12;
  Bytes localPastEnd = good;
  localPastEnd[firstBlock + 9] = 0x87;
  localPastEnd.resize(firstBlock + 40);
  const Row rows[] = {
      {"GIF extension other than plain text, graphic control, comment or application", badLabel},
      {"GIF without an image", noImage},
      {"GIF global colour table past the data", shortTable},
      {"GIF screen side outside 1..32767 or above 64 megapixels", bigScreen},
      {"LZW minimum code size outside 1..8", badCodeSize},
      {"GIF local colour table past the data", localPastEnd},
      {"GIF of 13 bytes or less", Bytes(good.begin(), good.begin() + 13)},
      {"unknown GIF block", [&] { Bytes b(good.begin(), good.begin() + firstBlock); b.push_back('x'); return b; }()},
  };
  for (const Row& row : rows) EXPECT_STREQ(DecodeGifStill(row.file.data(), row.file.size()).error(), row.rule);
}

}  // namespace
}  // namespace quorlin::pictures
