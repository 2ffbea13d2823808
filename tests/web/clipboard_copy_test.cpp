#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <optional>
#include <thread>
#include <vector>

#include "app/web/text_helpers.h"
#include "platform/shell/clipboard.h"
#include "platform/user/focus.h"
#include "platform/user/window_core.h"
#include "tests/web/web_test_kernel.h"

namespace quorlin::testing {
namespace {

using app::web::CopyPictureToClipboard;
using app::web::GetForegroundFocus;

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t at) {
  int32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

void PutInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) { std::memcpy(bytes.data() + at, &value, 4); }

// A 24-bit BMP file, bottom-up, of these pixels (blue, green, red; rows from the top).
std::vector<uint8_t> BmpFile(int width, int height, const std::vector<uint8_t>& topDownBgr) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<uint8_t> file(54 + static_cast<size_t>(stride) * height, 0);
  file[0] = 'B';
  file[1] = 'M';
  PutInt32(file, 2, static_cast<int32_t>(file.size()));
  PutInt32(file, 10, 54);
  PutInt32(file, 14, 40);
  PutInt32(file, 18, width);
  PutInt32(file, 22, height);
  file[26] = 1;
  file[28] = 24;
  for (int y = 0; y < height; ++y) {
    std::memcpy(file.data() + 54 + static_cast<size_t>(height - 1 - y) * stride, topDownBgr.data() + y * width * 3,
                static_cast<size_t>(width) * 3);
  }
  return file;
}

// The pixels of a 24-bit BMP file, rows from the top; nothing when it is not one.
std::optional<std::vector<uint8_t>> TopDownPixels(const std::vector<uint8_t>& file, int width, int height) {
  if (file.size() < 54 || Int32At(file, 18) != width || std::abs(Int32At(file, 22)) != height || file[28] != 24) {
    return std::nullopt;
  }
  const bool bottomUp = Int32At(file, 22) > 0;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  const size_t offset = static_cast<size_t>(Int32At(file, 10));
  if (offset + stride * height > file.size()) return std::nullopt;
  std::vector<uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    const size_t row = offset + stride * (bottomUp ? height - 1 - y : y);
    pixels.insert(pixels.end(), file.begin() + row, file.begin() + row + width * 3);
  }
  return pixels;
}

class ClipboardCopyTest : public WebKernelTest {
 protected:
  void SetUp() override { platform::ResetClipboard(); }
  void TearDown() override { platform::ResetClipboard(); }
};

TEST_F(ClipboardCopyTest, TheClipboardKeepsThePictureAfterItsObjectIsReleased) {
  const std::vector<uint8_t> pixels = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00,
                                       0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90};
  const std::vector<uint8_t> file = BmpFile(3, 2, pixels);
  const app::OwnedBytes picture = app::OwnedBytes::Copy(file.data(), file.size());
  CopyPictureToClipboard(picture.get());

  // The picture object (and its bitmap) is gone by now; the clipboard still has the pixels.
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  const std::optional<std::vector<BYTE>> copied = platform::ClipboardBitmapAsBmp();
  ASSERT_TRUE(copied.has_value());
  EXPECT_EQ(TopDownPixels(*copied, 3, 2), pixels);
  ASSERT_TRUE(OpenClipboard(0));
  const HANDLE bitmap = GetClipboardData(CF_BITMAP);
  CloseClipboard();
  EXPECT_NE(bitmap, 0u);
}

TEST_F(ClipboardCopyTest, BytesThatAreNoPictureLeaveNoBitmap) {
  const app::OwnedBytes notAPicture = app::OwnedBytes::Copy("not a picture", 13);
  CopyPictureToClipboard(notAPicture.get());
  CopyPictureToClipboard(nullptr);
  EXPECT_FALSE(platform::ClipboardBitmapAsBmp().has_value());
  // The clipboard was closed again: this thread and others can open it.
  EXPECT_TRUE(OpenClipboard(0));
  CloseClipboard();
}

LRESULT PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeFocusedWindow() {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PlainWindowProc;
    windowClass.lpszClassName = "WebFocusTestWindow";
    return RegisterClassA(&windowClass) != 0;
  }();
  EXPECT_TRUE(registered);
  const HWND frame = CreateWindowExA(0, "WebFocusTestWindow", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                     0, 0, 0, nullptr);
  const HWND child = CreateWindowExA(0, "WebFocusTestWindow", "child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, frame, 0,
                                     0, nullptr);
  SetForegroundWindow(frame);
  SetFocus(child);
  return child;
}

TEST_F(ClipboardCopyTest, ForegroundFocusOfThisThread) {
  const HWND child = MakeFocusedWindow();
  EXPECT_EQ(GetForegroundFocus(), child);
  DestroyWindow(GetParent(child));
}

TEST_F(ClipboardCopyTest, ForegroundFocusOfAnotherThread) {
  std::promise<HWND> focused;
  std::promise<void> done;
  std::thread other([&] {
    const HWND child = MakeFocusedWindow();
    focused.set_value(child);
    done.get_future().wait();
    DestroyWindow(GetParent(child));
  });
  const HWND child = focused.get_future().get();
  EXPECT_EQ(GetForegroundFocus(), child);
  // The threads' input states were separated again.
  EXPECT_NE(GetFocus(), child);
  done.set_value();
  other.join();
}

}  // namespace
}  // namespace quorlin::testing
