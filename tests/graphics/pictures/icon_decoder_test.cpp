#include <gtest/gtest.h>

#include "graphics/pictures/decoders.h"
#include "graphics/pictures/pictures.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icon.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures {
namespace {

using testing::Bytes;
using testing::IconEntry;

// Records what the decoder hands to the system's icon creation.
struct CreatedIcon {
  Bytes bits;
  int width = 0, height = 0, bitDepth = 0;
  int calls = 0;
};
CreatedIcon g_created;

HICON RecordIcon(const uint8_t* bits, size_t size, int width, int height, int bitDepth) {
  g_created.bits.assign(bits, bits + size);
  g_created.width = width;
  g_created.height = height;
  g_created.bitDepth = bitDepth;
  ++g_created.calls;
  return 0;  // the record is the point; a null icon makes the decoder fail
}

IconEntry Entry(uint8_t width, uint8_t colours, int imageSide, uint16_t bits = 32) {
  IconEntry entry{width, width, colours, bits, testing::WriteIconImage(imageSide, imageSide, {1, 2, 3})};
  return entry;
}

TEST(IconDecoder, ChoosesTheFirst32PixelEntryOfMoreThan15ColoursElseTheLast) {
  struct Row {
    const char* name;
    std::vector<IconEntry> entries;
    int chosenSide;  // the image sides differ, so the side tells which image was handed over
  };
  const Row rows[] = {
      {"only one", {Entry(16, 0, 16)}, 16},
      {"32 with 16 colours wins over earlier ones", {Entry(16, 0, 16), Entry(32, 16, 32), Entry(48, 0, 48)}, 32},
      {"32 with 15 colours does not qualify", {Entry(32, 15, 32), Entry(48, 0, 48)}, 48},
      {"the first qualifying one", {Entry(32, 255, 31), Entry(32, 255, 33)}, 31},
      {"none qualifies: the last", {Entry(16, 16, 16), Entry(64, 255, 64), Entry(24, 0, 24)}, 24},
  };
  for (const Row& row : rows) {
    const Bytes file = testing::WriteIconFile(1, row.entries);
    g_created = {};
    EXPECT_FALSE(DecodeIcon(file.data(), file.size(), RecordIcon).ok());
    ASSERT_EQ(g_created.calls, 1) << row.name;
    EXPECT_EQ(g_created.width, row.chosenSide) << row.name;
    EXPECT_EQ(g_created.height, row.chosenSide) << row.name;  // half the bitmap header's height
    EXPECT_EQ(g_created.bitDepth, 32) << row.name;
    EXPECT_EQ(g_created.bits, testing::WriteIconImage(row.chosenSide, row.chosenSide, {1, 2, 3})) << row.name;
  }
}

TEST(IconDecoder, BrokenDirectoriesGiveNoPicture) {
  const Bytes good = testing::WriteIconFile(1, {Entry(16, 0, 16), Entry(32, 16, 32)});
  struct Row {
    const char* rule;
    void (*damage)(Bytes&);
  };
  const Row rows[] = {
      {"icon directory without entries", [](Bytes& b) { b[4] = 0; }},
      {"not an icon or cursor directory", [](Bytes& b) { b[2] = 3; }},
      {"icon directory entry past the data", [](Bytes& b) { b[4] = 200; b[6 + 16 + 2] = 0; b.resize(60); }},
      {"icon image past the data", [](Bytes& b) { b[6 + 16 + 12 + 3] = 0x7F; }},
      {"icon image past the data", [](Bytes& b) { b[6 + 16 + 8] = 0xFF; b[6 + 16 + 9] = 0xFF; }},
      {"icon image past the data", [](Bytes& b) { for (int i = 0; i < 4; ++i) b[6 + 16 + 8 + i] = 0; }},
      {"icon side outside 1..32767", [](Bytes& b) { b[6 + 32 + 16 * 16 * 4 + 40 + 16 * 4 + 4 + 3] = 0x80; }},
  };
  for (const Row& row : rows) {
    Bytes file = good;
    row.damage(file);
    g_created = {};
    EXPECT_STREQ(DecodeIcon(file.data(), file.size(), RecordIcon).error(), row.rule);
  }
}

TEST(IconDecoder, PlatformMakesTheIconAndTheRecordDestroysIt) {
  const Bytes ico = testing::WriteIconFile(1, {Entry(32, 0, 32)});
  auto icon = DecodePicture(ico.data(), ico.size());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->kind, PictureKind::Icon);
  EXPECT_EQ(icon->width, 32);
  EXPECT_EQ(icon->height, 32);
  EXPECT_TRUE(icon->pixels.empty());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon->icon, &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  const HICON handle = icon->icon;
  icon.reset();
  EXPECT_FALSE(GetIconInfo(handle, &info));

  const Bytes cur = testing::WriteIconFile(2, {Entry(16, 0, 16)});
  auto cursor = DecodePicture(cur.data(), cur.size());
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->kind, PictureKind::Cursor);
  EXPECT_EQ(cursor->width, 16);
}

}  // namespace
}  // namespace quorlin::pictures
