// A visible top-level window to hold picture boxes, and pixel reads of what a box shows.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "graphics/picture_box/pic_box.h"
#include "platform/gdi/gdi.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::pictures::testing {

inline LRESULT HolderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class PicBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &HolderProcedure;
      windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      windowClass.lpszClassName = "PicBoxTestHolder";
      return RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
    holder_ = CreateWindowExA(0, "PicBoxTestHolder", "holder", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, 0, 0, 0, nullptr);
    ASSERT_NE(holder_, HWND{0});
  }
  void TearDown() override {
    if (IsWindow(holder_)) DestroyWindow(holder_);
    Pump();
  }

  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  std::unique_ptr<PicBox> MakeBox(int width, int height, PicBoxSettings settings) {
    auto box = PicBox::Create(holder_, 10, 10, width, height, WS_VISIBLE, settings);
    EXPECT_TRUE(box);
    if (box) UpdateWindow(box->Window());
    return box;
  }

  static COLORREF Pixel(const PicBox& box, int x, int y) {
    const HDC dc = GetDC(box.Window());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(box.Window(), dc);
    return c;
  }

  // Every client pixel must be expected(x, y); reports the first few that are not.
  static void ExpectClient(const PicBox& box, const std::function<COLORREF(int, int)>& expected, const std::string& what) {
    UpdateWindow(box.Window());
    RECT client{};
    GetClientRect(box.Window(), &client);
    const HDC dc = GetDC(box.Window());
    int failures = 0;
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x) {
        const COLORREF got = GetPixel(dc, x, y), want = expected(x, y);
        if (got != want && failures++ < 5)
          ADD_FAILURE() << what << ": (" << x << ", " << y << ") is " << std::hex << got << ", expected " << want;
      }
    ReleaseDC(box.Window(), dc);
  }

  HWND holder_ = 0;
};

inline ::quorlin::pictures::testing::Bytes SolidBmp(int width, int height, Rgb colour) {
  RgbImage image{width, height, std::vector<Rgb>(static_cast<size_t>(width) * height, colour)};
  return WriteBmp(image, 24, false);
}

}  // namespace quorlin::pictures::testing
