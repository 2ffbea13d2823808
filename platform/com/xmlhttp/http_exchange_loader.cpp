// The program's side of the HTTP exchange: the quorlin-http module, loaded on the first request
// or ahead of it by PrepareHttpInBackground.
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/base/program_modules.h"
#include "platform/com/xmlhttp/http_module.h"

namespace quorlin::platform {
namespace {

struct HttpModule {
  HttpExchangeFunction exchange = nullptr;
  std::string error;
};

// Loaded once; never destroyed, since a thread preparing it may outlive static destruction.
const HttpModule& TheHttpModule() {
  static auto* module = new HttpModule;
  static auto* once = new std::once_flag;
  std::call_once(*once, [] {
    if (void* entry = ProgramModuleEntry(kHttpModuleName, kHttpModuleEntry, module->error)) {
      module->exchange = reinterpret_cast<HttpExchangeFunction (*)()>(entry)();
    }
    if (!module->exchange) std::fprintf(stderr, "no HTTP: %s\n", module->error.c_str());
  });
  return *module;
}

}  // namespace

void PrepareHttpInBackground() {
  try {
    std::thread([] { TheHttpModule(); }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the first request loads the module.
  }
}

HttpExchangeResult RunHttpExchange(const HttpExchangeRequest& request) {
  const HttpModule& module = TheHttpModule();
  if (module.exchange) return module.exchange(request);
  HttpExchangeResult result;
  result.error = HttpExchangeError::kProtocol;
  result.errorText = module.error;
  return result;
}

}  // namespace quorlin::platform
