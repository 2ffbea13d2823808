// 16-bit PNG files written by an outside encoder (ImageMagick's convert, from 16-bit samples the
// test chooses): interlaced or not, grey, colour or with alpha, with or without gamma chunks,
// every channel must come out as other decoders show it, the sample scaled to 8 bits (±1).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "graphics/pictures/pictures.h"
#include "graphics/pictures/png_chunks.h"

namespace quorlin::pictures {
namespace {

namespace fs = std::filesystem;
constexpr const char* kConvert = "/usr/bin/convert";
constexpr int kWidth = 37, kHeight = 23;  // odd sizes leave every interlace pass uneven

struct Variant {
  const char* name;
  int channels;        // 1 grey, 3 colour, 4 colour and alpha
  bool interlaced;
  bool gammaChunks;    // as the encoder writes by default
};

uint16_t Sample(int x, int y, int channel) {
  const uint32_t mixed = static_cast<uint32_t>(x * 1777 + y * 30011 + channel * 9001) * 2654435761u;
  return static_cast<uint16_t>(mixed >> 16);
}

// A portable arbitrary map of 16-bit samples, which the encoder reads as they are.
std::string PortableMap(int channels) {
  static const char* const kTupleTypes[] = {"", "GRAYSCALE", "", "RGB", "RGB_ALPHA"};
  std::string out = "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " + std::to_string(kHeight) + "\nDEPTH " +
                    std::to_string(channels) + "\nMAXVAL 65535\nTUPLTYPE " + kTupleTypes[channels] + "\nENDHDR\n";
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      for (int c = 0; c < channels; ++c) {
        const uint16_t v = Sample(x, y, c);
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v & 0xFF));
      }
    }
  }
  return out;
}

class SixteenBitPng : public ::testing::Test {
 protected:
  void SetUp() override {
    if (access(kConvert, X_OK) != 0) GTEST_SKIP() << kConvert << " is missing (scripts/install-deps.sh installs it)";
    std::random_device seed;
    directory_ = fs::temp_directory_path() / ("quorlin-png16-" + std::to_string(seed()));
    fs::create_directories(directory_);
  }
  void TearDown() override {
    if (!directory_.empty()) fs::remove_all(directory_);
  }

  std::vector<uint8_t> Encode(const Variant& v) const {
    const fs::path in = directory_ / "in.pam", out = directory_ / "out.png";
    std::ofstream(in, std::ios::binary) << PortableMap(v.channels);
    static const char* const kFormats[] = {"", "PNG", "", "PNG48", "PNG64"};
    std::string command = std::string(kConvert) + " '" + in.string() + "' -define png:bit-depth=16";
    if (v.channels == 1) command += " -define png:color-type=0";
    if (!v.gammaChunks) command += " -define png:exclude-chunks=gAMA,cHRM,sRGB,bKGD,date,tIME";
    command += std::string(" -interlace ") + (v.interlaced ? "PNG" : "none");
    command += std::string(" ") + kFormats[v.channels] + ":'" + out.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream file(out, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
  }

  fs::path directory_;
};

TEST_F(SixteenBitPng, EveryChannelIsTheSampleScaledToEightBits) {
  const Variant variants[] = {
      {"colour, interlaced, no gamma chunk", 3, true, false},
      {"colour, not interlaced, no gamma chunk", 3, false, false},
      {"grey, interlaced, no gamma chunk", 1, true, false},
      {"grey, not interlaced, no gamma chunk", 1, false, false},
      {"colour and alpha, interlaced, no gamma chunk", 4, true, false},
      {"colour, interlaced, with the encoder's gamma chunks", 3, true, true},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    const std::vector<uint8_t> file = Encode(v);
    ASSERT_FALSE(file.empty()) << "the encoder failed";
    const std::optional<PngLayout> layout = ScanPngChunks(file.data(), file.size());
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->bitDepth, 16);
    ASSERT_EQ(layout->interlaced, v.interlaced);

    const auto picture = DecodePicture(file.data(), file.size());
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, kWidth);
    ASSERT_EQ(picture->height, kHeight);
    int worst = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const uint8_t* bgra = picture->pixels.data() + (static_cast<size_t>(y) * kWidth + x) * 4;
        const int red = 0, green = v.channels == 1 ? 0 : 1, blue = v.channels == 1 ? 0 : 2;  // grey: one sample
        const int expected[4] = {(Sample(x, y, blue) * 255 + 32767) / 65535, (Sample(x, y, green) * 255 + 32767) / 65535,
                                 (Sample(x, y, red) * 255 + 32767) / 65535,
                                 v.channels == 4 ? (Sample(x, y, 3) * 255 + 32767) / 65535 : 255};
        for (int c = 0; c < 4; ++c) worst = std::max(worst, std::abs(bgra[c] - expected[c]));
      }
    }
    EXPECT_LE(worst, 1);
  }
}

}  // namespace
}  // namespace quorlin::pictures
