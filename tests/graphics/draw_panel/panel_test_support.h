// Shared by the draw panel tests: a borderless top-level window at the screen's corner holding
// one panel, message pumping, pixel reads from the window and from the off-screen image, and
// small BMP pictures with known pixels.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/draw_panel/panel_font.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/sys_colors.h"
#include "platform/user/message_queue.h"
#include "platform/user/painting.h"
#include "platform/user/window_core.h"
#include "platform/user/window_geometry.h"
#include "tests/graphics/pictures/picture_writers.h"

namespace quorlin::drawpanel::testing {

using pictures::testing::Bytes;
using pictures::testing::Rgb;
using pictures::testing::RgbImage;

inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

inline COLORREF ColourOf(const Rgb& c) { return RGB(c.r, c.g, c.b); }

// A picture whose pixel (x, y) has the colour `colourAt(x, y)`.
inline RgbImage MakeImage(int width, int height, const std::function<COLORREF(int, int)>& colourAt) {
  RgbImage image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colourAt(x, y);
      image.pixels.push_back(Rgb{GetRValue(c), GetGValue(c), GetBValue(c)});
    }
  }
  return image;
}

// Every pixel a different colour, so that a misplaced pixel shows.
inline COLORREF Distinct(int x, int y) { return RGB((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3 + 1) & 0xFF); }

inline Bytes Bmp(const RgbImage& image) { return pictures::testing::WriteBmp(image, 24, false); }

class PanelTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 580;
  static constexpr int kHeight = 385;

  void TearDown() override {
    for (HWND hwnd : made_) {
      if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    Pump();
  }

  // A visible panel of the given size in a new top-level window at the screen's corner.
  DrawPanel& MakePanel(const PanelProperties& properties = {}, int width = kWidth, int height = kHeight) {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &DefWindowProcA;
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      wc.lpszClassName = "DrawPanelTestFrame";
      return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    const HWND frame = CreateWindowExA(0, "DrawPanelTestFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, width + 20, height + 20, 0, 0,
                                       0, nullptr);
    made_.push_back(frame);
    const HWND hwnd = DrawPanel::Create(properties, frame, 0, 0, width, height, WS_VISIBLE, 1);
    EXPECT_NE(hwnd, HWND{0});
    DrawPanel* panel = DrawPanel::FromWindow(hwnd);
    if (!panel) throw std::runtime_error("no panel");
    Pump();
    return *panel;
  }

  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // What the window shows at a client pixel.
  static COLORREF Shown(const DrawPanel& panel, int x, int y) {
    const HDC dc = GetDC(panel.Window());
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(panel.Window(), dc);
    return c;
  }
  static COLORREF InImage(const DrawPanel& panel, int x, int y) { return GetPixel(panel.OffscreenImageDC(), x, y); }

  // Every pixel of the rectangle (client pixels) must be expected(x, y) on the window and, when
  // there is one, on the off-screen image; the first few that are not are reported.
  static void ExpectArea(const DrawPanel& panel, const RECT& area, const std::function<COLORREF(int, int)>& expected,
                         const std::string& what) {
    const HDC dc = GetDC(panel.Window());
    int failures = 0;
    for (int y = area.top; y < area.bottom && failures < 3; ++y) {
      for (int x = area.left; x < area.right && failures < 3; ++x) {
        const COLORREF want = expected(x, y);
        const COLORREF shown = GetPixel(dc, x, y);
        if (shown != want) {
          ++failures;
          ADD_FAILURE() << what << ": window pixel (" << x << ", " << y << ") is " << std::hex << shown
                        << ", expected " << want;
        }
        if (panel.HasOffscreenImage()) {
          const COLORREF kept = GetPixel(panel.OffscreenImageDC(), x, y);
          if (kept != want) {
            ++failures;
            ADD_FAILURE() << what << ": image pixel (" << x << ", " << y << ") is " << std::hex << kept
                          << ", expected " << want;
          }
        }
      }
    }
    ReleaseDC(panel.Window(), dc);
  }

  // The extent of a text in the panel's current font (unit 0), measured independently.
  static SIZE ExtentOf(const DrawPanel& panel, const std::string& text) {
    const LOGFONTA record = PanelFontRecord(panel.Properties().font, 0, 96);
    const HFONT font = CreateFontIndirectA(&record);
    const HDC dc = CreateCompatibleDC(0);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return size;
  }

  static COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }

 private:
  std::vector<HWND> made_;
};

inline std::vector<PanelText> Texts(std::initializer_list<const char*> texts) {
  std::vector<PanelText> values;
  for (const char* t : texts) values.emplace_back(t);
  return values;
}

}  // namespace quorlin::drawpanel::testing
