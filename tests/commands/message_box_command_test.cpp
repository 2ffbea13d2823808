#include "runtime/commands/message_box_command.h"

#include "platform/user/message_box.h"
#include "tests/commands/command_test_support.h"

namespace quorlin::commands {
namespace {

// Until the window layer exists, MessageBoxA writes "msgbox CAPTION | TEXT" (UTF-8) to standard
// error and answers with the box's first button.
class ShowMessageBoxCommand : public testing::CommandTest {
 protected:
  std::string Shown(std::vector<TypedValue> args, int32_t& answer) {
    ::testing::internal::CaptureStderr();
    answer = IntegerOf(ShowMessageBox, std::move(args));
    return ::testing::internal::GetCapturedStderr();
  }
};

TEST_F(ShowMessageBoxCommand, ShowsTheContentAsTextWithTheDefaultCaption) {
  int32_t answer = -9;
  // 请输入ID！ in GBK.
  EXPECT_EQ(Shown({Text("\xC7\xEB\xCA\xE4\xC8\xEB\x49\x44\xA3\xA1"), MakeInteger(0)}, answer),
            "msgbox 信息： | 请输入ID！\n");
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(Shown({MakeInteger(42), MakeInteger(0), Text("t")}, answer), "msgbox t | 42\n");
  EXPECT_EQ(Shown({MakeBoolean(true), MakeInteger(0), Text("t")}, answer), "msgbox t | 真\n");
  EXPECT_EQ(Shown({Omitted(), Omitted(), Text("t")}, answer), "msgbox t | \n");
}

// A presenter that records the call and answers with a chosen button.
struct Recorded {
  UINT type = 0;
  HWND owner = 1;
  int answer = IDOK;
};
Recorded recorded;
int RecordingPresenter(HWND owner, LPCSTR, LPCSTR, UINT type) {
  recorded.owner = owner;
  recorded.type = type;
  return recorded.answer;
}

TEST_F(ShowMessageBoxCommand, AddsTheTaskModalFlagUnlessSystemModalAndMapsTheButtons) {
  const auto previous = platform::SetMessageBoxPresenter(&RecordingPresenter);
  struct FlagRow { int32_t flags; UINT shown; };
  for (const FlagRow& row : {FlagRow{0, 0x2000}, FlagRow{0x24, 0x2024}, FlagRow{0x1004, 0x1004}, FlagRow{0x3000, 0x3000}}) {
    IntegerOf(ShowMessageBox, {Text("x"), MakeInteger(row.flags)});
    EXPECT_EQ(recorded.type, row.shown) << row.flags;
    EXPECT_EQ(recorded.owner, 0u);
  }
  struct AnswerRow { int answer; int32_t expected; };
  for (const AnswerRow& row : {AnswerRow{IDOK, 0}, AnswerRow{IDCANCEL, 1}, AnswerRow{IDABORT, 2}, AnswerRow{IDRETRY, 3},
                               AnswerRow{IDIGNORE, 4}, AnswerRow{IDYES, 5}, AnswerRow{IDNO, 6}, AnswerRow{0, -1},
                               AnswerRow{IDTRYAGAIN, -1}}) {
    recorded.answer = row.answer;
    EXPECT_EQ(IntegerOf(ShowMessageBox, {Text("x"), MakeInteger(0)}), row.expected) << row.answer;
  }
  platform::SetMessageBoxPresenter(previous);
}

}  // namespace
}  // namespace quorlin::commands
