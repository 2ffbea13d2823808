// The HTTP exchange and libcurl live in the program module quorlin-http (program_modules.h);
// RunHttpExchange loads it on the first request. Only the module defines the entry.
#pragma once

#include "platform/com/xmlhttp/http_exchange.h"

namespace quorlin::platform {

using HttpExchangeFunction = HttpExchangeResult (*)(const HttpExchangeRequest&);
inline constexpr char kHttpModuleName[] = "quorlin-http";
inline constexpr char kHttpModuleEntry[] = "QuorlinHttpExchange";

}  // namespace quorlin::platform

extern "C" quorlin::platform::HttpExchangeFunction QuorlinHttpExchange();
