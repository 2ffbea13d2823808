// Writes the picture fuzzers' seed files when run by hand:
//   QUORLIN_FUZZ_SEEDS=fuzz/seeds pictures_tests --gtest_also_run_disabled_tests --gtest_filter='*FuzzSeeds*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures::testing {
namespace {

void Save(const std::filesystem::path& folder, const char* target, const char* name, const Bytes& bytes) {
  std::filesystem::create_directories(folder / target);
  std::ofstream(folder / target / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(PictureFuzzSeeds, DISABLED_Write) {
  const char* folder = std::getenv("QUORLIN_FUZZ_SEEDS");
  ASSERT_NE(folder, nullptr);
  const std::filesystem::path out(folder);
  const RgbImage image = TestImage(12, 9);

  Save(out, "bmp_decoder_fuzzer", "24bit-bottom-up.bmp", WriteBmp(image, 24, false));
  Save(out, "bmp_decoder_fuzzer", "32bit-top-down.bmp", WriteBmp(image, 32, true));
  for (int bits : {1, 4, 8}) {
    IndexedBmp bmp{7, 3, bits, std::vector<uint8_t>(21, 1), {}, 0, false};
    bmp.palette.assign(size_t{1} << bits, Rgb{10, 20, 30});
    Save(out, "bmp_decoder_fuzzer", bits == 1 ? "1bit.bmp" : bits == 4 ? "4bit.bmp" : "8bit.bmp", WriteIndexedBmp(bmp));
  }

  Gif gif;
  gif.width = 8;
  gif.height = 6;
  gif.globalPalette.assign(4, Rgb{1, 2, 3});
  gif.comment = gif.application = true;
  GifImage first{0, 0, 8, 6, std::vector<uint8_t>(48, 2), {}, false, 2, true, 2, true, 1, 5};
  GifImage second{2, 1, 4, 5, std::vector<uint8_t>(20, 3), {{9, 9, 9}, {8, 8, 8}, {7, 7, 7}, {6, 6, 6}}, true, 2};
  gif.images = {first, second};
  Save(out, "gif_decoder_fuzzer", "two-frames.gif", WriteGif(gif));
  gif.images = {second};
  Save(out, "gif_decoder_fuzzer", "interlaced-local-table.gif", WriteGif(gif));

  std::vector<Rgb> palette(256, Rgb{5, 6, 7});
  Save(out, "pcx_decoder_fuzzer", "8bit.pcx", WritePcx8(9, 4, std::vector<uint8_t>(36, 0xC7), palette));
  Save(out, "pcx_decoder_fuzzer", "1bit.pcx", WritePcx1(17, 3, std::vector<uint8_t>(9, 0x5A)));

  Save(out, "icon_decoder_fuzzer", "two-entries.ico",
       WriteIconFile(1, {{16, 16, 0, 32, WriteIconImage(16, 16, {1, 2, 3})}, {32, 32, 16, 32, WriteIconImage(8, 8, {4, 5, 6})}}));
  Save(out, "icon_decoder_fuzzer", "cursor.cur", WriteIconFile(2, {{8, 8, 0, 32, WriteIconImage(8, 8, {7, 8, 9})}}));

  Save(out, "jpeg_decoder_fuzzer", "baseline.jpg", WriteJpeg(image, 75));
  Save(out, "jpeg_decoder_fuzzer", "grey.jpg", WriteJpeg(image, 75, true));
  Save(out, "jpeg_decoder_fuzzer", "progressive.jpg", WriteJpeg(image, 75, false, true));

  std::vector<uint8_t> rgba;
  for (int i = 0; i < 12 * 9; ++i) rgba.insert(rgba.end(), {static_cast<uint8_t>(i), 100, 200, static_cast<uint8_t>(i * 2)});
  Save(out, "png_decoder_fuzzer", "rgba.png", WritePng(12, 9, rgba));
}

}  // namespace
}  // namespace quorlin::pictures::testing
