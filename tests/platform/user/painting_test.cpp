// Update regions, WM_PAINT and WM_ERASEBKGND, clipping of siblings and children, and the
// composed screen.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "platform/user/window_layout.h"
#include "tests/platform/user/geometry_test_support.h"

namespace quorlin::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

using PaintingTest = RecordingTest;

TEST_F(PaintingTest, UpdateRegionGathersAndValidates) {
  const HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
  Pump();
  RECT r;
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE)) << "painted after the pump";
  const RECT a{10, 10, 20, 20}, b{50, 40, 60, 90}, outside{190, 90, 400, 400};
  InvalidateRect(hwnd, &a, FALSE);
  InvalidateRect(hwnd, &b, FALSE);
  InvalidateRect(hwnd, &outside, FALSE);
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  EXPECT_TRUE(EqualRect(&r, std::array{RECT{10, 10, 200, 100}}.data())) << "clipped to the client area";
  ValidateRect(hwnd, &outside);
  ValidateRect(hwnd, &a);
  ASSERT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
  EXPECT_TRUE(EqualRect(&r, &b));
  ValidateRect(hwnd, nullptr);
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_PAINT, WM_PAINT, PM_NOREMOVE)) << "no paint once validated";

  ShowWindow(hwnd, SW_HIDE);
  InvalidateRect(hwnd, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE)) << "a hidden window gathers nothing";
}

TEST_F(PaintingTest, BeginPaintErasesOnceAndReportsThePaintRectangle) {
  const HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
  Pump();
  Take();
  const RECT a{5, 6, 25, 16};
  InvalidateRect(hwnd, &a, TRUE);
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(hwnd, &ps);
  ASSERT_NE(hdc, HDC{0});
  EXPECT_TRUE(EqualRect(&ps.rcPaint, &a));
  EXPECT_FALSE(ps.fErase) << "the class brush erased it";
  EndPaint(hwnd, &ps);
  EXPECT_EQ(MessagesOf(Take(), hwnd, {WM_ERASEBKGND}), std::vector<UINT>{WM_ERASEBKGND});
  InvalidateRect(hwnd, &a, FALSE);
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_TRUE(MessagesOf(Take(), hwnd, {WM_ERASEBKGND}).empty()) << "no erase asked";
}

TEST_F(PaintingTest, UpdateWindowPaintsNowParentBeforeChildren) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
  Pump();
  Take();
  InvalidateRect(top, nullptr, TRUE);  // no WS_CLIPCHILDREN: the child too
  UpdateWindow(top);
  const auto log = Take();
  std::vector<HWND> painted;
  for (const Recorded& r : log) {
    if (r.message == WM_PAINT) painted.push_back(r.hwnd);
  }
  EXPECT_EQ(painted, (std::vector<HWND>{top, child}));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, 0, WM_PAINT, WM_PAINT, PM_NOREMOVE));

  SetWindowLongPtrA(top, GWL_STYLE, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  InvalidateRect(top, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(child, &r, FALSE)) << "WS_CLIPCHILDREN keeps the child out";
}

TEST_F(PaintingTest, ChildrenAndSiblingsAreClippedOnTheComposedScreen) {
  struct Row {
    const char* name;
    DWORD parentClip, siblingClip;
    COLORREF underChild, overlap;  // what the screen shows there
  };
  // The parent paints red, the lower child green, the upper child blue over part of the
  // lower one. Children paint in z-order, the upper first, so without clip-siblings the
  // lower one paints over it.
  const Row rows[] = {
      {"no clipping: the last painter wins", 0, 0, kRed, kBlue},
      {"clip-children keeps the children", WS_CLIPCHILDREN, 0, kGreen, kGreen},
      {"clip-siblings keeps the upper child on top", WS_CLIPCHILDREN, WS_CLIPSIBLINGS, kGreen, kBlue},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const HWND top = Make(WS_POPUP | row.parentClip, 300, 300, 200, 100);
    const HWND upper = Make(WS_CHILD | WS_VISIBLE | row.siblingClip, 40, 20, 40, 40, top);
    const HWND lower = Make(WS_CHILD | WS_VISIBLE | row.siblingClip, 10, 10, 50, 50, top);
    SetWindowPos(lower, upper, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
    Paints(top, kRed);
    Paints(lower, kGreen);
    Paints(upper, kBlue);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    // The parent paints again over its children, as after an invalidation of the whole.
    InvalidateRect(top, nullptr, TRUE);
    RedrawWindow(top, nullptr, 0, RDW_NOCHILDREN | RDW_UPDATENOW);
    ValidateRect(lower, nullptr);
    ValidateRect(upper, nullptr);
    if (row.parentClip == 0) {
      // Without clip-children the parent's paint covered the children; the upper child
      // alone paints again.
      InvalidateRect(upper, nullptr, TRUE);
      UpdateWindow(upper);
    }
    EXPECT_EQ(ScreenPixel(300 + 12, 300 + 12), row.underChild);
    EXPECT_EQ(ScreenPixel(300 + 45, 300 + 25), row.overlap);
    EXPECT_EQ(ScreenPixel(300 + 150, 300 + 50), kRed);
    DestroyWindow(top);
  }
}

TEST_F(PaintingTest, TopLevelWindowsComposeInZOrderAndMovingUncovers) {
  const HWND below = Make(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  const HWND above = Make(WS_POPUP | WS_VISIBLE, 150, 150, 100, 100);
  Paints(below, kRed);
  Paints(above, kBlue);
  Pump();
  EXPECT_EQ(ScreenPixel(120, 120), kRed);
  EXPECT_EQ(ScreenPixel(170, 170), kBlue);
  EXPECT_EQ(ScreenPixel(240, 240), kBlue);
  const COLORREF desktop = ScreenPixel(5, 1000);
  EXPECT_NE(desktop, kRed);
  MoveWindow(above, 400, 400, 100, 100, TRUE);
  Pump();
  EXPECT_EQ(ScreenPixel(170, 170), kRed) << "no repaint needed: the lower window kept its pixels";
  EXPECT_EQ(ScreenPixel(240, 240), desktop);
  EXPECT_EQ(ScreenPixel(420, 420), kBlue);
  BringWindowToTop(below);
  ShowWindow(above, SW_HIDE);
  EXPECT_EQ(ScreenPixel(420, 420), desktop);
}

TEST_F(PaintingTest, ScreenCaptureOfAWindowShowsItsChildrenAndFrame) {
  const HWND top = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 120, 80);
  const HWND child = Make(WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, top);
  Paints(child, kGreen);
  Pump();
  RECT r;
  GetWindowRect(child, &r);
  const HDC screen = GetDC(0);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 80);
  SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 120, 80, screen, 0, 0, SRCCOPY);
  ReleaseDC(0, screen);
  EXPECT_EQ(GetPixel(memory, r.left + 5, r.top + 5), kGreen);
  EXPECT_EQ(GetPixel(memory, r.right + 5, r.top + 5), kWhite) << "the class brush";
  EXPECT_NE(GetPixel(memory, 60, 10), kWhite) << "the caption";
  DeleteDC(memory);
  DeleteObject(bitmap);
}

// The font files the process holds open (each face keeps its file open).
std::set<std::string> OpenFontFiles() {
  std::set<std::string> files;
  std::error_code error;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
    for (const char* suffix : {".ttc", ".ttf", ".otf", ".otc"}) {
      if (target.ends_with(suffix)) files.insert(target);
    }
  }
  return files;
}

// A captioned window's frame is drawn when something reads it, as WM_NCPAINT asked for it.
// Each case runs in a fresh process, where nothing has read the screen yet: once the screen's
// pixels exist, every composition draws what frames are owed.
class OwedFrameTest : public PaintingTest {
 protected:
  static constexpr int kLeft = 300, kTop = 300;
  HWND MakeCaptioned() {
    const HWND top = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, kLeft, kTop, 160, 80);
    SetWindowTextA(top, "WWWW");
    Pump();
    return top;
  }
  // Pixels of the caption bar's left part that differ from the bar's colour.
  static int TitlePixels(COLORREF (*pixel)(HWND, int, int), HWND top) {
    const int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    const COLORREF bar = pixel(top, 110, frame + 1);
    int title = 0;
    for (int y = frame + 1; y < frame + GetSystemMetrics(SM_CYCAPTION) - 1; ++y) {
      for (int x = frame + 4; x < frame + 40; ++x) title += pixel(top, x, y) != bar;
    }
    return title;
  }
  static COLORREF WindowPixel(HWND top, int x, int y) {
    const HDC hdc = GetWindowDC(top);
    const COLORREF c = GetPixel(hdc, x, y);
    ReleaseDC(top, hdc);
    return c;
  }
  static COLORREF OnScreen(HWND, int x, int y) { return ScreenPixel(kLeft + x, kTop + y); }
  // Whether the caption's bold face is opened when the frame is read and not before: the
  // process holds one more font file once the title is on the screen, or (where bold and
  // regular text share one file) as many as before.
  static bool CaptionFaceWaitsForAReader(HWND top) {
    // A regular font realised first: its face is open before the count.
    const HDC memory = CreateCompatibleDC(0);
    SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32A(memory, "W", 1, &extent);
    DeleteDC(memory);
    const std::set<std::string> before = OpenFontFiles();
    const bool title = TitlePixels(OnScreen, top) > 20;
    const std::set<std::string> after = OpenFontFiles();
    const bool opened = after.size() == before.size() + 1;
    const bool shared = before.size() == 1 && after == before;
    return title && (opened || shared);
  }
};

TEST_F(OwedFrameTest, TheTitleIsThereForAWindowDCAndForTheScreen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(TitlePixels(WindowPixel, MakeCaptioned()) > 20 && !platform::ScreenPixelsMade() ? 0 : 1),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(std::exit(TitlePixels(OnScreen, MakeCaptioned()) > 20 ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(OwedFrameTest, TheCaptionFaceOpensWhenTheFrameIsRead) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(CaptionFaceWaitsForAReader(MakeCaptioned()) ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(OwedFrameTest, DrawingOnTheFrameIsNotDrawnOverByIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto paintRedAndCount = [this] {
    const HWND top = MakeCaptioned();
    const HDC hdc = GetWindowDC(top);
    const HBRUSH red = CreateSolidBrush(kRed);
    const RECT whole{0, 0, 160, 80};
    FillRect(hdc, &whole, red);
    DeleteObject(red);
    ReleaseDC(top, hdc);
    int notRed = 0;
    for (int y = 0; y < 30; y += 3) {
      for (int x = 0; x < 160; x += 3) notRed += OnScreen(top, x, y) != kRed;
    }
    return notRed;
  };
  EXPECT_EXIT(std::exit(paintRedAndCount() == 0 ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

// The screen's pixels (5 MiB at 1280 × 1024) are made only by what reads them; a screen context
// that only answers questions or measures text leaves them unmade. Run in a fresh process, so
// that no earlier test has read the screen.
TEST_F(PaintingTest, TheScreenIsComposedOnlyWhenItsPixelsAreRead) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const HWND top = Make(WS_POPUP | WS_VISIBLE, 10, 10, 50, 50);
        Paints(top, kRed);
        Pump();
        const HDC screen = GetDC(0);
        SIZE extent{};
        const bool answered = GetDeviceCaps(screen, LOGPIXELSY) > 0 && GetTextExtentPoint32A(screen, "abc", 3, &extent);
        const bool madeEarly = platform::ScreenPixelsMade();
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, 60, 60);
        SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, 60, 60, screen, 0, 0, SRCCOPY);
        ReleaseDC(0, screen);
        const bool composed = GetPixel(memory, 20, 20) == kRed && GetPixel(memory, 5, 5) != kRed;
        std::exit(answered && !madeEarly && platform::ScreenPixelsMade() && composed ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(PaintingTest, ReleasingADcShowsWhatWasDrawnAndKeepsWhatLiesAbove) {
  const HWND below = Make(WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
  const HWND above = Make(WS_POPUP | WS_VISIBLE, 150, 150, 100, 100);
  Paints(below, kRed);
  Paints(above, kBlue);
  Pump();
  const HDC hdc = GetDC(below);
  const HBRUSH brush = CreateSolidBrush(kGreen);
  const RECT strip{10, 10, 90, 90};  // partly under the window above
  FillRect(hdc, &strip, brush);
  DeleteObject(brush);
  ReleaseDC(below, hdc);
  EXPECT_EQ(ScreenPixel(115, 115), kGreen);
  EXPECT_EQ(ScreenPixel(160, 160), kBlue) << "the window above stays above";
  EXPECT_EQ(ScreenPixel(105, 105), kRed) << "outside the drawing the window is as it was";
  const HDC idle = GetDC(below);
  ReleaseDC(below, idle);  // nothing drawn: nothing to show, nothing lost
  EXPECT_EQ(ScreenPixel(115, 115), kGreen);
}

TEST_F(PaintingTest, AnotherThreadMayDrawThroughAWindowDC) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 600, 600, 100, 100);
  Pump();
  std::thread painter([top] {
    const HDC hdc = GetDC(top);
    const HBRUSH brush = CreateSolidBrush(kBlue);
    for (int i = 0; i < 50; ++i) {
      const RECT r{i, 0, i + 1, 100};
      FillRect(hdc, &r, brush);
    }
    DeleteObject(brush);
    ReleaseDC(top, hdc);
  });
  for (int i = 0; i < 50; ++i) ScreenPixel(610, 610);  // reading the screen meanwhile
  painter.join();
  EXPECT_EQ(ScreenPixel(610, 610), kBlue);
  EXPECT_EQ(ScreenPixel(660, 610), kWhite);
}

TEST_F(PaintingTest, ResizingKeepsDeviceContextsOnTheWindow) {
  const HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  Pump();
  const HDC hdc = GetDC(top);
  MoveWindow(top, 0, 0, 300, 200, TRUE);
  Pump();
  const HBRUSH brush = CreateSolidBrush(kGreen);
  const RECT r{250, 150, 260, 160};
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(top, hdc);
  EXPECT_EQ(ScreenPixel(255, 155), kGreen) << "the DC moved to the bigger surface";
}

}  // namespace
}  // namespace quorlin::testing
