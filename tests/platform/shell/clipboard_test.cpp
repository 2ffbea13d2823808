#include <cstring>
#include <thread>

#include "platform/base/code_page.h"
#include "platform/gdi/gdi.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/global_memory.h"
#include "platform/shell/headless_shell.h"
#include "tests/platform/shell/shell_test_support.h"

namespace quorlin::testing {
namespace {

using platform::TheHeadlessShell;

class ClipboardTest : public ShellTest {};

// A 3 × 2 device bitmap whose pixel (x, y) is 0x00RRGGBB = x * 0x10 + y * 0x1000 + 0x400000.
HBITMAP MakeBitmap() {
  uint32_t pixels[6];
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) pixels[y * 3 + x] = 0x400000u + static_cast<uint32_t>(x * 0x10 + y * 0x1000);
  }
  return CreateBitmap(3, 2, 1, 32, pixels);
}

HGLOBAL TextBlock(const std::string& text) { return platform::GlobalFromBytes(text.c_str(), text.size() + 1); }

std::string TextOf(HGLOBAL memory) {
  const char* p = static_cast<const char*>(GlobalLock(memory));
  std::string text = p ? std::string(p, strnlen(p, GlobalSize(memory))) : std::string();
  GlobalUnlock(memory);
  return text;
}

TEST_F(ClipboardTest, ABitmapSetBelongsToTheClipboardUntilItIsEmptied) {
  const HWND owner = Window(WS_OVERLAPPEDWINDOW, {0, 0, 200, 100});
  const HBITMAP bitmap = MakeBitmap();
  ASSERT_TRUE(OpenClipboard(owner));
  ASSERT_TRUE(EmptyClipboard());
  EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(GetClipboardOwner(), owner);
  EXPECT_NE(GetObjectType(bitmap), 0u);  // not freed by closing

  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), bitmap);
  ASSERT_TRUE(EmptyClipboard());
  ASSERT_TRUE(CloseClipboard());
  EXPECT_EQ(GetObjectType(bitmap), 0u);  // freed by the clipboard
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(ClipboardTest, ABitmapDeletedByItsFormerHolderIsStillOnTheClipboard) {
  // A picture object that handed its bitmap over deletes it when it is released.
  const HBITMAP bitmap = MakeBitmap();
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, bitmap);
  CloseClipboard();
  DeleteObject(bitmap);

  const auto bmp = platform::ClipboardBitmapAsBmp();
  ASSERT_TRUE(bmp.has_value());
  ASSERT_EQ(bmp->size(), 14u + 40u + 2u * 12u);  // rows of 9 bytes padded to 12
  EXPECT_EQ((*bmp)[0], 'B');
  EXPECT_EQ((*bmp)[1], 'M');
  EXPECT_EQ((*bmp)[28], 24);  // bits per pixel
  // Bottom-up: the first row stored is y = 1; pixel (2, 1) is 0x401020, stored blue, green, red.
  const BYTE* pixel = bmp->data() + 54 + 2 * 3;
  EXPECT_EQ(pixel[0], 0x20);
  EXPECT_EQ(pixel[1], 0x10);
  EXPECT_EQ(pixel[2], 0x40);

  ASSERT_TRUE(OpenClipboard(0));
  const HBITMAP again = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(again, 0u);
  BITMAP info{};
  ASSERT_NE(GetObjectA(again, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  CloseClipboard();
}

TEST_F(ClipboardTest, BitmapAndDibAreMadeFromEachOther) {
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, MakeBitmap());
  const HGLOBAL dib = GetClipboardData(CF_DIB);
  ASSERT_NE(dib, 0u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, GlobalLock(dib), sizeof header);
  GlobalUnlock(dib);
  EXPECT_EQ(header.biWidth, 3);
  EXPECT_EQ(header.biHeight, 2);
  EXPECT_EQ(header.biBitCount, 24);

  // The DIB alone, set by someone else, gives a bitmap of the same pixels.
  const std::vector<BYTE> bytes = [&] {
    const BYTE* p = static_cast<const BYTE*>(GlobalLock(dib));
    std::vector<BYTE> copy(p, p + GlobalSize(dib));
    GlobalUnlock(dib);
    return copy;
  }();
  EmptyClipboard();
  SetClipboardData(CF_DIB, platform::GlobalFromBytes(bytes.data(), bytes.size()));
  const HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_NE(bitmap, 0u);
  uint32_t pixels[6] = {};
  BITMAPINFO request{};
  request.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HDC dc = CreateCompatibleDC(0);
  ASSERT_EQ(GetDIBits(dc, bitmap, 0, 2, pixels, &request, DIB_RGB_COLORS), 2);
  DeleteDC(dc);
  EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x400000u);
  EXPECT_EQ(pixels[5] & 0xFFFFFF, 0x401020u);
  CloseClipboard();
}

TEST_F(ClipboardTest, AMalformedDibGivesNoBitmap) {
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 1000, 1000, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<BYTE> bytes(sizeof header + 16);  // far fewer rows than the header claims
  std::memcpy(bytes.data(), &header, sizeof header);
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  SetClipboardData(CF_DIB, platform::GlobalFromBytes(bytes.data(), bytes.size()));
  EXPECT_EQ(GetClipboardData(CF_BITMAP), 0u);
  CloseClipboard();
  EXPECT_FALSE(platform::ClipboardBitmapAsBmp().has_value());
}

TEST_F(ClipboardTest, TextFormatsAreMadeFromOneAnother) {
  const std::string gbk = "ab\xD6\xD0\xCE\xC4";  // ab中文
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, TextBlock(gbk));
  EXPECT_EQ(CountClipboardFormats(), 3);
  EXPECT_EQ(EnumClipboardFormats(0), CF_TEXT);  // the format set first, then the ones made
  EXPECT_EQ(EnumClipboardFormats(CF_TEXT), CF_OEMTEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_OEMTEXT), CF_UNICODETEXT);
  EXPECT_EQ(EnumClipboardFormats(CF_UNICODETEXT), 0u);

  const HGLOBAL wide = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(wide, 0u);
  const auto* units = static_cast<const char16_t*>(GlobalLock(wide));
  EXPECT_EQ(std::u16string(units), u"ab中文");
  GlobalUnlock(wide);
  EXPECT_EQ(TextOf(GetClipboardData(CF_OEMTEXT)), gbk);

  // Unicode set alone gives the code-page text.
  EmptyClipboard();
  const std::u16string text = u"文x";
  SetClipboardData(CF_UNICODETEXT, platform::GlobalFromBytes(text.c_str(), (text.size() + 1) * 2));
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "\xCE\xC4x");
  CloseClipboard();
  EXPECT_EQ(platform::ClipboardText(), "\xCE\xC4x");
}

TEST_F(ClipboardTest, SettingRequiresTheOpenClipboardAndLeavesAFailedHandleToTheCaller) {
  const HGLOBAL text = TextBlock("x");
  EXPECT_EQ(SetClipboardData(CF_TEXT, text), 0u);
  EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
  EXPECT_EQ(GlobalSize(text), 2u);  // still the caller's

  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_EQ(SetClipboardData(CF_BITMAP, text), 0u);  // not a bitmap
  EXPECT_EQ(SetClipboardData(0xC000 + 4000, text), 0u);  // never registered
  EXPECT_EQ(GlobalSize(text), 2u);
  CloseClipboard();
  EXPECT_FALSE(CloseClipboard());
  GlobalFree(text);
}

TEST_F(ClipboardTest, AnotherThreadCannotOpenItWhileItIsOpen) {
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_TRUE(OpenClipboard(0));  // again on the same thread
  BOOL opened = TRUE;
  std::thread([&] { opened = OpenClipboard(0); }).join();
  EXPECT_FALSE(opened);
  CloseClipboard();
  std::thread([&] {
    opened = OpenClipboard(0);
    CloseClipboard();
  }).join();
  EXPECT_TRUE(opened);
}

TEST_F(ClipboardTest, RegisteredFormatsHaveOneIdPerNameWithoutCase) {
  const UINT html = RegisterClipboardFormatA("HTML Format");
  EXPECT_GE(html, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatA("html format"), html);
  const UINT url = RegisterClipboardFormatA("UniformResourceLocator");
  EXPECT_NE(url, html);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);

  char name[64];
  EXPECT_EQ(GetClipboardFormatNameA(html, name, sizeof name), 11);
  EXPECT_STREQ(name, "HTML Format");
  EXPECT_EQ(GetClipboardFormatNameA(html, name, 5), 4);  // truncated, terminated
  EXPECT_STREQ(name, "HTML");
  EXPECT_EQ(GetClipboardFormatNameA(CF_TEXT, name, sizeof name), 0);

  // A registered format is kept as its bytes.
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(url, TextBlock("http://x/")), 0u);
  EXPECT_EQ(TextOf(GetClipboardData(url)), "http://x/");
  CloseClipboard();
}

TEST_F(ClipboardTest, ItIsExchangedWithOtherProgramsThroughTheBackend) {
  ASSERT_TRUE(OpenClipboard(0));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, TextBlock("\xD6\xD0"));  // 中
  CloseClipboard();
  EXPECT_EQ(TheHeadlessShell().PublishedClipboard().text, "中");

  platform::ExchangeData foreign;
  foreign.text = "文本";
  foreign.files = {"/tmp/a.png"};
  TheHeadlessShell().SetForeignClipboard(foreign);
  ASSERT_TRUE(OpenClipboard(0));
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "\xCE\xC4\xB1\xBE");
  const HGLOBAL drop = GetClipboardData(CF_HDROP);
  char path[32];
  EXPECT_EQ(DragQueryFileA(drop, 0, path, sizeof path), 10u);
  EXPECT_STREQ(path, "/tmp/a.png");
  CloseClipboard();
  EXPECT_EQ(GetClipboardOwner(), 0u);
}

TEST_F(ClipboardTest, APromisedFormatIsRenderedByTheOwnerWhenAsked) {
  int renders = 0;
  const HWND owner = Window(WS_POPUP, {0, 0, 10, 10}, 0, [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& r) {
    if (message != WM_RENDERFORMAT) return false;
    ++renders;
    SetClipboardData(static_cast<UINT>(wParam), TextBlock("late"));
    r = 0;
    return true;
  });
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, 0), 0u);  // a promise
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "late");
  EXPECT_EQ(TextOf(GetClipboardData(CF_TEXT)), "late");
  EXPECT_EQ(renders, 1);
  CloseClipboard();
}

TEST(GlobalMemory, LocksCountAndHandlesDieOnce) {
  const HGLOBAL memory = GlobalAlloc(GHND, 8);
  ASSERT_NE(memory, 0u);
  auto* p = static_cast<BYTE*>(GlobalLock(memory));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[7], 0);  // GMEM_ZEROINIT
  EXPECT_EQ(GlobalLock(memory), p);
  EXPECT_EQ(GlobalFlags(memory) & GMEM_LOCKCOUNT, 2u);
  EXPECT_EQ(GlobalHandle(p), memory);
  EXPECT_EQ(GlobalReAlloc(memory, 16, 0), 0u);  // locked: the address must stay
  EXPECT_TRUE(GlobalUnlock(memory));
  EXPECT_FALSE(GlobalUnlock(memory));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_FALSE(GlobalUnlock(memory));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);

  p = static_cast<BYTE*>(GlobalLock(memory));
  p[0] = 42;
  GlobalUnlock(memory);
  EXPECT_EQ(GlobalReAlloc(memory, 16, GMEM_ZEROINIT), memory);
  EXPECT_EQ(GlobalSize(memory), 16u);
  p = static_cast<BYTE*>(GlobalLock(memory));
  EXPECT_EQ(p[0], 42);
  EXPECT_EQ(p[15], 0);
  GlobalUnlock(memory);

  EXPECT_EQ(GlobalFree(memory), 0u);
  EXPECT_EQ(GlobalFree(memory), memory);
  EXPECT_EQ(GlobalLock(memory), nullptr);
  EXPECT_EQ(GlobalSize(memory), 0u);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, (SIZE_T{1} << 31) + 1), 0u);
}

}  // namespace
}  // namespace quorlin::testing
