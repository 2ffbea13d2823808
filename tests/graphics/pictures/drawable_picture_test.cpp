// Decoded pictures made drawable and drawn: the pixels of each kind, the PNG blend, stretching,
// raster operations, the transparent-colour mode, bitmap handles and the registered pictures.
#include <gtest/gtest.h>

#include <functional>

#include "graphics/pictures/drawable_picture.h"
#include "graphics/pictures/picture_registry.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "tests/graphics/pictures/picture_writers.h"
#include "tests/platform/gdi/canvas.h"

namespace quorlin::pictures {
namespace {

using platform::gdi::testing::Canvas;
using platform::gdi::testing::kSentinel;
using testing::Bytes;
using testing::Rgb;

COLORREF Ref(Rgb c) { return RGB(c.r, c.g, c.b); }

std::unique_ptr<DecodedPicture> Decode(const Bytes& file) {
  auto picture = DecodePicture(file.data(), file.size());
  EXPECT_TRUE(picture);
  return picture;
}

// Draws the picture at (x, y) in its natural size on a sentinel canvas.
void DrawOn(Canvas& canvas, const DecodedPicture& picture, COLORREF background, int x = 0, int y = 0,
            int width = -1, int height = -1, int64_t rop = SRCCOPY) {
  auto drawable = MakeDrawablePicture(picture, canvas.dc(), background);
  ASSERT_TRUE(drawable);
  DrawDecodedPicture(*drawable, x, y, width, height, rop);
}

TEST(PngBlend, WeightIsOneOver255InSinglePrecision) {
  EXPECT_EQ(kAlphaWeight, 0.003921568859368563);
  struct Row {
    uint8_t colour, alpha, background, expected;
    const char* note;
  } rows[] = {
      {0, 128, 255, 126, "255 × (1 − 128 w) is just below 127 and truncates"},
      {0, 0, 255, 255, "alpha 0 is the background"},
      {200, 0, 17, 17, "alpha 0 whatever the colour"},
      {255, 254, 0, 254, "254 × 255 w truncates below 254"},
      {255, 1, 255, 255, "the weighted sum stays inside 0..255"},
      {100, 51, 0, 20, "51 w of 100"},
  };
  for (const Row& row : rows) EXPECT_EQ(BlendChannel(row.colour, row.alpha, row.background), row.expected) << row.note;
}

TEST(MakeDrawablePicture, PngIsBlendedOntoTheGivenBackground) {
  // alpha 0 red, opaque green-ish, half-transparent black
  const std::vector<uint8_t> rgba = {255, 0, 0, 0, 10, 200, 30, 255, 0, 0, 0, 128};
  const auto picture = Decode(testing::WritePng(3, 1, rgba));
  Canvas blue(3, 1);
  DrawOn(blue, *picture, 0x00FF0000);
  EXPECT_EQ(blue.At(0, 0), 0x00FF0000u) << "alpha 0 on blue is pure blue";
  EXPECT_EQ(blue.At(1, 0), RGB(10, 200, 30)) << "alpha 255 keeps its colour";
  Canvas white(3, 1);
  DrawOn(white, *picture, 0x00FFFFFF);
  EXPECT_EQ(white.At(2, 0), RGB(126, 126, 126));
  EXPECT_EQ(picture->pixels[11], 128) << "the decoded picture keeps its alpha";
}

TEST(MakeDrawablePicture, EveryKindDrawsItsPixelsAtNaturalSize) {
  const testing::RgbImage image = testing::TestImage(5, 3);  // odd width: padded rows
  testing::Gif gif;
  gif.width = 4;
  gif.height = 3;
  gif.globalPalette = {{255, 0, 0}, {0, 0, 255}};
  gif.images.push_back({0, 0, 2, 2, {0, 1, 1, 0}, {}, false, 2});
  testing::Gif wide = gif;
  wide.width = 2;
  wide.height = 2;
  wide.images = {{0, 0, 5, 2, {0, 1, 0, 1, 0, 0, 1, 0, 1, 0}, {}, false, 2}};
  std::vector<Rgb> pcxPalette(256, Rgb{0, 0, 0});
  pcxPalette[7] = {1, 2, 3};
  pcxPalette[9] = {250, 128, 4};
  const std::vector<uint8_t> pcxIndices = {7, 9, 9, 7, 7, 9};
  struct Row {
    const char* name;
    Bytes file;
    int width, height;
    std::function<COLORREF(int, int)> expected;
  };
  const COLORREF background = RGB(0, 99, 0);
  Row rows[] = {
      {"bmp 24", testing::WriteBmp(image, 24, false), 5, 3, [&](int x, int y) { return Ref(image.at(x, y)); }},
      {"bmp top-down 32", testing::WriteBmp(image, 32, true), 5, 3, [&](int x, int y) { return Ref(image.at(x, y)); }},
      {"gif beside its first image the background shows", testing::WriteGif(gif), 4, 3,
       [&](int x, int y) {
         if (x >= 2 || y >= 2) return background;
         return (x + y) % 2 == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255);
       }},
      {"pcx8", testing::WritePcx8(3, 2, pcxIndices, pcxPalette), 3, 2,
       [&](int x, int y) { return Ref(pcxPalette[pcxIndices[y * 3 + x]]); }},
      {"pcx8 with lines longer than the width", testing::WritePcx8(3, 2, pcxIndices, pcxPalette, 10), 3, 2,
       [&](int x, int y) { return Ref(pcxPalette[pcxIndices[y * 3 + x]]); }},
      {"gif whose first image is wider than the screen", testing::WriteGif(wide), 2, 2,
       [&](int x, int) { return x == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255); }},
      {"pcx1", testing::WritePcx1(3, 2, {0xA0, 0x40}), 3, 2,
       [&](int x, int y) { return ((y == 0 && x != 1) || (y == 1 && x == 1)) ? RGB(255, 255, 255) : RGB(0, 0, 0); }},
      {"icon", testing::WriteIconFile(1, {{16, 16, 0, 32, testing::WriteIconImage(16, 16, {10, 20, 30})}}), 16, 16,
       [](int, int) { return RGB(10, 20, 30); }},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto picture = Decode(row.file);
    ASSERT_TRUE(picture);
    Canvas canvas(row.width + 2, row.height + 2);
    DrawOn(canvas, *picture, background, 1, 1);
    canvas.Expect(
        [&](int x, int y) {
          const bool inside = x >= 1 && y >= 1 && x <= row.width && y <= row.height;
          return inside ? row.expected(x - 1, y - 1) : kSentinel;
        },
        row.name);
  }
}

TEST(DrawDecodedPicture, StretchesAndAppliesTheRasterOperation) {
  testing::RgbImage image{2, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};
  const auto picture = Decode(testing::WriteBmp(image, 24, false));
  Canvas canvas(8, 8);
  DrawOn(canvas, *picture, 0, 0, 0, 8, 8);
  for (int qy = 0; qy < 2; ++qy)
    for (int qx = 0; qx < 2; ++qx)
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
          ASSERT_EQ(canvas.At(qx * 4 + x, qy * 4 + y), Ref(image.at(qx, qy))) << qx << "," << qy;

  Canvas inverted(2, 2, false, RGB(255, 255, 255));
  DrawOn(inverted, *picture, 0, 0, 0, -1, -1, SRCINVERT);
  inverted.Expect([&](int x, int y) { return Ref(image.at(x, y)) ^ 0x00FFFFFF; }, "white XOR picture");
}

TEST(DrawDecodedPicture, NegativeColourLeavesThatColourTransparent) {
  const Rgb red{255, 0, 0}, green{0, 255, 0};
  testing::RgbImage image{2, 2, {red, green, green, red}};
  const auto picture = Decode(testing::WriteBmp(image, 24, false));
  for (int scale : {1, 3}) {
    Canvas canvas(2 * scale, 2 * scale);
    DrawOn(canvas, *picture, 0, 0, 0, 2 * scale, 2 * scale, -int64_t{RGB(255, 0, 0)});
    canvas.Expect([&](int x, int y) { return Ref(image.at(x / scale, y / scale)) == RGB(255, 0, 0) ? kSentinel : Ref(green); },
                  scale == 1 ? "natural size" : "stretched");
    EXPECT_EQ(GetTextColor(canvas.dc()), RGB(0, 0, 0)) << "the target's colours are put back";
  }
}

TEST(MakeDrawablePicture, RefusesWhatCannotBeDrawn) {
  DecodedPicture empty;
  empty.kind = PictureKind::Bmp;
  empty.width = 4;
  empty.height = 4;  // no pixels at all
  Canvas canvas(4, 4);
  EXPECT_FALSE(MakeDrawablePicture(empty, canvas.dc(), 0));
  DecodedPicture iconWithoutHandle;
  iconWithoutHandle.kind = PictureKind::Icon;
  iconWithoutHandle.width = iconWithoutHandle.height = 4;
  EXPECT_FALSE(MakeDrawablePicture(iconWithoutHandle, canvas.dc(), 0));
}

TEST(PictureToBitmapHandle, BlendsOntoWhiteAndDrawsIconsOnWhite) {
  auto pixelOf = [](HBITMAP bitmap, int x, int y) {
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
  };
  const Bytes png = testing::WritePng(2, 1, {0, 0, 0, 0, 0, 0, 0, 128});
  const HBITMAP fromPng = PictureToBitmapHandle(png.data(), png.size());
  ASSERT_NE(fromPng, HBITMAP{0});
  EXPECT_EQ(pixelOf(fromPng, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(pixelOf(fromPng, 1, 0), RGB(126, 126, 126));
  DeleteObject(fromPng);

  // An icon whose left half has alpha 0 shows the white bitmap there.
  Bytes image = testing::WriteIconImage(8, 8, {1, 2, 3});
  for (size_t row = 0; row < 8; ++row)
    for (size_t x = 0; x < 4; ++x) image[40 + (row * 8 + x) * 4 + 3] = 0;
  const Bytes icon = testing::WriteIconFile(1, {{8, 8, 0, 32, image}});
  const HBITMAP fromIcon = PictureToBitmapHandle(icon.data(), icon.size());
  ASSERT_NE(fromIcon, HBITMAP{0});
  BITMAP info{};
  GetObjectA(fromIcon, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 8);
  EXPECT_EQ(info.bmHeight, 8);
  EXPECT_EQ(pixelOf(fromIcon, 3, 3), RGB(255, 255, 255));
  EXPECT_EQ(pixelOf(fromIcon, 4, 3), RGB(1, 2, 3));
  DeleteObject(fromIcon);

  const uint8_t junk[16] = {1, 2, 3};
  EXPECT_EQ(PictureToBitmapHandle(junk, sizeof junk), HBITMAP{0});
}

TEST(RegisteredPictures, AValueIsValidOnlyWhileRegistered) {
  EXPECT_EQ(RegisterPicture(nullptr), PictureValue{0});
  auto picture = std::make_unique<DecodedPicture>();
  picture->width = 7;
  const PictureValue value = RegisterPicture(std::move(picture));
  ASSERT_NE(value, PictureValue{0});
  EXPECT_TRUE(IsRegisteredPicture(value));
  int seenWidth = 0;
  EXPECT_TRUE(WithRegisteredPicture(value, [&](const DecodedPicture& p) { seenWidth = p.width; }));
  EXPECT_EQ(seenWidth, 7);
  EXPECT_TRUE(UnregisterPicture(value));
  EXPECT_FALSE(UnregisterPicture(value));
  EXPECT_FALSE(IsRegisteredPicture(value));
  EXPECT_FALSE(WithRegisteredPicture(value, [&](const DecodedPicture&) { seenWidth = 0; }));
  EXPECT_EQ(seenWidth, 7);
}

}  // namespace
}  // namespace quorlin::pictures
