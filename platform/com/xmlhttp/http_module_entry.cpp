// The entry of the quorlin-http module: its exchange over libcurl.
#include "platform/com/xmlhttp/http_module.h"

extern "C" quorlin::platform::HttpExchangeFunction QuorlinHttpExchange() {
  quorlin::platform::InitialiseHttpTransport();
  return &quorlin::platform::RunHttpExchange;
}
