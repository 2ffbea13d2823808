// One synchronous HTTP exchange over libcurl, as the XML-HTTP component needs it: the request
// goes out with exactly the headers given, and the final response comes back whole.
//
// Bounds, whatever the caller asks for:
//   - each of the four phase time-outs that is 0 or negative counts as 60 s, and none counts
//     for more than 600 s; the whole exchange ends after at most the sum of the phases, and
//     never after more than 600 s;
//   - resolving and connecting together get the resolve plus the connect time-out; the send
//     phase fails when no request byte could be sent for the send time-out, the receive phase
//     when no reply byte arrived for the receive time-out (both checked about once a second);
//   - at most 5 redirects are followed (the reply is that of the last response), only over
//     http and https; no other protocol is ever used;
//   - a reply body over 64 MiB, or over 256 KiB of header lines, is an error, never a cut reply.
#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace quorlin::platform {

struct HttpTimeouts {
  int resolveMs = 0;
  int connectMs = 0;
  int sendMs = 0;
  int receiveMs = 0;
};

struct HttpExchangeRequest {
  std::string method;  // sent as given ("GET", "POST", …)
  std::string url;     // absolute http:// or https:// URL
  // Sent in this order with the names exactly as given. libcurl's own Accept, Content-Type and
  // Expect lines are left out unless given here; Host and Content-Length are always sent.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // sent when not empty, and always for POST
  // The component's named-proxy text: "host:port", "http://host:port" or a list such as
  // "http=host:port;https=host:port"; empty means a direct connection.
  std::string proxy;
  // Host names reached directly despite the proxy, separated by ';', ',' or blanks; a leading
  // "*." or "*" matches any prefix, "<local>" matches names without a dot.
  std::string proxyBypass;
  // Basic authentication when the user is not empty.
  std::string user;
  std::string password;
  HttpTimeouts timeouts;
  const std::atomic<bool>* cancel = nullptr;  // when set to true, the exchange ends as cancelled
};

enum class HttpExchangeError {
  kNone,
  kInvalidUrl,        // not an absolute http or https URL
  kInvalidRequest,    // a method or header that cannot go on the wire (blanks, line breaks)
  kNameNotResolved,
  kCannotConnect,
  kTimeout,
  kCancelled,
  kTooLarge,          // body or header limit passed
  kRedirectLimit,
  kProtocol,          // a malformed reply or another transfer failure
};

struct HttpExchangeResult {
  HttpExchangeError error = HttpExchangeError::kNone;
  std::string errorText;  // for logs and tests
  int status = 0;
  std::string statusText;
  std::string headerBlock;  // "Name: value" lines, each ended by CR LF, no status line
  std::string charset;      // of Content-Type, lower case; empty when not given
  std::string body;

  bool ok() const { return error == HttpExchangeError::kNone; }
};

// Blocks the calling thread until the reply is in or the exchange failed. Thread-safe.
HttpExchangeResult RunHttpExchange(const HttpExchangeRequest& request);

}  // namespace quorlin::platform
