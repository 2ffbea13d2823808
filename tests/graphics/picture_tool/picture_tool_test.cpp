// quorlin-picture run as a program on generated files: what it prints, its exit status, and the
// pixels of the PNG or BMP it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "graphics/pictures/pictures.h"
#include "tests/graphics/pictures/picture_writers.h"
#include "tests/support/child_process.h"
#include "tests/support/hostile_pictures.h"

namespace quorlin::pictures {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::Rgb;

struct ToolRun {
  int status = -1;
  std::string output;  // standard output
};

class PictureToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    directory_ = fs::temp_directory_path() / ("quorlin-picture-test-" + std::to_string(seed()));
    fs::create_directories(directory_);
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string Path(const std::string& name) const { return (directory_ / name).string(); }

  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }

  static Bytes Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
  }

  // Runs the tool with the arguments (each quoted); standard error is discarded.
  static ToolRun Tool(const std::vector<std::string>& arguments) {
    std::string command = std::string("'") + QUORLIN_PICTURE_TOOL + "'";
    for (const std::string& a : arguments) command += " '" + a + "'";
    command += " 2>/dev/null";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 256> buffer;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  fs::path directory_;
};

// The blue, green, red bytes of pixel (x, y) of a decoded 24-bit picture (rows bottom-up).
Rgb PixelOf(const DecodedPicture& picture, int x, int y) {
  const size_t at = (static_cast<size_t>(picture.height - 1 - y) * picture.width + x) * 3;
  return Rgb{picture.pixels[at + 2], picture.pixels[at + 1], picture.pixels[at]};
}

TEST_F(PictureToolTest, PngOutputBlendsTransparencyOntoTheBackground) {
  // alpha 0, opaque, half-transparent black
  const std::string in = Write("in.png", testing::WritePng(3, 1, {9, 9, 9, 0, 10, 200, 30, 255, 0, 0, 0, 128}));
  const ToolRun run = Tool({in, Path("out.PNG"), "336699"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "png 3 1\n");
  const Bytes out = Read(Path("out.PNG"));
  ASSERT_EQ(DetectPictureKind(out.data(), out.size()), PictureKind::Png) << "a PNG whatever the case of .png";
  const auto picture = DecodePicture(out.data(), out.size());
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, 3);
  const uint8_t* p = picture->pixels.data();  // blue, green, red, alpha
  EXPECT_EQ((std::vector<uint8_t>(p, p + 12)),
            (std::vector<uint8_t>{0x99, 0x66, 0x33, 255, 30, 200, 10, 255, 76, 50, 25, 255}));

  const ToolRun white = Tool({in, Path("white.png")});
  EXPECT_EQ(white.status, 0);
  const Bytes whiteOut = Read(Path("white.png"));
  const auto whitePicture = DecodePicture(whiteOut.data(), whiteOut.size());
  ASSERT_TRUE(whitePicture);
  EXPECT_EQ(whitePicture->pixels[0], 255) << "FFFFFF by default";
  EXPECT_EQ(whitePicture->pixels[8], 126);
}

TEST_F(PictureToolTest, BmpOutputShowsTheLogicalScreenOfAGif) {
  testing::Gif gif;
  gif.width = 5;  // odd: the BMP rows are padded
  gif.height = 3;
  gif.globalPalette = {{255, 0, 0}, {0, 0, 255}};
  gif.images.push_back({0, 0, 2, 2, {0, 1, 1, 0}, {}, false, 2});
  const ToolRun run = Tool({Write("in.gif", testing::WriteGif(gif)), Path("out.bmp"), "#00FF00"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "gif 5 3\n");
  const Bytes out = Read(Path("out.bmp"));
  ASSERT_EQ(out.size(), 54u + 3 * 16) << "rows of 15 bytes padded to 16";
  EXPECT_EQ(out[28], 24) << "24 bits per pixel";
  const auto picture = DecodePicture(out.data(), out.size());
  ASSERT_TRUE(picture);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const Rgb expected = x >= 2 || y >= 2 ? Rgb{0, 255, 0} : (x + y) % 2 == 0 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
      EXPECT_EQ(PixelOf(*picture, x, y), expected) << x << "," << y;
    }
}

TEST_F(PictureToolTest, ExitStatusTellsWhatWentWrong) {
  const std::string good = Write("good.bmp", testing::WriteBmp(testing::TestImage(4, 4), 24, false));
  const std::string junk = Write("junk.jpg", Bytes(64, 0x5A));
  struct Row {
    std::vector<std::string> arguments;
    int status;
    const char* note;
  } rows[] = {
      {{junk, Path("a.bmp")}, 1, "nothing decodes"},
      {{good}, 2, "OUT missing"},
      {{good, Path("b.bmp"), "FFFFFF", "extra"}, 2, "too many"},
      {{good, Path("c.bmp"), "GG0000"}, 2, "not hexadecimal"},
      {{good, Path("d.bmp"), "FFF"}, 2, "too short"},
      {{Path("missing.png"), Path("e.bmp")}, 2, "IN unreadable"},
      {{good, Path("no-such-folder/f.bmp")}, 2, "OUT unwritable"},
  };
  for (const Row& row : rows) {
    const ToolRun run = Tool(row.arguments);
    EXPECT_EQ(run.status, row.status) << row.note;
    if (row.status == 1) {
      EXPECT_EQ(run.output, "no picture\n") << row.note;
    }
  }
  EXPECT_FALSE(fs::exists(Path("a.bmp"))) << "nothing written when nothing decodes";
  EXPECT_EQ(Tool({good, Path("ok.bmp")}).output, "bmp 4 4\n");
}

TEST_F(PictureToolTest, TinyFilesDeclaringGiantPicturesCostLittle) {
  // Each run is set against a run on an ordinary picture; the real costs are milliseconds and
  // a few megabytes, the bounds generous.
  const auto run = [&](const std::string& in) {
    const std::string out = Path("out.bmp");
    return quorlin::testing::RunInChild([&] {
      execl(QUORLIN_PICTURE_TOOL, "quorlin-picture", in.c_str(), out.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    });
  };
  const auto ordinary = run(Write("ordinary.bmp", testing::WriteBmp(testing::TestImage(64, 64), 24, false)));
  ASSERT_TRUE(ordinary.exited);
  ASSERT_EQ(ordinary.exitStatus, 0);
  for (const quorlin::testing::HostilePicture& picture : quorlin::testing::HostilePictures()) {
    SCOPED_TRACE(picture.name);
    const auto hostile = run(Write(picture.name, picture.bytes));
    ASSERT_TRUE(hostile.exited);
    const bool gif = picture.name.ends_with(".gif") && picture.name != "broken.gif";
    EXPECT_EQ(hostile.standardOutput, gif ? "gif 16 16\n" : "no picture\n");
    EXPECT_LT(hostile.peakKilobytes - ordinary.peakKilobytes, 100 * 1024) << hostile.peakKilobytes << " KiB";
    EXPECT_LT(hostile.seconds - ordinary.seconds, 2.0) << hostile.seconds << " s";
  }
}

}  // namespace
}  // namespace quorlin::pictures
