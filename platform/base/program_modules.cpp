#include "platform/base/program_modules.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace quorlin::platform {
namespace {

struct LoadedModule {
  void* handle = nullptr;
  std::string error;  // why it could not be loaded
};

}  // namespace

void* ProgramModuleEntry(const std::string& name, const char* symbol, std::string& error) {
  static std::mutex* lock = new std::mutex;
  static auto* modules = new std::map<std::string, LoadedModule>;
  std::lock_guard guard(*lock);
  auto [it, fresh] = modules->try_emplace(name);
  LoadedModule& module = it->second;
  if (fresh) {
    // RTLD_LAZY: of the thousands of functions a module's libraries import, only those called
    // are looked up. RTLD_LOCAL: a module's own symbols never stand in for the program's or
    // another module's.
    module.handle = dlopen((name + ".so").c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module.handle) {
      const char* why = dlerror();
      module.error = why ? why : name + ".so cannot be loaded";
    }
  }
  if (!module.handle) {
    error = module.error;
    return nullptr;
  }
  dlerror();
  void* entry = dlsym(module.handle, symbol);
  if (!entry) error = name + ".so has no " + symbol;
  return entry;
}

}  // namespace quorlin::platform
