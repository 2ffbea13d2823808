// The program's side of the HTTP exchange: the quorlin-http module, loaded on the first request
// or ahead of it by PrepareHttpInBackground.
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/base/code_page.h"
#include "platform/base/program_modules.h"
#include "platform/com/xmlhttp/http_module.h"
#include "platform/user/thread_queue.h"

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
  // The load holds the dynamic loader's locks for about ten milliseconds, and meanwhile a thread
  // that registers the clean-up of its thread-local state waits for them: the calling (window)
  // thread makes its message queue and conversion descriptors first.
  CurrentQueueShared();
  OpenThreadConversions();
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
