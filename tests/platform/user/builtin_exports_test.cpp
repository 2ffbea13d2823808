#include "platform/user/builtin_exports.h"

#include <gtest/gtest.h>

#include "platform/base/dll_modules.h"
#include "platform/com/builtin_exports.h"
#include "platform/com/com_base.h"
#include "platform/user/window_core.h"

namespace {

using quorlin::platform::BuiltinSignatureOf;
using quorlin::platform::ProcedureSignature;

// The exports the runtime's DLL commands and the card application declare, with the
// argument lists they declare them with.
TEST(BuiltinExports, User32AndOle32OfferTheDeclaredProcedures) {
  quorlin::platform::RegisterUserExports();
  quorlin::platform::RegisterComExports();
  quorlin::platform::RegisterUserExports();  // twice does no harm
  struct Case {
    const char* module;
    const char* name;
    FARPROC expected;
    ProcedureSignature signature;
  };
  const Case cases[] = {
      {"user32", "GetForegroundWindow", reinterpret_cast<FARPROC>(&GetForegroundWindow), {'i', ""}},
      {"USER32.DLL", "GetWindowThreadProcessId", reinterpret_cast<FARPROC>(&GetWindowThreadProcessId), {'i', "ip"}},
      {"user32.dll", "GetFocus", reinterpret_cast<FARPROC>(&GetFocus), {'i', ""}},
      {"user32", "AttachThreadInput", reinterpret_cast<FARPROC>(&AttachThreadInput), {'i', "iii"}},
      {"user32", "MessageBoxA", nullptr, {'i', "ippi"}},
      {"user32", "PostMessageA", nullptr, {'i', "iipp"}},
      {"user32", "SendMessageA", nullptr, {'p', "iipp"}},
      {"user32", "IsWindow", nullptr, {'i', "i"}},
      {"user32", "GetParent", nullptr, {'i', "i"}},
      {"user32", "SetWindowTextA", nullptr, {'i', "ip"}},
      {"user32", "GetWindowTextA", nullptr, {'i', "ipi"}},
      {"user32", "FindWindowA", nullptr, {'i', "pp"}},
      {"ole32.dll", "CoInitialize", reinterpret_cast<FARPROC>(&CoInitialize), {'i', "p"}},
      {"ole32", "CoUninitialize", reinterpret_cast<FARPROC>(&CoUninitialize), {'v', ""}},
      {"ole32", "OleInitialize", nullptr, {'i', "p"}},
      {"ole32", "OleUninitialize", nullptr, {'v', ""}},
      {"ole32", "CoTaskMemAlloc", nullptr, {'p', "p"}},
      {"ole32", "CoTaskMemFree", nullptr, {'v', "p"}},
  };
  for (const Case& c : cases) {
    const HMODULE module = LoadLibraryA(c.module);
    ASSERT_NE(module, 0u) << c.module;
    const FARPROC procedure = GetProcAddress(module, c.name);
    ASSERT_NE(procedure, nullptr) << c.name;
    if (c.expected) {
      EXPECT_EQ(procedure, c.expected) << c.name;
    }
    const ProcedureSignature* signature = BuiltinSignatureOf(procedure);
    ASSERT_NE(signature, nullptr) << c.name;
    EXPECT_EQ(*signature, c.signature) << c.name;
    FreeLibrary(module);
  }
}

}  // namespace
