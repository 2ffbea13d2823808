#include "graphics/pictures/picture_kind.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorlin::pictures {
namespace {

struct KindRow {
  const char* name;
  std::vector<uint8_t> bytes;
  PictureKind expected;
};

TEST(DetectPictureKind, FirstMatchingTestWins) {
  const KindRow rows[] = {
      {"BM then anything", {'B', 'M', 0xFF, 0xD8, 0x89, 0x50}, PictureKind::Bmp},
      {"FF D8 even when nothing valid follows", {0xFF, 0xD8, 0, 0, 0, 0}, PictureKind::Jpeg},
      {"PNG signature start", {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A}, PictureKind::Png},
      {"icon directory", {0, 0, 1, 0, 1, 0}, PictureKind::Icon},
      {"cursor directory", {0, 0, 2, 0, 3, 0}, PictureKind::Cursor},
      {"icon directory without entries", {0, 0, 1, 0, 0, 0}, PictureKind::None},
      {"directory of type 3", {0, 0, 3, 0, 1, 0}, PictureKind::None},
      {"GIF87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureKind::Gif},
      {"GIF89a", {'G', 'I', 'F', '8', '9', 'a'}, PictureKind::Gif},
      {"GIF88a is no GIF", {'G', 'I', 'F', '8', '8', 'a'}, PictureKind::None},
      {"PCX 0A 05 01 08", {0x0A, 5, 1, 8, 0, 0}, PictureKind::Pcx8},
      {"PCX 0A 00 01 08", {0x0A, 0, 1, 8, 0, 0}, PictureKind::Pcx8},
      {"PCX 0A 06 01 08 is too new", {0x0A, 6, 1, 8, 0, 0}, PictureKind::None},
      {"PCX 0A 03 01 01", {0x0A, 3, 1, 1, 0, 0}, PictureKind::Pcx1},
      {"PCX 0A 05 01 01", {0x0A, 5, 1, 1, 0, 0}, PictureKind::None},
      {"fewer than 6 bytes", {'B', 'M', 0, 0, 0}, PictureKind::None},
      {"text", {'h', 'e', 'l', 'l', 'o', '!'}, PictureKind::None},
  };
  for (const KindRow& row : rows)
    EXPECT_EQ(DetectPictureKind(row.bytes.data(), row.bytes.size()), row.expected) << row.name;
  EXPECT_EQ(DetectPictureKind(nullptr, 100), PictureKind::None);
}

}  // namespace
}  // namespace quorlin::pictures
