#include "platform/com/builtin_exports.h"

#include "platform/base/dll_modules.h"
#include "platform/com/com_base.h"

namespace quorlin::platform {

void RegisterComExports() {
  static const BuiltinExport ole32[] = {
      MakeExport<&CoInitialize>("CoInitialize"),
      MakeExport<&CoInitializeEx>("CoInitializeEx"),
      MakeExport<&CoUninitialize>("CoUninitialize"),
      MakeExport<&OleInitialize>("OleInitialize"),
      MakeExport<&OleUninitialize>("OleUninitialize"),
      MakeExport<&CoTaskMemAlloc>("CoTaskMemAlloc"),
      MakeExport<&CoTaskMemFree>("CoTaskMemFree"),
  };
  RegisterBuiltinExports("ole32", ole32);
}

}  // namespace quorlin::platform
