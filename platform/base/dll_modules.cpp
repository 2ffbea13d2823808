#include "platform/base/dll_modules.h"

#include <dlfcn.h>
#include <ffi.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/code_page.h"
#include "platform/base/handle_table.h"
#include "platform/base/last_error.h"
#include "platform/base/module_path.h"

namespace quorlin::platform {
namespace {

// The modules of the platform that exist from the start, with or without exports yet.
constexpr std::string_view StandardBuiltinModules[] = {"kernel32", "user32", "gdi32", "advapi32",
                                                       "mpr",      "shell32", "ole32", "shlwapi"};

struct StoredExport {
  std::string name;  // empty: exported by ordinal only
  WORD ordinal;
  FARPROC address;
};

struct BuiltinModule {
  std::string name;  // lower case, without ".dll"
  std::vector<StoredExport> exports;
};

enum class ModuleKind { Builtin, SharedObject, MainProgram };

// The object behind a module handle. Its fields other than the constant ones are guarded by
// the registry's mutex.
struct ModuleObject : HandleObject {
  ModuleKind kind = ModuleKind::Builtin;
  BuiltinModule* builtin = nullptr;  // owned by the registry, lives to process exit
  void* library = nullptr;           // dlopen handle of a shared object or the main program
  uint32_t loadCount = 0;
  bool released = false;
};

// A signature kept with its own copy of the argument letters, so that BuiltinSignatureOf
// never hands out a view into a caller's string.
struct StoredSignature {
  std::string arguments;
  ProcedureSignature signature;
};

struct Registry {
  std::mutex mutex;
  std::deque<BuiltinModule> builtins;  // deque: module addresses stay put as modules are added
  std::unordered_map<std::string, HMODULE> builtinHandles;
  std::unordered_map<void*, HMODULE> sharedObjects;  // by dlopen handle
  std::unordered_map<FARPROC, std::unique_ptr<StoredSignature>> signatures;
  HMODULE mainProgram = 0;
};

// Creates the module and its permanent handle; the registry's mutex is held.
HMODULE AddBuiltinModule(Registry& r, std::string name) {
  BuiltinModule& module = r.builtins.emplace_back();
  module.name = name;
  auto object = std::make_shared<ModuleObject>();
  object->kind = ModuleKind::Builtin;
  object->builtin = &module;
  const HMODULE handle = RegisterHandle(HandleKind::Module, std::move(object));
  r.builtinHandles.emplace(std::move(name), handle);
  return handle;
}

std::optional<std::string> ModuleFileName(HMODULE module);

Registry& TheRegistry() {
  static Registry* registry = [] {
    auto* r = new Registry;  // lives to process exit, past every static destructor
    for (std::string_view name : StandardBuiltinModules) AddBuiltinModule(*r, std::string(name));
    SetModuleFileNameLookup(&ModuleFileName);
    return r;
  }();
  return *registry;
}

bool IsPathName(std::string_view name) { return name.find_first_of("/\\") != std::string_view::npos; }

// "KERNEL32.DLL", "Kernel32.dll" and "kernel32" all name the module "kernel32".
std::string CanonicalModuleName(std::string_view name) {
  std::string canonical(name);
  for (char& c : canonical) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  constexpr std::string_view suffix = ".dll";
  if (canonical.size() > suffix.size() && canonical.ends_with(suffix)) canonical.resize(canonical.size() - suffix.size());
  return canonical;
}

// The handle of a built-in module of that name, or 0; the registry's mutex is held.
HMODULE FindBuiltin(Registry& r, std::string_view name) {
  if (IsPathName(name)) return 0;
  auto it = r.builtinHandles.find(CanonicalModuleName(name));
  return it == r.builtinHandles.end() ? 0 : it->second;
}

// The main program's module, made on first use; the registry's mutex is held.
HMODULE MainProgramModule(Registry& r) {
  if (r.mainProgram == 0) {
    auto object = std::make_shared<ModuleObject>();
    object->kind = ModuleKind::MainProgram;
    object->library = dlopen(nullptr, RTLD_NOW);
    r.mainProgram = RegisterHandle(HandleKind::Module, std::move(object));
  }
  return r.mainProgram;
}

struct ProcedureName {
  std::string_view name;  // empty when looked up by ordinal
  WORD ordinal = 0;
};

// A procedure name, "#n" (ordinal n, taken modulo 65536) or an ordinal value cast to a pointer.
ProcedureName ParseProcedureName(LPCSTR procName) {
  const auto value = reinterpret_cast<uintptr_t>(procName);
  if (value < 0x10000) return {{}, static_cast<WORD>(value)};
  std::string_view name(procName);
  if (name.size() >= 2 && name[0] == '#' &&
      name.find_first_not_of("0123456789", 1) == std::string_view::npos) {
    uint32_t ordinal = 0;
    for (char c : name.substr(1)) ordinal = (ordinal * 10 + static_cast<uint32_t>(c - '0')) % 0x10000;
    return {{}, static_cast<WORD>(ordinal)};
  }
  return {name, 0};
}

std::shared_ptr<ModuleObject> LookupModule(HMODULE module) {
  return LookupHandleAs<ModuleObject>(module, HandleKind::Module);
}

// libffi's type for one signature letter, or null for a letter that is not one.
ffi_type* FfiTypeOf(char letter, bool isResult) {
  switch (letter) {
    case 'i': return &ffi_type_uint32;
    case 'l': return &ffi_type_uint64;
    case 'p': return &ffi_type_pointer;
    case 'f': return &ffi_type_float;
    case 'd': return &ffi_type_double;
    case 'v': return isResult ? &ffi_type_void : nullptr;
    default: return nullptr;
  }
}

union ArgumentSlot {
  uint32_t i;
  uint64_t l;
  void* p;
  float f;
  double d;
};

// GetModuleFileNameA's answer for our modules: "kernel32.dll" for a built-in module, the file
// a shared object was loaded from, the executable for the main program.
std::optional<std::string> ModuleFileName(HMODULE module) {
  const std::shared_ptr<ModuleObject> object = LookupModule(module);
  if (!object) return std::nullopt;
  switch (object->kind) {
    case ModuleKind::Builtin: return object->builtin->name + ".dll";
    case ModuleKind::MainProgram: return Utf8ToGbk(ExecutablePath());
    case ModuleKind::SharedObject: break;
  }
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  link_map* map = nullptr;
  if (object->released || dlinfo(object->library, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) {
    return std::nullopt;
  }
  return Utf8ToGbk(map->l_name);
}

}  // namespace

bool IsBuiltinModuleName(std::string_view name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return FindBuiltin(r, name) != 0;
}

void RegisterBuiltinExports(std::string_view moduleName, std::span<const BuiltinExport> exports) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const std::string name = CanonicalModuleName(moduleName);
  auto found = r.builtinHandles.find(name);
  const HMODULE handle = found != r.builtinHandles.end() ? found->second : AddBuiltinModule(r, name);
  BuiltinModule& module = *LookupModule(handle)->builtin;

  for (const BuiltinExport& e : exports) {
    if (!e.address || ((!e.name || !*e.name) && e.ordinal == 0)) continue;
    auto& stored = r.signatures[e.address];
    if (!stored) {
      stored = std::make_unique<StoredSignature>();
      stored->arguments = std::string(e.signature.arguments);
      stored->signature = {e.signature.result, stored->arguments};
    }
    StoredExport entry{e.name ? e.name : "", e.ordinal, e.address};
    // A repeated registration replaces the earlier entry, so registering twice is harmless.
    auto same = std::find_if(module.exports.begin(), module.exports.end(), [&](const StoredExport& old) {
      return entry.name.empty() ? old.name.empty() && old.ordinal == entry.ordinal : old.name == entry.name;
    });
    if (same != module.exports.end()) {
      *same = std::move(entry);
    } else {
      module.exports.push_back(std::move(entry));
    }
  }
}

const ProcedureSignature* BuiltinSignatureOf(FARPROC procedure) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  auto it = r.signatures.find(procedure);
  return it == r.signatures.end() ? nullptr : &it->second->signature;
}

uint64_t CallProcedure(FARPROC procedure, const ProcedureSignature& declared, const uint64_t* arguments) {
  ffi_type* resultType = FfiTypeOf(declared.result, true);
  const size_t count = declared.arguments.size();
  if (!procedure || !resultType || (count > 0 && !arguments)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::vector<ffi_type*> types(count);
  std::vector<ArgumentSlot> slots(count);
  std::vector<void*> values(count);
  for (size_t i = 0; i < count; ++i) {
    const char letter = declared.arguments[i];
    types[i] = FfiTypeOf(letter, false);
    if (!types[i]) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    ArgumentSlot& slot = slots[i];
    const uint64_t word = arguments[i];
    switch (letter) {
      case 'i': slot.i = static_cast<uint32_t>(word); break;
      case 'l': slot.l = word; break;
      case 'p': slot.p = reinterpret_cast<void*>(static_cast<uintptr_t>(word)); break;
      case 'f': {
        const auto bits = static_cast<uint32_t>(word);
        std::memcpy(&slot.f, &bits, sizeof bits);
        break;
      }
      case 'd': std::memcpy(&slot.d, &word, sizeof word); break;
    }
    values[i] = &slot;
  }

  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(count), resultType, types.data()) != FFI_OK) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // libffi writes integer results as a whole ffi_arg.
  union {
    ffi_arg integer;
    void* pointer;
    float f;
    double d;
  } result{};
  ffi_call(&cif, FFI_FN(procedure), &result, values.data());

  switch (declared.result) {
    case 'i': return static_cast<uint32_t>(result.integer);
    case 'l': return static_cast<uint64_t>(result.integer);
    case 'p': return reinterpret_cast<uintptr_t>(result.pointer);
    case 'f': {
      uint32_t bits;
      std::memcpy(&bits, &result.f, sizeof bits);
      return bits;
    }
    case 'd': {
      uint64_t bits;
      std::memcpy(&bits, &result.d, sizeof bits);
      return bits;
    }
    default: return 0;
  }
}

}  // namespace quorlin::platform

using quorlin::platform::ModuleKind;
using quorlin::platform::ModuleObject;

HMODULE LoadLibraryA(LPCSTR fileName) {
  using namespace quorlin::platform;
  if (!fileName || !*fileName) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  Registry& r = TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    if (const HMODULE builtin = FindBuiltin(r, fileName)) {
      ++LookupModule(builtin)->loadCount;
      return builtin;
    }
  }

  // dlopen runs the library's constructors, which may come back here: no lock is held.
  void* library = dlopen(NativePath(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  HMODULE handle = 0;
  bool alreadyLoaded = false;
  {
    std::lock_guard lock(r.mutex);
    auto it = r.sharedObjects.find(library);
    if (it != r.sharedObjects.end()) {
      ++LookupModule(it->second)->loadCount;
      handle = it->second;
      alreadyLoaded = true;
    } else {
      auto object = std::make_shared<ModuleObject>();
      object->kind = ModuleKind::SharedObject;
      object->library = library;
      object->loadCount = 1;
      handle = RegisterHandle(HandleKind::Module, std::move(object));
      r.sharedObjects.emplace(library, handle);
    }
  }
  // A module holds one reference of the dynamic loader however often it was loaded.
  if (alreadyLoaded) dlclose(library);
  return handle;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  using namespace quorlin::platform;
  Registry& r = TheRegistry();
  if (!moduleName) {
    std::lock_guard lock(r.mutex);
    return MainProgramModule(r);
  }
  {
    std::lock_guard lock(r.mutex);
    if (const HMODULE builtin = FindBuiltin(r, moduleName)) return builtin;
  }
  HMODULE handle = 0;
  if (*moduleName) {
    if (void* library = dlopen(NativePath(moduleName).c_str(), RTLD_NOW | RTLD_NOLOAD)) {
      {
        std::lock_guard lock(r.mutex);
        auto it = r.sharedObjects.find(library);
        if (it != r.sharedObjects.end()) handle = it->second;
      }
      dlclose(library);
    }
  }
  if (handle == 0) SetLastError(ERROR_MOD_NOT_FOUND);
  return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  using namespace quorlin::platform;
  Registry& r = TheRegistry();
  if (module == 0) {
    std::lock_guard lock(r.mutex);
    module = MainProgramModule(r);
  }
  const std::shared_ptr<ModuleObject> object = LookupModule(module);
  if (!object) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  const ProcedureName wanted = ParseProcedureName(procName);
  FARPROC found = nullptr;
  std::lock_guard lock(r.mutex);
  if (object->released) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (object->kind == ModuleKind::Builtin) {
    for (const StoredExport& e : object->builtin->exports) {
      if (wanted.name.empty() ? wanted.ordinal != 0 && e.ordinal == wanted.ordinal : e.name == wanted.name) {
        found = e.address;
        break;
      }
    }
  } else if (!wanted.name.empty()) {
    // Shared objects export by name only. The lock keeps a concurrent FreeLibrary from
    // unloading the object under dlsym.
    found = reinterpret_cast<FARPROC>(dlsym(object->library, procName));
  }
  if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
  return found;
}

BOOL FreeLibrary(HMODULE module) {
  using namespace quorlin::platform;
  Registry& r = TheRegistry();
  const std::shared_ptr<ModuleObject> object = LookupModule(module);
  void* unload = nullptr;
  {
    std::lock_guard lock(r.mutex);
    if (!object || object->released) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    // Built-in modules and the main program stay loaded for the life of the process.
    if (object->kind != ModuleKind::SharedObject) {
      if (object->loadCount > 0) --object->loadCount;
      return TRUE;
    }
    if (--object->loadCount == 0) {
      object->released = true;
      r.sharedObjects.erase(object->library);
      ReleaseHandle(module, HandleKind::Module);
      unload = object->library;
    }
  }
  if (unload) dlclose(unload);
  return TRUE;
}
