// One synchronous HTTP exchange over libcurl, as the XML-HTTP component needs it: the request
// goes out with exactly the headers given, and the final response comes back whole.
//
// Bounds, whatever the caller asks for (a person waits at the other end):
//   - a phase time-out of 0 or less has no bound of its own: an unset resolve time-out leaves
//     resolving to the connect bound, an unset connect time-out means 10 s, an unset send or
//     receive time-out lets that phase run up to the whole exchange's bound; a phase time-out
//     over 120 s counts as 120 s;
//   - resolving and connecting together get the resolve plus the connect time-out; the send
//     phase fails when no request byte could be sent for the send time-out, the receive phase
//     when no reply byte arrived for the receive time-out (both checked about once a second);
//   - the whole exchange ends after the four phases' shares — each set time-out, or 0 for an
//     unset resolve and 10 s for any other unset phase, so 30 s when all four are unset — and
//     never after more than 120 s, however the bytes trickle in;
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

// What the bounds above make of a request's time-outs, in milliseconds.
struct HttpExchangeBounds {
  long connectMs = 0;      // resolving and connecting
  long sendIdleMs = 0;     // no request byte sent for this long
  long receiveIdleMs = 0;  // no reply byte received for this long
  long totalMs = 0;        // the whole exchange
};
HttpExchangeBounds BoundsOf(const HttpTimeouts& timeouts);

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
