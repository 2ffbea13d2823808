// The time bounds of one exchange, made from the time-outs the caller asked for. Both the
// component (which shows them in its tests) and the HTTP module (which enforces them) build this.
#include <algorithm>

#include "platform/com/xmlhttp/http_exchange.h"

namespace quorlin::platform {
namespace {

constexpr long kUnsetPhaseShareMs = 10'000;
constexpr long kLongestPhaseMs = 120'000;
constexpr long kLongestExchangeMs = 120'000;

// A set phase time-out, limited; 0 for an unset one.
long SetPhaseMs(int requested) { return requested <= 0 ? 0 : std::min<long>(requested, kLongestPhaseMs); }

}  // namespace

HttpExchangeBounds BoundsOf(const HttpTimeouts& timeouts) {
  const long resolve = SetPhaseMs(timeouts.resolveMs);
  const long connect = SetPhaseMs(timeouts.connectMs);
  const long send = SetPhaseMs(timeouts.sendMs);
  const long receive = SetPhaseMs(timeouts.receiveMs);
  const auto share = [](long phase) { return phase > 0 ? phase : kUnsetPhaseShareMs; };
  HttpExchangeBounds bounds;
  bounds.totalMs = std::min(kLongestExchangeMs, resolve + share(connect) + share(send) + share(receive));
  bounds.connectMs = std::min(bounds.totalMs, resolve + share(connect));
  bounds.sendIdleMs = send > 0 ? send : bounds.totalMs;
  bounds.receiveIdleMs = receive > 0 ? receive : bounds.totalMs;
  return bounds;
}

}  // namespace quorlin::platform
