#include "platform/base/program_modules.h"
#include "platform/display/desktop_module.h"

namespace quorlin::platform {
namespace {

std::unique_ptr<DisplayBackend> MakeDesktopFromModule(std::string& error) {
  void* entry = ProgramModuleEntry(kDesktopModuleName, kDesktopModuleEntry, error);
  if (!entry) return nullptr;
  const DisplayFactory factory = reinterpret_cast<DisplayFactory (*)()>(entry)();
  return factory(error);
}

}  // namespace

void RegisterDesktopModule() { SetDesktopDisplayFactory(&MakeDesktopFromModule); }

}  // namespace quorlin::platform
