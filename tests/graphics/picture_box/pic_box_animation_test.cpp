// GIF animation in a picture box: frames composed with disposal and transparency, delays kept,
// the loop, the acknowledged stop, and no drawing once the window is gone.
#include <chrono>
#include <thread>

#include "tests/graphics/picture_box/pic_box_test_support.h"

namespace quorlin::pictures::testing {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr COLORREF kBack = RGB(255, 255, 255);
const std::vector<Rgb> kPalette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
constexpr uint8_t kRed = 0, kGreen = 1, kBlue = 2, kYellow = 3;

GifImage Frame(int left, int top, int width, int height, std::vector<uint8_t> indices, int delay, int disposal = 0) {
  GifImage image;
  image.left = left;
  image.top = top;
  image.width = width;
  image.height = height;
  image.indices = std::move(indices);
  image.minCodeSize = 2;
  image.control = true;
  image.delay = delay;
  image.disposal = disposal;
  return image;
}

Bytes FourByFour(std::vector<GifImage> images) {
  Gif gif;
  gif.width = 4;
  gif.height = 4;
  gif.globalPalette = kPalette;
  gif.images = std::move(images);
  gif.application = true;  // a loop count is skipped with its extension
  return WriteGif(gif);
}

// Waits (bounded) until the animation has shown `frames` frames.
bool WaitForFrames(const PicBox& box, uint64_t frames, std::chrono::seconds limit = 10s) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (box.Animation() && box.Animation()->FramesShown() >= frames) return true;
    std::this_thread::sleep_for(2ms);
  }
  return false;
}

TEST_F(PicBoxTest, FramesAreComposedWithDisposalAndTransparency) {
  GifImage keyed = Frame(2, 2, 2, 2, {kGreen, kBlue, kGreen, kGreen}, 1);
  keyed.transparent = true;
  keyed.transparentIndex = kBlue;
  const Bytes gif = FourByFour({
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kRed), 1),
      keyed,                                  // (3, 2) is left out: red stays
      Frame(0, 0, 1, 1, {kBlue}, 1, 2),       // its area is put back before the next frame
      Frame(1, 0, 1, 1, {kYellow}, 1000, 3),  // ten seconds: the picture holds still
  });
  PicBoxSettings settings;
  settings.backColor = kBack;
  settings.picture = gif;
  auto box = MakeBox(6, 6, settings);
  ASSERT_TRUE(box->Animation());
  ASSERT_TRUE(WaitForFrames(*box, 4));
  InvalidateRect(box->Window(), nullptr, FALSE);  // painting shows the current frame too
  ExpectClient(
      *box,
      [](int x, int y) {
        if (x >= 4 || y >= 4) return kBack;
        if (x == 1 && y == 0) return RGB(255, 255, 0);
        if (x >= 2 && y >= 2 && !(x == 3 && y == 2)) return RGB(0, 255, 0);
        return RGB(255, 0, 0);
      },
      "after four frames");

  const auto before = Clock::now();
  box->SetPicture({});
  EXPECT_LT(Clock::now() - before, 2s) << "the stop does not wait out the frame's delay";
  EXPECT_FALSE(box->Animation());
  ExpectClient(*box, [](int, int) { return kBack; }, "cleared");
}

TEST_F(PicBoxTest, FramesKeepTheirDelaysAndTheAnimationLoops) {
  const Bytes gif = FourByFour({
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kRed), 6),
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kGreen), 0),  // 0 plays as 50 ms
  });
  PicBoxSettings settings;
  settings.picture = gif;
  settings.displayMode = 1;
  auto box = MakeBox(8, 8, settings);
  ASSERT_TRUE(WaitForFrames(*box, 5)) << "the frames repeat after the trailer";
  const auto times = box->Animation()->FrameTimes();
  ASSERT_GE(times.size(), 5u);
  for (size_t i = 1; i < 5; ++i) {
    const auto wanted = i % 2 == 1 ? 60ms : 50ms;
    EXPECT_GE(times[i] - times[i - 1], wanted) << "frame " << i;
  }
  const COLORREF shown = Pixel(*box, 4, 4);
  EXPECT_TRUE(shown == RGB(255, 0, 0) || shown == RGB(0, 255, 0)) << std::hex << shown;
}

TEST_F(PicBoxTest, LaterLoopsReplayTheFramesDecodedInTheFirst) {
  const Bytes gif = FourByFour({
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kRed), 1),
      Frame(2, 2, 9, 9, std::vector<uint8_t>(81, kBlue), 1),  // larger than the screen: cut to it
      Frame(0, 0, 1, 1, {kYellow}, 1, 2),
  });
  PicBoxSettings settings;
  settings.backColor = kBack;
  settings.picture = gif;
  auto box = MakeBox(4, 4, settings);
  ASSERT_TRUE(WaitForFrames(*box, 6));
  const uint64_t decoded = box->Animation()->FramesDecoded();
  ASSERT_TRUE(WaitForFrames(*box, 20));
  EXPECT_EQ(box->Animation()->FramesDecoded(), decoded) << "no frame is decoded twice once a loop is kept";
  EXPECT_LE(decoded, 4u);
}

TEST_F(PicBoxTest, AnimateOffShowsTheFirstImageStill) {
  const Bytes gif = FourByFour({
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kBlue), 1),
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kGreen), 1),
  });
  PicBoxSettings settings;
  settings.picture = gif;
  auto box = MakeBox(4, 4, settings);
  ASSERT_TRUE(box->Animation());
  box->SetAnimate(false);
  EXPECT_FALSE(box->Animation());
  EXPECT_TRUE(box->HasPicture());
  ExpectClient(*box, [](int, int) { return RGB(0, 0, 255); }, "still");
  box->SetAnimate(true);
  EXPECT_TRUE(box->Animation()) << "decoded again, animated";
}

TEST_F(PicBoxTest, NothingDrawsOnceTheWindowIsGone) {
  const Bytes gif = FourByFour({
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kRed), 1),
      Frame(0, 0, 4, 4, std::vector<uint8_t>(16, kGreen), 1),
  });
  PicBoxSettings settings;
  settings.picture = gif;
  auto box = MakeBox(4, 4, settings);
  ASSERT_TRUE(WaitForFrames(*box, 2));
  DestroyWindow(holder_);  // takes the box's window with it
  EXPECT_EQ(box->Window(), HWND{0});
  EXPECT_FALSE(box->Animation()) << "the worker ended before the window went";
  box.reset();  // the object without a window goes quietly
}

TEST_F(PicBoxTest, AGifWithoutImagesIsNoPicture) {
  Gif gif;
  gif.width = 4;
  gif.height = 4;
  gif.globalPalette = kPalette;
  PicBoxSettings settings;
  settings.backColor = kBack;
  auto box = MakeBox(4, 4, settings);
  EXPECT_FALSE(box->SetPicture(WriteGif(gif)));
  EXPECT_FALSE(box->Animation());
  ExpectClient(*box, [](int, int) { return kBack; }, "background only");
}

}  // namespace
}  // namespace quorlin::pictures::testing
