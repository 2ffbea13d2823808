// The program takes no arguments and keeps its settings in quorlin.ini; the two service hosts
// are deployment configuration rather than user settings, so they may be overridden from the
// environment (QUORLIN_PROFILE_HOST, QUORLIN_PORTRAIT_HOST) — the tests point them at a local
// profile service this way. This is the one place the program reads its environment, once.
#include "app/card/service_hosts.h"

#include <cstdlib>
#include <string>

namespace quorlin::app {
namespace {

// A host name with an optional port; anything else (a path, a query, spaces, a user part)
// is not taken, so the request URLs keep their fixed shape.
bool IsHostAndPort(const std::string& value) {
  if (value.empty() || value.size() > 255) return false;
  for (const char c : value) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                         c == '.' || c == ':' || c == '[' || c == ']';
    if (!allowed) return false;
  }
  return true;
}

std::string HostFromEnvironment(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && IsHostAndPort(value)) return value;
  return fallback;
}

}  // namespace

const char* ProfileHost() {
  static const std::string host = HostFromEnvironment("QUORLIN_PROFILE_HOST", "tieba.baidu.com");
  return host.c_str();
}

const char* PortraitHost() {
  static const std::string host = HostFromEnvironment("QUORLIN_PORTRAIT_HOST", "himg.bdimg.com");
  return host.c_str();
}

}  // namespace quorlin::app
