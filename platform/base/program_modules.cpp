#include "platform/base/program_modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <vector>

namespace quorlin::platform {
namespace {

struct LoadedModule {
  void* handle = nullptr;
  std::string error;  // why it could not be loaded
};

// The folders the dynamic loader searches for the program's libraries, in its order: the
// program's run path among them. Asked of the loader rather than left to dlopen, which looks at
// the run path of whoever calls it (under a sanitizer that is the sanitizer's runtime).
std::vector<std::string> ProgramLibraryFolders() {
  std::vector<std::string> folders;
  void* program = dlopen(nullptr, RTLD_LAZY);
  Dl_serinfo size{};
  if (!program || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0 || size.dls_size < sizeof(Dl_serinfo)) return folders;
  std::vector<Dl_serinfo> storage(size.dls_size / sizeof(Dl_serinfo) + 1);
  Dl_serinfo* info = storage.data();
  *info = size;
  if (dlinfo(program, RTLD_DI_SERINFOSIZE, info) != 0 || dlinfo(program, RTLD_DI_SERINFO, info) != 0) return folders;
  for (unsigned i = 0; i < info->dls_cnt; ++i) {
    if (info->dls_serpath[i].dls_name && *info->dls_serpath[i].dls_name) folders.emplace_back(info->dls_serpath[i].dls_name);
  }
  return folders;
}

LoadedModule Load(const std::string& file) {
  LoadedModule module;
  for (const std::string& folder : ProgramLibraryFolders()) {
    const std::string path = folder + "/" + file;
    if (access(path.c_str(), F_OK) != 0) continue;
    // RTLD_LAZY: of the thousands of functions a module's libraries import, only those called
    // are looked up. RTLD_LOCAL: a module's own symbols never stand in for the program's or
    // another module's.
    module.handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (module.handle) return module;
    const char* why = dlerror();
    if (module.error.empty()) module.error = why ? why : path + " cannot be loaded";
  }
  if (module.error.empty()) module.error = file + " is neither beside the program nor in its library folders";
  return module;
}

}  // namespace

void* ProgramModuleEntry(const std::string& name, const char* symbol, std::string& error) {
  static std::mutex* lock = new std::mutex;
  static auto* modules = new std::map<std::string, LoadedModule>;
  std::lock_guard guard(*lock);
  auto [it, fresh] = modules->try_emplace(name);
  if (fresh) it->second = Load(name + ".so");
  LoadedModule& module = it->second;
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
