#include <string>
#include <vector>

#include "platform/user/focus.h"
#include "platform/user/message_box.h"
#include "platform/user/painting.h"
#include "tests/platform/shell/shell_test_support.h"

namespace quorlin::testing {
namespace {

class MessageBoxTest : public ShellTest {};

TEST_F(MessageBoxTest, TheStandardErrorLineIsKeptByteForByte) {
  ::testing::internal::CaptureStderr();
  MessageBoxA(0, "a\r\nb|c", "\xD0\xC5\xCF\xA2\xA3\xBA", MB_OK);  // 信息：
  MessageBoxA(0, nullptr, nullptr, MB_YESNO);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "msgbox 信息： | a\\r\\nb|c\nmsgbox 错误 | \n");
}

TEST_F(MessageBoxTest, QueuedAnswersAreUsedWhenTheBoxOffersThem) {
  std::vector<platform::ShownMessageBox> shown;
  platform::SetMessageBoxObserver([&](const platform::ShownMessageBox& box) { shown.push_back(box); });
  platform::QueueMessageBoxAnswer(IDNO);
  platform::QueueMessageBoxAnswer(IDRETRY);  // an OK box has no Retry button
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(0, "q", "c", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(MessageBoxA(0, "q", "c", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(0, "q", "c", MB_RETRYCANCEL), IDRETRY);  // nothing queued: the first button
  EXPECT_EQ(MessageBoxA(0, "q", "c", 0x0F), 0);                   // no such button set
  ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].caption, "c");
  EXPECT_EQ(shown[0].text, "q");
  EXPECT_EQ(shown[0].answer, IDNO);
  EXPECT_EQ(shown[2].type, MB_RETRYCANCEL);
}

TEST_F(MessageBoxTest, TheBoxIsAWindowWhileOtherWindowsPaintAndTheOwnerWaits) {
  std::vector<std::string> seen;
  const HWND owner = Window(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 300, 200}, 0,
                            [&](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT&) {
                              if (message == WM_ENABLE) seen.push_back(wParam ? "enabled" : "disabled");
                              return false;
                            });
  const HWND edit = Window(WS_CHILD | WS_VISIBLE, {10, 10, 100, 30}, owner);
  const HWND other = Window(WS_POPUP | WS_VISIBLE, {400, 0, 500, 100}, 0,
                            [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
                              if (message == WM_PAINT) {
                                seen.push_back(FindWindowA("QuorlinMessageBox", "box") ? "paint under the box"
                                                                                       : "paint");
                              }
                              return false;
                            });
  Pump();
  SetFocus(edit);
  seen.clear();
  InvalidateRect(other, nullptr, TRUE);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(owner, "text", "box", MB_OKCANCEL), IDOK);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(seen, (std::vector<std::string>{"disabled", "paint under the box", "enabled"}));
  EXPECT_EQ(FindWindowA("QuorlinMessageBox", nullptr), 0u);
  EXPECT_EQ(GetFocus(), edit);  // the focus came back
}

}  // namespace
}  // namespace quorlin::testing
