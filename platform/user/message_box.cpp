#include "platform/user/message_box.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/base/code_page.h"
#include "platform/user/user_errors.h"

namespace quorlin::platform {
namespace {

constexpr const char* DefaultCaption = "\xB4\xED\xCE\xF3";  // 错误

void AppendEscaped(std::string& line, const std::string& text) {
  for (char c : text) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
}

int WriteToStandardError(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  std::string line = "msgbox ";
  AppendEscaped(line, GbkToUtf8(caption ? caption : DefaultCaption));
  line += " | ";
  AppendEscaped(line, GbkToUtf8(text ? text : ""));
  line += '\n';
  static std::mutex lock;  // one whole line per box, whichever thread shows it
  std::lock_guard guard(lock);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  return FirstButtonOf(type);
}

std::atomic<MessageBoxPresenter> g_presenter{&WriteToStandardError};

}  // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  return g_presenter.exchange(presenter ? presenter : &WriteToStandardError);
}

int FirstButtonOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL: return IDOK;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    default: return 0;
  }
}

}  // namespace quorlin::platform

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (quorlin::platform::FirstButtonOf(type) == 0) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  return quorlin::platform::g_presenter.load()(owner, text, caption, type);
}
