#include "platform/user/message_box.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/base/last_error.h"
#include "platform/user/user_errors.h"

namespace {

TEST(MessageBox, WritesCaptionAndTextAsOneUtf8Line) {
  struct Case {
    const char* caption;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"Title", "Hello", "msgbox Title | Hello\n"},
      {"\xB4\xED\xCE\xF3", "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\nx",  // 错误 | 运行时出错!
       "msgbox \xE9\x94\x99\xE8\xAF\xAF | \xE8\xBF\x90\xE8\xA1\x8C\xE6\x97\xB6\xE5\x87\xBA\xE9\x94\x99!\\r\\n\\r\\nx\n"},
      {nullptr, nullptr, "msgbox \xE9\x94\x99\xE8\xAF\xAF | \n"},
      {"a\nb", "", "msgbox a\\nb | \n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0, c.text, c.caption, MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected);
  }
}

TEST(MessageBox, AnswersWithTheFirstButton) {
  const std::pair<UINT, int> cases[] = {
      {MB_OK, IDOK},       {MB_OKCANCEL | MB_DEFBUTTON2, IDOK}, {MB_ABORTRETRYIGNORE, IDABORT},
      {MB_YESNOCANCEL, IDYES}, {MB_YESNO | MB_ICONQUESTION, IDYES}, {MB_RETRYCANCEL, IDRETRY},
      {MB_CANCELTRYCONTINUE, IDCANCEL},
  };
  for (const auto& [type, answer] : cases) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(0, "t", "c", type), answer) << type;
    testing::internal::GetCapturedStderr();
  }
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(0, "t", "c", 7), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MSGBOX_STYLE);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "no box for an unknown button set";
}

TEST(MessageBox, ThePresenterCanBeReplaced) {
  static std::string seen;
  const auto previous = quorlin::platform::SetMessageBoxPresenter([](HWND, LPCSTR text, LPCSTR, UINT) {
    seen = text;
    return IDNO;
  });
  EXPECT_EQ(MessageBoxA(0, "question", "c", MB_YESNO), IDNO);
  EXPECT_EQ(seen, "question");
  quorlin::platform::SetMessageBoxPresenter(nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(0, "x", "y", MB_YESNO), IDYES);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "msgbox y | x\n");
  (void)previous;
}

}  // namespace
