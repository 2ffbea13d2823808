#include "runtime/commands/message_box_command.h"

#include "platform/user/message_box.h"
#include "runtime/commands/command_arguments.h"
#include "runtime/commands/value_text.h"
#include "runtime/kernel/blocks.h"
#include "runtime/kernel/library_host.h"

namespace quorlin::commands {
namespace {

constexpr const char* DefaultCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

int32_t ButtonNumber(int answer) {
  switch (answer) {
    case IDOK: return 0;
    case IDCANCEL: return 1;
    case IDABORT: return 2;
    case IDRETRY: return 3;
    case IDIGNORE: return 4;
    case IDYES: return 5;
    case IDNO: return 6;
    default: return -1;
  }
}

}  // namespace

void ShowMessageBox(TypedValue* result, int32_t argCount, TypedValue* args) {
  const detail::Arguments a(argCount, args);
  char* content = detail::NewTextOfValue(a.At(0));
  auto flags = static_cast<UINT>(a.Integer(1));
  if ((flags & MB_SYSTEMMODAL) == 0) flags |= MB_TASKMODAL;
  const std::string caption = a.IsGiven(2) ? std::string(a.Text(2)) : std::string(DefaultCaption);
  const int answer = MessageBoxA(0, content ? content : "", caption.c_str(), flags);
  LibraryHost::Free(content);
  detail::SetInteger(result, ButtonNumber(answer));
}

}  // namespace quorlin::commands
