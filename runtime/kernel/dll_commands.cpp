// DLL commands: functions of system libraries that the application declares and calls itself,
// resolved on first call and cached per index.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/base/dll_modules.h"
#include "runtime/kernel/runtime_error.h"
#include "runtime/kernel/runtime_kernel.h"

namespace quorlin {
namespace {

// The libraries searched, in this order, for a DLL command declared without a file name.
constexpr const char* DefaultLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                            "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

// "#n" names ordinal n (taken modulo 65536); the lookup name to hand GetProcAddress.
std::string ProcedureName(const std::string& functionName) {
  if (functionName.size() < 2 || functionName[0] != '#') return functionName;
  unsigned long long ordinal = 0;
  for (size_t i = 1; i < functionName.size(); ++i) {
    const char c = functionName[i];
    if (c < '0' || c > '9') return functionName;
    ordinal = (ordinal * 10 + static_cast<unsigned>(c - '0')) % 65536;
  }
  std::string ordinalName(1, '#');
  ordinalName += std::to_string(ordinal);
  return ordinalName;
}

FARPROC Lookup(HMODULE module, const std::string& name) {
  return module ? GetProcAddress(module, name.c_str()) : nullptr;
}

std::string FillPlaceholders(const char* format, const std::string& first, const std::string* second) {
  std::string out;
  const std::string* parts[] = {&first, second};
  int next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's' && next < 2 && parts[next]) {
      out += *parts[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

uint64_t RuntimeKernel::CallDllCommand(int32_t index, const platform::ProcedureSignature& declared,
                                       const uint64_t* arguments) {
  if (index < 0 || static_cast<size_t>(index) >= dllCommands_.size()) {
    ReportRuntimeError(NumberedErrorMessage(6), 6);
  }
  DllCommandEntry& entry = dllCommands_[static_cast<size_t>(index)];
  if (!entry.address) {
    const std::string name = ProcedureName(entry.functionName);
    HMODULE module = 0;
    FARPROC address = nullptr;
    if (entry.fileName.empty()) {
      for (const char* library : DefaultLibraries) {
        module = LoadLibraryA(library);
        address = Lookup(module, name);
        if (address) break;
        if (module) FreeLibrary(module);
        module = 0;
      }
    } else {
      // A built-in module always wins: a file of its name beside the program is never loaded.
      std::vector<std::string> candidates;
      if (!platform::IsBuiltinModuleName(entry.fileName) && entry.fileName.find(':') == std::string::npos) {
        candidates.push_back(programDirectory_ + "\\" + entry.fileName);
        candidates.push_back(instanceDirectory_ + entry.fileName);
      }
      candidates.push_back(entry.fileName);
      for (const std::string& candidate : candidates) {
        module = LoadLibraryA(candidate.c_str());
        if (module) break;
      }
      address = Lookup(module, name);
    }
    if (!address) {
      if (module) FreeLibrary(module);
      const std::string message =
          entry.fileName.empty()
              ? FillPlaceholders(KernelMessage::DefaultDllFunctionNotFound, entry.functionName, nullptr)
              : FillPlaceholders(KernelMessage::DllFunctionNotFound, entry.fileName, &entry.functionName);
      ReportRuntimeError(message.c_str(), 0);
    }
    entry.address = address;
    entry.module = module;
  }
  // A declaration whose argument list differs from the function's would leave the stack
  // unbalanced on the platform; here the mismatch is caught before the call is made.
  const platform::ProcedureSignature* actual = platform::BuiltinSignatureOf(entry.address);
  if (actual && !(*actual == declared)) ReportRuntimeError(NumberedErrorMessage(6), 6);
  return platform::CallProcedure(entry.address, declared, arguments);
}

}  // namespace quorlin
