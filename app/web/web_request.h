// The application's one road to the web: a synchronous HTTP request through the platform's
// XML-HTTP automation component.
#pragma once

#include <cstdint>
#include <optional>

#include "app/support/runtime_calls.h"

namespace quorlin::app::web {

// The nine arguments; everything but the URL may be left out (std::nullopt or a null
// variable). A header text left out and one given empty behave differently, as do a time-out
// left out (5000 ms) and one given as 0.
struct WebRequestArguments {
  const char* url = nullptr;
  OwnedText* method = nullptr;  // in/out: the normalised method is written back
  std::optional<const char*> proxy;
  std::optional<const char*> headers;  // lines "Name: value" separated by CR LF
  std::optional<const char*> body;
  std::optional<const char*> cookies;  // sent as the Cookie header when not empty
  std::optional<int32_t> timeout;      // milliseconds
  OwnedText* replyHeaders = nullptr;   // out: the whole reply header block
  OwnedText* replyCookies = nullptr;   // out: "name=value; " per Set-Cookie line
};

// The reply body; the empty byte set when nothing could be obtained.
OwnedBytes WebRequest(const WebRequestArguments& arguments);
// The same request, passing every argument on as supplied (left-out ones as empty texts and a
// time-out of 0); the body up to its first zero byte, unconverted.
OwnedText WebRequestText(const WebRequestArguments& arguments);

// Exchanges finished ahead of time: a program that makes the same requests on other threads
// before its handlers ask for them (the card command overlaps the requests of many cards)
// answers them here. When a source is set, WebRequest offers it every request first; a source
// that takes a request returns true having set the body and every variable the arguments name
// (method, reply headers, reply cookies) as the exchange set them, and no exchange is made.
// Called on the thread of the request.
using FinishedExchangeSource = bool (*)(const WebRequestArguments& arguments, OwnedBytes& body);
void SetFinishedExchangeSource(FinishedExchangeSource source);

}  // namespace quorlin::app::web
