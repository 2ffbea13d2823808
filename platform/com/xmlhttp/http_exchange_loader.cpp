// The program's side of the HTTP exchange: the quorlin-http module, loaded on the first request.
#include <cstdio>
#include <mutex>

#include "platform/base/program_modules.h"
#include "platform/com/xmlhttp/http_module.h"

namespace quorlin::platform {

HttpExchangeResult RunHttpExchange(const HttpExchangeRequest& request) {
  static HttpExchangeFunction exchange = nullptr;
  static std::string error;
  static std::once_flag once;
  std::call_once(once, [] {
    if (void* entry = ProgramModuleEntry(kHttpModuleName, kHttpModuleEntry, error)) {
      exchange = reinterpret_cast<HttpExchangeFunction (*)()>(entry)();
    }
    if (!exchange) std::fprintf(stderr, "no HTTP: %s\n", error.c_str());
  });
  if (exchange) return exchange(request);
  HttpExchangeResult result;
  result.error = HttpExchangeError::kProtocol;
  result.errorText = error;
  return result;
}

}  // namespace quorlin::platform
