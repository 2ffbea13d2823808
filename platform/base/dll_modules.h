// Modules and their exported procedures: the platform's built-in modules (kernel32, user32,
// gdi32, advapi32, mpr, shell32, ole32, shlwapi), then real shared objects through dlopen.
//
// Every built-in export records its argument list, so that a caller that declares a procedure
// with another list can be told so (the stand-in for the platform's stack check).
#pragma once

#include <span>
#include <string_view>

#include "platform/base/win_types.h"

using FARPROC = void (*)();

// Names are matched without case; ".dll" is optional. A name holding '/' (or '\') is a path.
HMODULE LoadLibraryA(LPCSTR fileName);
HMODULE GetModuleHandleA(LPCSTR moduleName);
// procName is a name, "#n" for ordinal n, or an ordinal value below 0x10000 cast to a pointer.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

namespace quorlin::platform {

// A procedure's argument list and result, one letter per value:
//   'i' 32-bit integer (int, UINT, DWORD, BOOL, LONG, handles)
//   'l' 64-bit integer
//   'p' pointer or pointer-sized integer (WPARAM, LPARAM, SIZE_T)
//   'f' float, 'd' double, and for the result also 'v' for none.
struct ProcedureSignature {
  char result = 'v';
  std::string_view arguments;
  bool operator==(const ProcedureSignature&) const = default;
};

struct BuiltinExport {
  const char* name;
  WORD ordinal;  // 0: exported by name only
  FARPROC address;
  ProcedureSignature signature;
};

// Makes the table entry of a built-in export from the function itself, deriving its signature
// from the parameter and result types.
template <auto Function>
BuiltinExport MakeExport(const char* name, WORD ordinal = 0);

// Whether LoadLibraryA gives a built-in module for this name (without case, ".dll" optional;
// never for a path).
bool IsBuiltinModuleName(std::string_view name);

// Adds exports to a built-in module ("user32", "kernel32" …; created on first use). Each piece of
// the platform registers its own exports from RegisterPlatformExports (platform/startup.h).
void RegisterBuiltinExports(std::string_view moduleName, std::span<const BuiltinExport> exports);

// The recorded signature of a built-in export, or null for a procedure of a real shared object.
const ProcedureSignature* BuiltinSignatureOf(FARPROC procedure);

// Calls a procedure with one 64-bit word per argument, as the signature declares them
// (an 'i' argument passes the word's low 32 bits, an 'f' the low 32 bits as a float's bits,
// a 'd' the word as a double's bits). Returns the result widened the same way.
uint64_t CallProcedure(FARPROC procedure, const ProcedureSignature& declared, const uint64_t* arguments);

}  // namespace quorlin::platform

#include "platform/base/dll_export_signature.h"
