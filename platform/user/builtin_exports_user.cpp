#include "platform/user/builtin_exports.h"

#include "platform/base/dll_modules.h"
#include "platform/user/cursors.h"
#include "platform/user/message_box.h"
#include "platform/user/message_queue.h"
#include "platform/user/window_core.h"

namespace quorlin::platform {

void RegisterUserExports() {
  static const BuiltinExport user32[] = {
      MakeExport<&GetForegroundWindow>("GetForegroundWindow"),
      MakeExport<&GetWindowThreadProcessId>("GetWindowThreadProcessId"),
      MakeExport<&GetFocus>("GetFocus"),
      MakeExport<&AttachThreadInput>("AttachThreadInput"),
      MakeExport<&MessageBoxA>("MessageBoxA"),
      MakeExport<&PostMessageA>("PostMessageA"),
      MakeExport<&SendMessageA>("SendMessageA"),
      MakeExport<&IsWindow>("IsWindow"),
      MakeExport<&GetParent>("GetParent"),
      MakeExport<&SetWindowTextA>("SetWindowTextA"),
      MakeExport<&GetWindowTextA>("GetWindowTextA"),
      MakeExport<&FindWindowA>("FindWindowA"),
      MakeExport<&LoadCursorA>("LoadCursorA"),
      MakeExport<&LoadCursorW>("LoadCursorW"),
      MakeExport<&SetCursor>("SetCursor"),
      MakeExport<&GetCursor>("GetCursor"),
      MakeExport<&ShowCursor>("ShowCursor"),
      MakeExport<&DestroyCursor>("DestroyCursor"),
  };
  RegisterBuiltinExports("user32", user32);
}

}  // namespace quorlin::platform
