// A memory device context over a small bitmap filled with a sentinel colour, for tests that
// check every pixel inside and outside what an operation draws.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

namespace quorlin::platform::gdi::testing {

inline constexpr COLORREF kSentinel = 0x00123456;

class Canvas {
 public:
  Canvas(int width, int height, bool monochrome = false, COLORREF fill = kSentinel)
      : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(0);
    bitmap_ = monochrome ? CreateBitmap(width, height, 1, 1, nullptr) : CreateCompatibleBitmap(0, width, height);  // a memory DC alone would give a monochrome one
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF color) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, color);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  // Every pixel must be expected(x, y); reports the first few that are not.
  void Expect(const std::function<COLORREF(int, int)>& expected, const std::string& what) const {
    int failures = 0;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        const COLORREF got = At(x, y), want = expected(x, y);
        if (got != want && failures++ < 5) {
          ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") is " << std::hex << got << ", expected " << want;
        }
      }
    }
  }

  // The bounding box of the pixels that are no longer `background`.
  RECT Changed(COLORREF background = kSentinel) const {
    RECT r{width_, height_, -1, -1};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != background) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

inline bool Inside(int x, int y, int l, int t, int r, int b) { return x >= l && x < r && y >= t && y < b; }

}  // namespace quorlin::platform::gdi::testing
