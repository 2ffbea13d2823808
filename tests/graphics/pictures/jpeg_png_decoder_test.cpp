#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"

// After our headers: libjpeg defines TRUE and FALSE as macros.
#include <jpeglib.h>

namespace quorlin::pictures {
namespace {

using testing::Bytes;

// Mean absolute difference of two byte sequences of equal length.
double MeanDifference(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size() || a.empty()) return 255;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
  return sum / static_cast<double>(a.size());
}

// A progressive file with its last scan repeated `copies` more times (libjpeg only warns).
Bytes WithRepeatedLastScan(const Bytes& jpeg, int copies) {
  size_t lastScan = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i;
  const size_t end = jpeg.size() - 2;  // FF D9
  Bytes out(jpeg.begin(), jpeg.begin() + static_cast<long>(end));
  for (int c = 0; c < copies; ++c) out.insert(out.end(), jpeg.begin() + static_cast<long>(lastScan), jpeg.begin() + static_cast<long>(end));
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TEST(JpegDecoder, ColourPictureComesOutBlueGreenRedBottomUp) {
  const testing::RgbImage image = testing::TestImage(40, 24);
  for (bool progressive : {false, true}) {
    const Bytes file = testing::WriteJpeg(image, 100, false, progressive);
    auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->kind, PictureKind::Jpeg);
    EXPECT_EQ(picture->width, 40);
    EXPECT_EQ(picture->height, 24);
    ASSERT_EQ(picture->DataSize(), 40u * 24 * 3);
    // Lossy, but close on average; a swapped channel or row order would be off by ~60.
    EXPECT_LE(MeanDifference(picture->pixels, testing::ToBgrBottomUp(image)), 4) << progressive;
  }
}

TEST(JpegDecoder, GreyPictureHasEqualChannels) {
  const testing::RgbImage image = testing::TestImage(16, 16);
  const Bytes file = testing::WriteJpeg(image, 95, true);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  for (size_t i = 0; i < picture->pixels.size(); i += 3) {
    ASSERT_EQ(picture->pixels[i], picture->pixels[i + 1]) << i;
    ASSERT_EQ(picture->pixels[i], picture->pixels[i + 2]) << i;
  }
  // Bottom row first: the green ramp's last row is the brightest.
  EXPECT_GT(picture->pixels[0], 230);
  EXPECT_LT(picture->pixels.back(), 25);
}

TEST(JpegDecoder, TruncatedFileDecodesItsAvailablePart) {
  const testing::RgbImage image = testing::TestImage(64, 64);
  const Bytes file = testing::WriteJpeg(image, 90);
  const Bytes half(file.begin(), file.begin() + static_cast<long>(file.size() * 2 / 3));
  auto picture = DecodePicture(half.data(), half.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->height, 64);
  // The top rows (stored last) arrived intact.
  const Bytes expected = testing::ToBgrBottomUp(image);
  const size_t topRows = 8 * 64 * 3;
  EXPECT_LE(MeanDifference(Bytes(picture->pixels.end() - topRows, picture->pixels.end()),
                           Bytes(expected.end() - topRows, expected.end())), 6);
}

TEST(JpegDecoder, FatalErrorsAndEndlessScansGiveNoPicture) {
  const Bytes notJpeg = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3, 4, 5, 6};
  EXPECT_STREQ(DecodeJpeg(notJpeg.data(), notJpeg.size()).error(), "JPEG header refused by libjpeg");
  EXPECT_FALSE(DecodeJpeg(nullptr, 0).ok());

  const Bytes progressive = testing::WriteJpeg(testing::TestImage(16, 16), 80, false, true);
  const Bytes manyScans = WithRepeatedLastScan(progressive, kMaxJpegScans - 20);
  EXPECT_TRUE(DecodeJpeg(manyScans.data(), manyScans.size()).ok());
  const Bytes absurdScans = WithRepeatedLastScan(progressive, kMaxJpegScans + 10);
  EXPECT_STREQ(DecodeJpeg(absurdScans.data(), absurdScans.size()).error(), "JPEG data refused by libjpeg");
}

TEST(JpegDecoder, ALowerPixelCapRefusesOnlyLargerPictures) {
  const Bytes file = testing::WriteJpeg(testing::TestImage(40, 24), 90);
  EXPECT_TRUE(DecodeJpegWithin(file.data(), file.size(), 40 * 24).ok());
  EXPECT_FALSE(DecodeJpegWithin(file.data(), file.size(), 40 * 24 - 1).ok());
}

// A 4 × 4 CMYK JPEG of one colour; libjpeg marks it as Adobe (inverted channels).
Bytes WriteCmykJpeg(uint8_t c, uint8_t m, uint8_t y, uint8_t k) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = info.image_height = 4;
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < 4; ++x) row.insert(row.end(), {c, m, y, k});
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

TEST(JpegDecoder, FourComponentPicturesAreConvertedFromCmyk) {
  struct Row {
    uint8_t c, m, y, k;  // as stored: Adobe files hold 255 for no ink
    uint8_t blue, green, red;
  };
  const Row rows[] = {
      {255, 255, 255, 255, 255, 255, 255},  // no ink: white
      {255, 255, 255, 0, 0, 0, 0},          // full black
      {0, 255, 255, 255, 255, 255, 0},      // full cyan: no red
      {255, 255, 0, 255, 0, 255, 255},      // full yellow: no blue
  };
  for (const Row& row : rows) {
    const Bytes file = WriteCmykJpeg(row.c, row.m, row.y, row.k);
    auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->DataSize(), 4u * 4 * 3);
    EXPECT_NEAR(picture->pixels[0], row.blue, 3);
    EXPECT_NEAR(picture->pixels[1], row.green, 3);
    EXPECT_NEAR(picture->pixels[2], row.red, 3);
  }
}

TEST(PngDecoder, PixelsComeOutBlueGreenRedAlphaTopDown) {
  const std::vector<uint8_t> rgba = {
      255, 0, 0, 255,   0, 255, 0, 128,  0, 0, 255, 0,
      10, 20, 30, 40,   50, 60, 70, 80,  90, 100, 110, 255,
  };
  const Bytes file = testing::WritePng(3, 2, rgba);
  auto picture = DecodePicture(file.data(), file.size());
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->kind, PictureKind::Png);
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  Bytes expected;
  for (size_t i = 0; i < rgba.size(); i += 4) expected.insert(expected.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
  EXPECT_EQ(picture->pixels, expected);
}

TEST(PngDecoder, DamagedFilesGiveNoPicture) {
  const Bytes file = testing::WritePng(8, 8, std::vector<uint8_t>(256, 77));
  EXPECT_STREQ(DecodePng(file.data(), 7).error(), "PNG of fewer than 8 bytes");
  EXPECT_STREQ(DecodePng(file.data(), 20).error(), "PNG without a header chunk");
  Bytes cut(file.begin(), file.end() - 30);
  EXPECT_STREQ(DecodePng(cut.data(), cut.size()).error(), "PNG data refused by libpng");
  Bytes wide = file;
  wide[16] = 0x7F;  // IHDR width high byte (the CRC no longer matches either)
  EXPECT_FALSE(DecodePng(wide.data(), wide.size()).ok());
}

}  // namespace
}  // namespace quorlin::pictures
