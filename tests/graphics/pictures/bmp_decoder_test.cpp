#include <gtest/gtest.h>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;
using testing::IndexedBmp;
using testing::Rgb;

void Poke32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(BmpDecoder, TwoByTwoDecodesToTwelveBytesEitherRowOrder) {
  testing::RgbImage image{2, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}};
  // Bottom row first: (7,8,9) (10,11,12), then the top row; blue first in each pixel.
  const Bytes expected = {9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4};
  for (bool topDown : {false, true}) {
    for (int bits : {24, 32}) {
      const Bytes file = testing::WriteBmp(image, bits, topDown);
      auto picture = DecodePicture(file.data(), file.size());
      ASSERT_TRUE(picture) << bits << " top-down " << topDown;
      EXPECT_EQ(picture->kind, PictureKind::Bmp);
      EXPECT_EQ(picture->width, 2);
      EXPECT_EQ(picture->height, 2);
      EXPECT_EQ(picture->pixels, expected) << bits << " top-down " << topDown;
    }
  }
}

TEST(BmpDecoder, OddWidthsSkipRowPadding) {
  const testing::RgbImage image = testing::TestImage(7, 5);
  const Bytes file = testing::WriteBmp(image, 24, false);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pixels, testing::ToBgrBottomUp(image));
}

// Each palette depth with a width that leaves part of the last byte of a row unused.
TEST(BmpDecoder, PaletteDepthsLookUpIndicesMostSignificantBitsFirst) {
  for (int bits : {1, 4, 8}) {
    for (bool topDown : {false, true}) {
      IndexedBmp bmp;
      bmp.width = 11;
      bmp.height = 3;
      bmp.bitsPerPixel = bits;
      bmp.topDown = topDown;
      const int colours = 1 << bits;
      for (int i = 0; i < colours; ++i)
        bmp.palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
      for (int i = 0; i < bmp.width * bmp.height; ++i) bmp.indices.push_back(static_cast<uint8_t>((i * 5 + 3) % colours));
      const Bytes file = testing::WriteIndexedBmp(bmp);
      auto picture = DecodePicture(file.data(), file.size());
      ASSERT_TRUE(picture) << bits;
      testing::RgbImage expected{bmp.width, bmp.height, {}};
      for (uint8_t index : bmp.indices) expected.pixels.push_back(bmp.palette[index]);
      EXPECT_EQ(picture->pixels, testing::ToBgrBottomUp(expected)) << bits << " top-down " << topDown;
    }
  }
}

TEST(BmpDecoder, ShortColourTableAndLongInfoHeader) {
  IndexedBmp bmp;
  bmp.width = 4;
  bmp.height = 1;
  bmp.bitsPerPixel = 8;
  bmp.palette = {{10, 20, 30}, {40, 50, 60}};
  bmp.coloursUsed = 2;
  bmp.indices = {0, 1, 1, 200};  // 200 is past the table: black
  bmp.infoHeaderSize = 124;      // the colour table follows the whole information header
  const Bytes file = testing::WriteIndexedBmp(bmp);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pixels, (Bytes{30, 20, 10, 60, 50, 40, 60, 50, 40, 0, 0, 0}));
}

TEST(BmpDecoder, BrokenFilesGiveNoPicture) {
  const Bytes good = testing::WriteBmp(testing::TestImage(4, 4), 24, false);
  struct Row {
    const char* rule;
    void (*damage)(Bytes&);
  };
  const Row rows[] = {
      {"compressed BMP", [](Bytes& b) { b[30] = 1; }},
      {"compressed BMP", [](Bytes& b) { b[30] = 3; }},
      {"BMP depth other than 1, 4, 8, 24 or 32 bits", [](Bytes& b) { b[28] = 16; }},
      {"BMP pixel data inside the headers", [](Bytes& b) { Poke32(b, 10, 50); }},
      {"BMP rows past the data", [](Bytes& b) { b.resize(b.size() - 4); }},
      {"BMP rows past the data", [](Bytes& b) { Poke32(b, 10, 0xFFFFFFF0u); }},
      {"BMP headers past the data", [](Bytes& b) { b.resize(40); }},
      {"BMP side outside 1..32767 or above 64 megapixels", [](Bytes& b) { Poke32(b, 18, 40000); }},
      {"BMP side outside 1..32767 or above 64 megapixels", [](Bytes& b) { Poke32(b, 22, 0x80000000u); }},
      {"BMP side outside 1..32767 or above 64 megapixels", [](Bytes& b) { Poke32(b, 18, 0); }},
      {"BMP side outside 1..32767 or above 64 megapixels", [](Bytes& b) { Poke32(b, 18, 8001); Poke32(b, 22, 8000); }},
      {"BMP information header shorter than 40 bytes", [](Bytes& b) { Poke32(b, 14, 12); }},
  };
  for (const Row& row : rows) {
    Bytes file = good;
    row.damage(file);
    const Result<DecodedPicture> result = DecodeBmp(file.data(), file.size());
    EXPECT_STREQ(result.error(), row.rule);
  }
}

TEST(BmpDecoder, HugeColourCountIsCheckedAgainstTheData) {
  IndexedBmp bmp{2, 2, 8, {0, 1, 1, 0}, {{1, 1, 1}, {2, 2, 2}}, 0xFFFFFFFFu};
  const Bytes file = testing::WriteIndexedBmp(bmp);
  EXPECT_STREQ(DecodeBmp(file.data(), file.size()).error(), "BMP colour table past the data");
}

}  // namespace
}  // namespace quorlin::pictures
