// A face read through the font file reader draws what FreeType's own file face draws, glyphs
// from all over the file included; a missing, empty or cut-off file is refused.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/font_file_reader.h"

namespace quorlin::platform::gdi::testing {
namespace {

struct FontFile {
  std::string path;
  int index = 0;
};

// The system's face for simplified Chinese text: a large file whose glyphs lie far apart.
FontFile ChineseFontFile() {
  FontFile file;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return file;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=zh-cn"));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    file.path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(match, FC_INDEX, 0, &file.index);
  }
  if (match) FcPatternDestroy(match);
  FcConfigDestroy(config);
  return file;
}

struct Drawn {
  FT_Pos advance = 0;
  int width = 0;
  int rows = 0;
  std::vector<unsigned char> pixels;
  bool operator==(const Drawn&) const = default;
};

std::vector<Drawn> Draw(FT_Face face, const std::u32string& text) {
  std::vector<Drawn> drawn;
  FT_Set_Pixel_Sizes(face, 0, 21);
  for (char32_t c : text) {
    Drawn d;
    if (FT_Load_Char(face, c, FT_LOAD_RENDER) == 0) {
      const FT_Bitmap& bitmap = face->glyph->bitmap;
      d.advance = face->glyph->advance.x;
      d.width = static_cast<int>(bitmap.width);
      d.rows = static_cast<int>(bitmap.rows);
      for (unsigned y = 0; y < bitmap.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        d.pixels.insert(d.pixels.end(), row, row + bitmap.width);
      }
    }
    drawn.push_back(std::move(d));
  }
  return drawn;
}

class FontFileReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&library_), 0); }
  void TearDown() override { FT_Done_FreeType(library_); }
  FT_Library library_ = nullptr;
};

TEST_F(FontFileReaderTest, DrawsWhatAFileFaceDraws) {
  const FontFile file = ChineseFontFile();
  if (file.path.empty()) GTEST_SKIP() << "no font for Chinese text";
  FT_Face read = nullptr;
  FT_Face opened = nullptr;
  ASSERT_EQ(OpenFaceFromFile(library_, file.path, file.index, &read), 0) << file.path;
  ASSERT_EQ(FT_New_Face(library_, file.path.c_str(), file.index, &opened), 0);
  EXPECT_EQ(read->num_glyphs, opened->num_glyphs);
  EXPECT_EQ(read->units_per_EM, opened->units_per_EM);
  const std::u32string text = U"Ag9 吧龄年一鬱龘生成中文字体齉〇";
  const std::vector<Drawn> fromReader = Draw(read, text);
  EXPECT_EQ(fromReader, Draw(opened, text));
  size_t inked = 0;
  for (const Drawn& d : fromReader) inked += d.pixels.size();
  EXPECT_GT(inked, 0u);
  FT_Done_Face(read);
  FT_Done_Face(opened);
}

TEST_F(FontFileReaderTest, RefusesMissingEmptyAndCutOffFiles) {
  FT_Face face = nullptr;
  EXPECT_NE(OpenFaceFromFile(library_, "/nonexistent/font.ttc", 0, &face), 0);
  EXPECT_NE(OpenFaceFromFile(library_, "/tmp", 0, &face), 0) << "a folder";

  char empty[] = "/tmp/quorlin-font-XXXXXX";
  const int fd = mkstemp(empty);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_NE(OpenFaceFromFile(library_, empty, 0, &face), 0);

  const FontFile file = ChineseFontFile();
  if (!file.path.empty()) {
    // The header and table directory without the tables they point to.
    std::ifstream in(file.path, std::ios::binary);
    std::vector<char> head(4096);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(empty, std::ios::binary).write(head.data(), in.gcount());
    EXPECT_NE(OpenFaceFromFile(library_, empty, file.index, &face), 0);
  }
  std::remove(empty);
}

}  // namespace
}  // namespace quorlin::platform::gdi::testing
