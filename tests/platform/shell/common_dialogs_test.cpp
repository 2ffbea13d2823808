#include <cstring>
#include <optional>
#include <thread>
#include <string>

#include "platform/shell/common_dialogs.h"
#include "platform/shell/headless_shell.h"
#include "platform/user/modal_loop.h"
#include "platform/user/timers.h"
#include "platform/user/painting.h"
#include "platform/base/thread_services.h"
#include "tests/platform/shell/shell_test_support.h"

namespace quorlin::testing {
namespace {

using platform::DialogAnswer;
using platform::ParseDialogAnswer;
using platform::TheHeadlessShell;

// "图片文件|*.jpg;*.png" and "全部|*.*", as the platform wants them.
constexpr char kFilter[] = "Pictures\0*.jpg;*.png\0All\0*.*\0";

class CommonDialogsTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    platform::SetDialogObserver([this](const platform::ShownDialog& d) {
      shown_ += std::string(platform::DialogKindName(d.kind)) + " " + d.filter + " | " + d.initial + "\n";
    });
  }
  void TearDown() override {
    platform::SetDialogObserver(nullptr);
    ShellTest::TearDown();
  }

  OPENFILENAMEA FileRequest(const char* initial, DWORD size) {
    std::memset(file_, 0, sizeof file_);
    std::strcpy(file_, initial);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = file_;
    ofn.nMaxFile = size;
    ofn.Flags = OFN_HIDEREADONLY;
    return ofn;
  }

  static void Queue(const char* line) { TheHeadlessShell().QueueDialogAnswer(*ParseDialogAnswer(line)); }

  char file_[512];
  std::string shown_;
};

TEST_F(CommonDialogsTest, QueuedAnswersFillTheRequestAndEveryDialogIsReported) {
  Queue("open /tmp/pics/a.png");
  OPENFILENAMEA ofn = FileRequest("b.jpg", sizeof file_);
  char title[16];
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = sizeof title;
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_STREQ(file_, "/tmp/pics/a.png");
  EXPECT_EQ(ofn.nFileOffset, 10);
  EXPECT_EQ(ofn.nFileExtension, 12);
  EXPECT_EQ(ofn.nFilterIndex, 2u);
  EXPECT_STREQ(title, "a.png");

  // Nothing queued: cancelled, with no error.
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(shown_, "open Pictures|*.jpg;*.png|All|*.* | b.jpg\n"
                    "save Pictures|*.jpg;*.png|All|*.* | /tmp/pics/a.png\n");
}

TEST_F(CommonDialogsTest, AnAnswerOfAnotherKindCancels) {
  Queue("save /tmp/x.bmp");
  OPENFILENAMEA ofn = FileRequest("", sizeof file_);
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(TheHeadlessShell().PendingDialogAnswers(), 0u);  // used up all the same
  Queue("cancel");
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ(file_, "");
}

TEST_F(CommonDialogsTest, ATooSmallBufferIsAnErrorWithTheNeededSize) {
  Queue("save /tmp/a-rather-long-name.bmp");
  OPENFILENAMEA ofn = FileRequest("x", 10);
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  WORD needed;
  std::memcpy(&needed, file_, sizeof needed);
  EXPECT_EQ(needed, 28);
  EXPECT_EQ(file_[10], 0);  // nothing past the buffer

  OPENFILENAMEA bad{};
  EXPECT_FALSE(GetOpenFileNameA(&bad));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
}

TEST_F(CommonDialogsTest, TheDefaultExtensionAndFileMustExist) {
  Queue("save /tmp/card");
  OPENFILENAMEA ofn = FileRequest("", sizeof file_);
  ofn.lpstrDefExt = "bmp";
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ(file_, "/tmp/card.bmp");
  EXPECT_EQ(ofn.Flags & OFN_EXTENSIONDIFFERENT, 0u);

  Queue("open /nonexistent/dir/file.png");
  ofn = FileRequest("", sizeof file_);
  ofn.Flags |= OFN_FILEMUSTEXIST;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(CommonDialogsTest, FontAndColourDialogs) {
  LOGFONTA font{};
  font.lfHeight = -16;
  std::strcpy(font.lfFaceName, "\xCB\xCE\xCC\xE5");  // 宋体
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  Queue("font 黑体");
  ASSERT_TRUE(ChooseFontA(&cf));
  EXPECT_STREQ(font.lfFaceName, "\xBA\xDA\xCC\xE5");  // 黑体
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(cf.iPointSize, 120);
  cf.lpLogFont = nullptr;
  EXPECT_FALSE(ChooseFontA(&cf));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);

  COLORREF custom[16] = {RGB(1, 2, 3)};
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.lpCustColors = custom;
  cc.rgbResult = RGB(0x12, 0x34, 0x56);
  cc.Flags = CC_RGBINIT;
  Queue("colour FF8000");
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(0xFF, 0x80, 0x00));
  EXPECT_EQ(custom[0], RGB(1, 2, 3));
  EXPECT_FALSE(ChooseColorA(&cc));  // nothing queued: cancelled, colour kept
  EXPECT_EQ(cc.rgbResult, RGB(0xFF, 0x80, 0x00));
  EXPECT_EQ(shown_, "font  | 宋体\ncolour  | 123456\ncolour  | FF8000\n");
}

TEST(DialogAnswers, ParseTheScriptLines) {
  struct Row {
    const char* line;
    std::optional<DialogAnswer::Action> action;
    const char* value;
    COLORREF colour;
  };
  const Row rows[] = {
      {"open /a b.png", DialogAnswer::Action::Open, "/a b.png", 0},
      {"save C:\\x.jpg\r\n", DialogAnswer::Action::Save, "C:\\x.jpg", 0},
      {"font 黑体", DialogAnswer::Action::Font, "黑体", 0},
      {"colour 0a0B0c", DialogAnswer::Action::Colour, "", RGB(0x0A, 0x0B, 0x0C)},
      {"color FFFFFF", DialogAnswer::Action::Colour, "", RGB(0xFF, 0xFF, 0xFF)},
      {"cancel", DialogAnswer::Action::Cancel, "", 0},
      {"colour 12345", std::nullopt, "", 0},
      {"colour GG0000", std::nullopt, "", 0},
      {"open", std::nullopt, "", 0},
      {"cancel now", std::nullopt, "", 0},
      {"print x", std::nullopt, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    const auto answer = ParseDialogAnswer(row.line);
    ASSERT_EQ(answer.has_value(), row.action.has_value());
    if (!answer) continue;
    EXPECT_EQ(answer->action, *row.action);
    EXPECT_EQ(answer->value, row.value);
    EXPECT_EQ(answer->colour, row.colour);
  }
}

// A backend whose file dialog is answered later, from another thread, as a desktop one is.
class LateBackend final : public platform::ShellBackend {
 public:
  const char* Name() const override { return "late"; }
  void PublishClipboard(const platform::ExchangeData&) override {}
  std::optional<platform::ExchangeData> TakeForeignClipboard() override { return std::nullopt; }
  void ShowFileDialog(const platform::FileDialogRequest& request, FileDialogDone finish) override {
    ownerEnabledWhileShown = IsWindowEnabled(request.owner);
    worker = std::thread([finish] {
      Sleep(80);
      finish(platform::FileDialogAnswer{true, "/tmp/late.png", 1});
    });
  }
  void ShowFontDialog(const platform::FontDialogRequest&, FontDialogDone finish) override { finish({}); }
  void ShowColourDialog(const platform::ColourDialogRequest&, ColourDialogDone finish) override { finish({}); }

  BOOL ownerEnabledWhileShown = TRUE;
  std::thread worker;
};

TEST_F(CommonDialogsTest, TheModalLoopKeepsOtherWindowsPaintingAndTimersRunning) {
  int paints = 0;
  int ticks = 0;
  const HWND owner = Window(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200});
  const HWND other = Window(WS_POPUP | WS_VISIBLE, {400, 0, 500, 100}, 0,
                            [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& r) {
                              if (message == WM_TIMER) {
                                ++ticks;
                                InvalidateRect(hwnd, nullptr, TRUE);
                              } else if (message == WM_PAINT) {
                                ++paints;
                                return false;  // the default validates
                              }
                              r = 0;
                              return message == WM_TIMER;
                            });
  Pump();
  paints = 0;
  SetTimer(other, 1, 10, nullptr);
  LateBackend backend;
  auto* previous = platform::SetShellBackend(&backend);
  OPENFILENAMEA ofn = FileRequest("", sizeof file_);
  ofn.hwndOwner = owner;
  const BOOL chosen = GetOpenFileNameA(&ofn);
  backend.worker.join();
  platform::SetShellBackend(previous == &TheHeadlessShell() ? nullptr : previous);
  KillTimer(other, 1);
  EXPECT_TRUE(chosen);
  EXPECT_STREQ(file_, "/tmp/late.png");
  EXPECT_FALSE(backend.ownerEnabledWhileShown);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_GT(ticks, 0);
  EXPECT_GT(paints, 0);
}

}  // namespace
}  // namespace quorlin::testing
