#include "platform/base/builtin_exports.h"

#include "platform/base/code_page.h"
#include "platform/base/dll_modules.h"
#include "platform/base/heap.h"
#include "platform/base/last_error.h"
#include "platform/base/module_path.h"
#include "platform/base/path_functions.h"
#include "platform/base/thread_services.h"

namespace quorlin::platform {

void RegisterBaseExports() {
  static const BuiltinExport kernel32[] = {
      MakeExport<&MultiByteToWideChar>("MultiByteToWideChar"),
      MakeExport<&WideCharToMultiByte>("WideCharToMultiByte"),
      MakeExport<&GetACP>("GetACP"),
      MakeExport<&GetCurrentThreadId>("GetCurrentThreadId"),
      MakeExport<&GetCurrentProcessId>("GetCurrentProcessId"),
      MakeExport<&GetTickCount>("GetTickCount"),
      MakeExport<&GetTickCount64>("GetTickCount64"),
      MakeExport<&Sleep>("Sleep"),
      MakeExport<&ExitProcess>("ExitProcess"),
      MakeExport<&GetLastError>("GetLastError"),
      MakeExport<&SetLastError>("SetLastError"),
      MakeExport<&GetModuleFileNameA>("GetModuleFileNameA"),
      MakeExport<&GetProcessHeap>("GetProcessHeap"),
      MakeExport<&HeapAlloc>("HeapAlloc"),
      MakeExport<&HeapFree>("HeapFree"),
      MakeExport<&lstrlenA>("lstrlenA"),
      MakeExport<&lstrcpynA>("lstrcpynA"),
      MakeExport<&LoadLibraryA>("LoadLibraryA"),
      MakeExport<&GetModuleHandleA>("GetModuleHandleA"),
      MakeExport<&GetProcAddress>("GetProcAddress"),
      MakeExport<&FreeLibrary>("FreeLibrary"),
  };
  static const BuiltinExport shlwapi[] = {
      MakeExport<&PathRemoveBlanksA>("PathRemoveBlanksA"),
  };
  RegisterBuiltinExports("kernel32", kernel32);
  RegisterBuiltinExports("shlwapi", shlwapi);
}

}  // namespace quorlin::platform
