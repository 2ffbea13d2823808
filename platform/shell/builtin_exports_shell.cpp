#include "platform/shell/builtin_exports.h"

#include "platform/base/dll_modules.h"
#include "platform/shell/clipboard.h"
#include "platform/shell/common_dialogs.h"
#include "platform/shell/drag_drop.h"
#include "platform/shell/global_memory.h"

namespace quorlin::platform {

void RegisterShellExports() {
  static const BuiltinExport user32[] = {
      MakeExport<&OpenClipboard>("OpenClipboard"),
      MakeExport<&CloseClipboard>("CloseClipboard"),
      MakeExport<&EmptyClipboard>("EmptyClipboard"),
      MakeExport<&SetClipboardData>("SetClipboardData"),
      MakeExport<&GetClipboardData>("GetClipboardData"),
      MakeExport<&IsClipboardFormatAvailable>("IsClipboardFormatAvailable"),
      MakeExport<&EnumClipboardFormats>("EnumClipboardFormats"),
      MakeExport<&CountClipboardFormats>("CountClipboardFormats"),
      MakeExport<&GetClipboardOwner>("GetClipboardOwner"),
      MakeExport<&GetOpenClipboardWindow>("GetOpenClipboardWindow"),
      MakeExport<&GetClipboardSequenceNumber>("GetClipboardSequenceNumber"),
      MakeExport<&RegisterClipboardFormatA>("RegisterClipboardFormatA"),
      MakeExport<&GetClipboardFormatNameA>("GetClipboardFormatNameA"),
  };
  static const BuiltinExport shell32[] = {
      MakeExport<&DragQueryFileA>("DragQueryFileA"),
      MakeExport<&DragQueryPoint>("DragQueryPoint"),
      MakeExport<&DragFinish>("DragFinish"),
  };
  static const BuiltinExport ole32[] = {
      MakeExport<&RegisterDragDrop>("RegisterDragDrop"),
      MakeExport<&RevokeDragDrop>("RevokeDragDrop"),
      MakeExport<&ReleaseStgMedium>("ReleaseStgMedium"),
  };
  static const BuiltinExport comdlg32[] = {
      MakeExport<&GetOpenFileNameA>("GetOpenFileNameA"),
      MakeExport<&GetSaveFileNameA>("GetSaveFileNameA"),
      MakeExport<&ChooseFontA>("ChooseFontA"),
      MakeExport<&ChooseColorA>("ChooseColorA"),
      MakeExport<&CommDlgExtendedError>("CommDlgExtendedError"),
  };
  static const BuiltinExport kernel32[] = {
      MakeExport<&GlobalAlloc>("GlobalAlloc"),
      MakeExport<&GlobalReAlloc>("GlobalReAlloc"),
      MakeExport<&GlobalLock>("GlobalLock"),
      MakeExport<&GlobalUnlock>("GlobalUnlock"),
      MakeExport<&GlobalFree>("GlobalFree"),
      MakeExport<&GlobalSize>("GlobalSize"),
      MakeExport<&GlobalFlags>("GlobalFlags"),
      MakeExport<&GlobalHandle>("GlobalHandle"),
  };
  RegisterBuiltinExports("user32", user32);
  RegisterBuiltinExports("shell32", shell32);
  RegisterBuiltinExports("ole32", ole32);
  RegisterBuiltinExports("comdlg32", comdlg32);
  RegisterBuiltinExports("kernel32", kernel32);
}

}  // namespace quorlin::platform
