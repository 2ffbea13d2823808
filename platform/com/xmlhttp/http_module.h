// The HTTP exchange and libcurl live in the program module quorlin-http (program_modules.h);
// RunHttpExchange loads it on the first request. Only the module defines the entry.
#pragma once

#include "platform/com/xmlhttp/http_exchange.h"

namespace quorlin::platform {

using HttpExchangeFunction = HttpExchangeResult (*)(const HttpExchangeRequest&);
inline constexpr char kHttpModuleName[] = "quorlin-http";
inline constexpr char kHttpModuleEntry[] = "QuorlinHttpExchange";

// Loads the module (and sets up its transport) on a thread of its own, so that a program which
// is about to make requests does not pay for it on the first one.
void PrepareHttpInBackground();

// Module side: libcurl's global set-up, done once; the entry does it, so a loaded module is
// ready to send.
void InitialiseHttpTransport();

}  // namespace quorlin::platform

extern "C" quorlin::platform::HttpExchangeFunction QuorlinHttpExchange();
