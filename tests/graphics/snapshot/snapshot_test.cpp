// Snapshot: captured and target sizes, the BMP file image byte for byte, and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/snapshot/snapshot.h"
#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"

namespace quorlin::snapshot {
namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

class SnapshotTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (HWND hwnd : made_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Pump();
  }
  // A borderless window whose pixel (x, y) is Colour(x, y).
  HWND Window(int width, int height, DWORD style = WS_POPUP | WS_VISIBLE) {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &DefWindowProcA;
      wc.lpszClassName = "SnapshotTestWindow";
      return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    const HWND hwnd = CreateWindowExA(0, "SnapshotTestWindow", "", style, 40, 30, width, height, 0, 0, 0, nullptr);
    made_.push_back(hwnd);
    Pump();
    const HDC dc = GetWindowDC(hwnd);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) SetPixel(dc, x, y, Colour(x, y));
    }
    ReleaseDC(hwnd, dc);
    return hwnd;
  }
  static COLORREF Colour(int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x * 3 + y) & 0xFF); }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

 private:
  std::vector<HWND> made_;
};

TEST_F(SnapshotTest, TargetSideRules) {
  struct Row {
    int captured, wanted, expected;
  };
  for (const Row& row : {Row{580, 0, 580}, Row{580, 300, 300}, Row{580, -50, 290}, Row{385, -50, 193},
                         Row{580, -5, 58}, Row{580, -10, 58}, Row{580, -200, 1160}, Row{3, -10, 0},
                         Row{580, INT32_MIN, -1}}) {
    EXPECT_EQ(ResolveSnapshotSide(row.captured, row.wanted), row.expected) << row.captured << ", " << row.wanted;
  }
}

TEST_F(SnapshotTest, FileImageOfAWindowIsHeaderThenBottomUpPaddedRows) {
  const HWND hwnd = Window(3, 2);
  const std::vector<uint8_t> bmp = Snapshot(hwnd);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  const std::vector<uint8_t> header(bmp.begin(), bmp.begin() + 54);
  std::vector<uint8_t> expected(54, 0);
  expected[0] = 'B';
  expected[1] = 'M';
  expected[2] = 54 + 24;
  expected[10] = 54;
  expected[14] = 40;
  expected[18] = 3;   // width
  expected[22] = 2;   // height, positive: bottom-up
  expected[26] = 1;   // planes
  expected[28] = 24;  // bits per pixel
  expected[34] = 24;  // image size
  EXPECT_EQ(header, expected);
  for (int row = 0; row < 2; ++row) {
    const int y = 1 - row;  // the first stored row is the window's bottom row
    for (int x = 0; x < 3; ++x) {
      const size_t at = 54 + static_cast<size_t>(row) * 12 + x * 3;
      EXPECT_EQ(bmp[at], GetBValue(Colour(x, y)));
      EXPECT_EQ(bmp[at + 1], GetGValue(Colour(x, y)));
      EXPECT_EQ(bmp[at + 2], GetRValue(Colour(x, y)));
    }
    for (int pad = 9; pad < 12; ++pad) EXPECT_EQ(bmp[54 + row * 12 + pad], 0) << "padding";
  }
}

TEST_F(SnapshotTest, SizesOfTheCardAndTheSmallCard) {
  struct Row {
    int width, height, wantedWidth, wantedHeight, expectedWidth, expectedHeight;
  };
  const HWND card = Window(580, 385);
  const HWND small = Window(300, 300);
  for (const auto& [hwnd, row] : std::vector<std::pair<HWND, Row>>{{card, {580, 385, 580, 385, 580, 385}},
                                                                  {small, {300, 300, 0, 0, 300, 300}},
                                                                  {card, {580, 385, -50, -50, 290, 193}},
                                                                  {card, {580, 385, -5, 0, 58, 385}},
                                                                  {small, {300, 300, 20, 10, 20, 10}}}) {
    const std::vector<uint8_t> bmp = Snapshot(hwnd, row.wantedWidth, row.wantedHeight);
    const int64_t rowLength = BmpRowLength(row.expectedWidth);
    ASSERT_EQ(bmp.size(), static_cast<size_t>(54 + rowLength * row.expectedHeight)) << row.wantedWidth;
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 10), 54u);
    EXPECT_EQ(static_cast<int>(Le32(bmp, 18)), row.expectedWidth);
    EXPECT_EQ(static_cast<int>(Le32(bmp, 22)), row.expectedHeight);
    EXPECT_EQ(Le16(bmp, 28), 24);
    EXPECT_EQ(Le32(bmp, 34), rowLength * row.expectedHeight);
  }
  EXPECT_EQ(BmpRowLength(580), 1740);
  EXPECT_EQ(BmpRowLength(300), 900);
}

TEST_F(SnapshotTest, AnUnscaledCaptureIncludesTheFrameAndScalingKeepsAUniformColour) {
  const HWND framed = Window(30, 20, WS_POPUP | WS_BORDER | WS_VISIBLE);
  RECT client{};
  GetClientRect(framed, &client);
  EXPECT_EQ(client.right, 28);
  const std::vector<uint8_t> bmp = Snapshot(framed);
  EXPECT_EQ(Le32(bmp, 18), 30u) << "the whole window rectangle";

  const HWND plain = Window(40, 40);
  const HDC dc = GetWindowDC(plain);
  const RECT all{0, 0, 40, 40};
  const HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  ReleaseDC(plain, dc);
  const std::vector<uint8_t> scaled = Snapshot(plain, 17, -50);
  ASSERT_EQ(scaled.size(), 54u + BmpRowLength(17) * 20);
  EXPECT_EQ(scaled[54], 30);
  EXPECT_EQ(scaled[55], 200);
  EXPECT_EQ(scaled[56], 10);
}

TEST_F(SnapshotTest, FailuresGiveTheEmptyByteSet) {
  const HWND hwnd = Window(10, 10);
  EXPECT_TRUE(Snapshot(hwnd, -10, 0).size() > 0);
  EXPECT_TRUE(Snapshot(hwnd, 0, INT32_MIN).empty()) << "a size resolving below 1";
  const HWND tiny = Window(3, 3);
  EXPECT_TRUE(Snapshot(tiny, -10, 0).empty()) << "10 % of 3 rounds to 0";
  DestroyWindow(hwnd);
  EXPECT_TRUE(Snapshot(hwnd).empty()) << "a destroyed window";
  EXPECT_TRUE(Snapshot(0x7FFF0001).empty());
}

TEST_F(SnapshotTest, ScreenCaptureHasTheScreenSize) {
  const std::vector<uint8_t> bmp = Snapshot(0, -10, -10);
  ASSERT_FALSE(bmp.empty());
  EXPECT_EQ(static_cast<int>(Le32(bmp, 18)), MulDiv(GetSystemMetrics(SM_CXSCREEN), 10, 100));
  EXPECT_EQ(static_cast<int>(Le32(bmp, 22)), MulDiv(GetSystemMetrics(SM_CYSCREEN), 10, 100));
}

}  // namespace
}  // namespace quorlin::snapshot
