#include <gtest/gtest.h>

#include <cstring>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/pcx_run_length.h"
#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;
using testing::Rgb;

constexpr size_t kDibStart = kDibHeaderSize + kDibPaletteSize;

TEST(PcxRunLength, LiteralsRunsAndRunsAcrossCalls) {
  // 0xC0 is a literal; C3 07 is three 7s; C1 FF a single FF.
  const Bytes data = {0x01, 0xC0, 0xC3, 0x07, 0xC1, 0xFF, 0x02};
  PcxRunLengthReader reader(data.data(), data.size(), 0);
  uint8_t first[3], second[5];
  EXPECT_TRUE(reader.Read(first, 3));
  EXPECT_TRUE(reader.Read(second, 4));
  EXPECT_EQ(Bytes(first, first + 3), (Bytes{0x01, 0xC0, 0x07}));
  EXPECT_EQ(Bytes(second, second + 4), (Bytes{0x07, 0x07, 0xFF, 0x02}));
  EXPECT_EQ(reader.position(), data.size());
  // Past the data: zeros, and the reader says so.
  second[0] = 9;
  EXPECT_FALSE(reader.Read(second, 2));
  EXPECT_EQ(second[0], 0);
}

TEST(PcxDecoder, EightBitRowsAndPalette) {
  const int width = 13, height = 4;
  std::vector<uint8_t> indices;
  for (int i = 0; i < width * height; ++i) indices.push_back(static_cast<uint8_t>(i < 20 ? 0xC5 : i));
  std::vector<Rgb> palette;
  for (int i = 0; i < 256; ++i) palette.push_back({static_cast<uint8_t>(i), 7, static_cast<uint8_t>(255 - i)});
  const Bytes file = testing::WritePcx8(width, height, indices, palette);

  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::Pcx8);
  EXPECT_EQ(picture->width, width);
  EXPECT_EQ(picture->height, height);
  const size_t rowLength = 16;  // 14 bytes per line rounded up to 4
  ASSERT_EQ(picture->DataSize(), rowLength * height + 1064);
  int32_t dibHeight;
  std::memcpy(&dibHeight, picture->pixels.data() + 8, 4);
  EXPECT_EQ(dibHeight, -height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = picture->pixels.data() + kDibStart + y * rowLength;
    EXPECT_EQ(Bytes(row, row + width), Bytes(indices.begin() + y * width, indices.begin() + (y + 1) * width)) << y;
    EXPECT_EQ(Bytes(row + width, row + rowLength), Bytes(rowLength - width, 0)) << "padding of row " << y;
  }
  const uint8_t* entry = picture->pixels.data() + kDibHeaderSize + 200 * 4;
  EXPECT_EQ(Bytes(entry, entry + 4), (Bytes{55, 7, 200, 0}));
}

TEST(PcxDecoder, WithoutPaletteTheColoursAreAGreyRamp) {
  const Bytes file = testing::WritePcx8(4, 2, std::vector<uint8_t>(8, 9), {}, 0, false);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  const uint8_t* entry = picture->pixels.data() + kDibHeaderSize + 77 * 4;
  EXPECT_EQ(Bytes(entry, entry + 4), (Bytes{77, 77, 77, 0}));
}

TEST(PcxDecoder, OneBitRowsAreEvenAndLinesKeepInStep) {
  // Width 17: 3 pixel bytes, rows of 4; the file's lines are 4 bytes (3 rounded up to even),
  // and once 6, so the decoder must follow the header's line length.
  for (int bytesPerLine : {0, 6}) {
    const int width = 17, height = 3;
    std::vector<uint8_t> rows;
    for (int i = 0; i < 3 * height; ++i) rows.push_back(static_cast<uint8_t>(0x35 * (i + 1)));
    const Bytes file = testing::WritePcx1(width, height, rows, bytesPerLine);
    auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture) << bytesPerLine;
    EXPECT_EQ(picture->kind, PictureKind::Pcx1);
    ASSERT_EQ(picture->DataSize(), 4u * height);
    for (int y = 0; y < height; ++y) {
      const uint8_t* row = picture->pixels.data() + y * 4;
      EXPECT_EQ(Bytes(row, row + 3), Bytes(rows.begin() + y * 3, rows.begin() + y * 3 + 3)) << y;
      EXPECT_EQ(row[3], 0);
    }
  }
}

TEST(PcxDecoder, BrokenHeadersGiveNoPicture) {
  const Bytes good = testing::WritePcx8(4, 4, std::vector<uint8_t>(16, 1), {});
  struct Row {
    const char* rule;
    void (*damage)(Bytes&);
  };
  const Row rows[] = {
      {"PCX of 128 bytes or less", [](Bytes& b) { b.resize(128); }},
      {"PCX window inverted", [](Bytes& b) { b[4] = 9; }},
      {"PCX window inverted", [](Bytes& b) { b[6] = 9; }},
      {"PCX depth other than 1 bit in 1 plane or 8 bits", [](Bytes& b) { b[3] = 4; }},
      {"PCX depth other than 1 bit in 1 plane or 8 bits", [](Bytes& b) { b[3] = 1; b[65] = 4; }},
      {"not a run-length PCX of version 5 or older", [](Bytes& b) { b[1] = 6; }},
      {"not a run-length PCX of version 5 or older", [](Bytes& b) { b[2] = 0; }},
      {"PCX side outside 1..32767 or above 64 megapixels", [](Bytes& b) { b[8] = 0xFF; b[9] = 0xFF; }},
      {"PCX side outside 1..32767 or above 64 megapixels", [](Bytes& b) { b[8] = 0x40; b[9] = 0x1F; b[10] = 0x3F; b[11] = 0x1F; }},
      // 1000 × 2000 pixels, but 200 planes of 1000 bytes a row.
      {"PCX pixels above 256 MiB", [](Bytes& b) { b[8] = 0xE7; b[9] = 0x03; b[10] = 0xCF; b[11] = 0x07; b[65] = 200; }},
      {"PCX without planes", [](Bytes& b) { b[65] = 0; }},
      {"PCX lines without bytes", [](Bytes& b) { b[66] = b[67] = 0; }},
  };
  for (const Row& row : rows) {
    Bytes file = good;
    row.damage(file);
    EXPECT_STREQ(DecodePcx(file.data(), file.size()).error(), row.rule);
  }
}

TEST(PcxDecoder, ShortDataAndLongRunsStayInsideTheRows) {
  Bytes file = testing::WritePcx8(6, 3, std::vector<uint8_t>(18, 4), {}, 0, false);
  file.resize(128);
  file.insert(file.end(), {0xFF, 0x11, 0xFF, 0x22});  // two runs of 63 for 3 lines of 6
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->pixels.size(), kDibStart + 8 * 3);
  EXPECT_EQ(picture->pixels[kDibStart + 2 * 8 + 5], 0x11);
  EXPECT_EQ(picture->pixels[kDibStart + 2 * 8 + 6], 0);  // padding stays zero
}

}  // namespace
}  // namespace quorlin::pictures
