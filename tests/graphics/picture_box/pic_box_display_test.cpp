// What a picture box shows: the display modes, its background, clearing, borders and clamps.
#include "tests/graphics/picture_box/pic_box_test_support.h"

#include "graphics/picture_box/border_style.h"
#include "graphics/picture_box/picture_layout.h"
#include "platform/gdi/sys_colors.h"

namespace quorlin::pictures::testing {
namespace {

constexpr COLORREF kBack = RGB(0, 0, 255);
constexpr Rgb kPortrait{200, 100, 50};

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TEST(LayoutPicture, ModesPlaceThePictureAsSpecifiedByExample) {
  struct Row {
    DisplayMode mode;
    int clientWidth, clientHeight, pictureWidth, pictureHeight;
    RECT expected;
    const char* note;
  } rows[] = {
      {DisplayMode::Natural, 134, 134, 268, 150, {0, 0, 268, 150}, "natural size even when larger"},
      {DisplayMode::Stretched, 134, 134, 40, 40, {0, 0, 134, 134}, "stretched to the client"},
      {DisplayMode::Fitted, 134, 134, 40, 40, {47, 47, 87, 87}, "never enlarged, centred"},
      {DisplayMode::Fitted, 134, 134, 268, 150, {0, 29, 134, 104}, "shrunk by the smaller ratio"},
      {DisplayMode::Fitted, 580, 385, 800, 600, {33, 0, 546, 385}, "513 wide at 33"},
      {DisplayMode::Fitted, 100, 50, 60, 80, {31, 0, 68, 50}, "larger in one side only scales both"},
      {DisplayMode::Fitted, 11, 11, 4, 4, {3, 3, 7, 7}, "odd room: integer halves"},
  };
  for (const Row& row : rows) {
    const RECT r = LayoutPicture(row.mode, row.clientWidth, row.clientHeight, row.pictureWidth, row.pictureHeight);
    EXPECT_TRUE(EqualRect(&r, &row.expected)) << row.note << ": " << r.left << "," << r.top << "," << r.right << ","
                                              << r.bottom;
  }
}

TEST_F(PicBoxTest, EveryDisplayModeShowsThePictureWhereItBelongs) {
  struct Row {
    int mode, pictureWidth, pictureHeight;
    RECT drawn;
  } rows[] = {
      {0, 40, 40, {0, 0, 40, 40}},
      {1, 40, 40, {0, 0, 134, 134}},
      {2, 40, 40, {47, 47, 87, 87}},
      {2, 268, 150, {0, 29, 134, 104}},
      {0, 268, 150, {0, 0, 134, 134}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "mode " << row.mode << ", " << row.pictureWidth << "x" << row.pictureHeight);
    PicBoxSettings settings;
    settings.backColor = kBack;
    settings.displayMode = row.mode;
    settings.picture = SolidBmp(row.pictureWidth, row.pictureHeight, kPortrait);
    auto box = MakeBox(134, 134, settings);
    ASSERT_TRUE(box->HasPicture());
    ExpectClient(*box, [&](int x, int y) { return Inside(row.drawn, x, y) ? RGB(200, 100, 50) : kBack; }, "display");
  }
}

TEST_F(PicBoxTest, ChangingTheModeRepaintsAtOnce) {
  PicBoxSettings settings;
  settings.backColor = kBack;
  settings.picture = SolidBmp(20, 10, kPortrait);
  auto box = MakeBox(60, 60, settings);
  EXPECT_EQ(Pixel(*box, 30, 30), kBack);
  box->SetDisplayMode(1);
  EXPECT_EQ(Pixel(*box, 30, 30), RGB(200, 100, 50)) << "no message pump needed";
  box->SetDisplayMode(9);
  EXPECT_EQ(box->Settings().displayMode, 2);
  box->SetDisplayMode(-4);
  EXPECT_EQ(box->Settings().displayMode, 0);
}

TEST_F(PicBoxTest, PicturesClearAndFailToTheBackground) {
  PicBoxSettings settings;
  settings.backColor = kBack;
  settings.displayMode = 1;
  auto box = MakeBox(30, 30, settings);
  ExpectClient(*box, [](int, int) { return kBack; }, "without a picture");
  EXPECT_TRUE(box->SetPicture(SolidBmp(5, 5, kPortrait)));
  ExpectClient(*box, [](int, int) { return RGB(200, 100, 50); }, "stretched picture");
  EXPECT_FALSE(box->SetPicture({}));
  EXPECT_FALSE(box->HasPicture());
  ExpectClient(*box, [](int, int) { return kBack; }, "cleared by empty bytes");
  EXPECT_FALSE(box->SetPicture({0x42, 0x4D, 1, 2, 3, 4, 5, 6, 7, 8})) << "a BMP that does not decode";
  EXPECT_EQ(box->Settings().picture.size(), 10u) << "the bytes are kept as written";
  ExpectClient(*box, [](int, int) { return kBack; }, "undecodable");
}

TEST_F(PicBoxTest, TransparencyBlendsOntoTheBoxBackground) {
  PicBoxSettings settings;
  settings.backColor = RGB(255, 255, 255);
  settings.picture = WritePng(2, 1, {9, 9, 9, 0, 0, 0, 0, 128});
  auto box = MakeBox(4, 1, settings);
  EXPECT_EQ(Pixel(*box, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(Pixel(*box, 1, 0), RGB(126, 126, 126));

  box->SetBackColor(kSystemBackColor);
  UpdateWindow(box->Window());
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(box->EffectiveBackColor(), face);
  EXPECT_EQ(Pixel(*box, 0, 0), face) << "alpha 0 is the button face";
  EXPECT_EQ(Pixel(*box, 3, 0), face);
}

TEST_F(PicBoxTest, BorderStylesReplaceEachOtherAndShrinkTheClient) {
  constexpr DWORD kAllExtended = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  struct Row {
    int border;
    DWORD style, extended;
  } rows[] = {
      {1, 0, WS_EX_CLIENTEDGE},
      {2, 0, WS_EX_DLGMODALFRAME},
      {3, 0, WS_EX_STATICEDGE},
      {4, 0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},
      {5, WS_BORDER, 0},
      {0, 0, 0},
      {17, WS_BORDER, 0},  // clamped to 5
  };
  auto box = MakeBox(50, 40, PicBoxSettings{});
  RECT before{};
  GetWindowRect(box->Window(), &before);
  for (const Row& row : rows) {
    box->SetBorder(row.border);
    const HWND w = box->Window();
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)) & WS_BORDER, row.style) << row.border;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_EXSTYLE)) & kAllExtended, row.extended) << row.border;
    RECT client{}, now{};
    GetClientRect(w, &client);
    GetWindowRect(w, &now);
    EXPECT_TRUE(EqualRect(&now, &before)) << "not moved or sized, border " << row.border;
    if (row.style || row.extended) {
      EXPECT_LT(client.right, 50) << row.border;
    } else {
      EXPECT_EQ(client.right, 50);
    }
  }
  EXPECT_EQ(box->Settings().border, 5);
}

TEST_F(PicBoxTest, EveryKindShowsInABox) {
  Gif gif;
  gif.width = 3;
  gif.height = 3;
  gif.globalPalette = {{200, 100, 50}, {0, 0, 0}};
  gif.images.push_back({0, 0, 3, 3, std::vector<uint8_t>(9, 0), {}, false, 2});
  std::vector<Rgb> palette(256, kPortrait);
  const Bytes files[] = {
      SolidBmp(3, 3, kPortrait),
      WriteGif(gif),
      WritePcx8(3, 3, std::vector<uint8_t>(9, 4), palette),
      WriteIconFile(1, {{3, 3, 0, 32, WriteIconImage(3, 3, kPortrait)}}),
      WritePng(3, 3, [] {
        std::vector<uint8_t> rgba;
        for (int i = 0; i < 9; ++i) rgba.insert(rgba.end(), {200, 100, 50, 255});
        return rgba;
      }()),
  };
  for (const Bytes& file : files) {
    PicBoxSettings settings;
    settings.backColor = kBack;
    settings.displayMode = 1;
    settings.animate = false;
    settings.picture = file;
    auto box = MakeBox(9, 9, settings);
    ExpectClient(*box, [](int, int) { return RGB(200, 100, 50); }, "kind " + std::to_string(file[0]));
  }
}

}  // namespace
}  // namespace quorlin::pictures::testing
