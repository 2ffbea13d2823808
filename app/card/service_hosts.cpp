// The service hosts are deployment configuration rather than card settings: the program only
// reads them, and the environment may override the file (tests and deployments point the
// program at their own service this way). This is the one place the program reads its
// environment, once.
#include "app/card/service_hosts.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/card/bundled_service.h"
#include "app/constant_segment.h"

namespace quorlin::app {
namespace {

QUORLIN_CONSTANT const char kSectionWeb[] = "web";
QUORLIN_CONSTANT const char kKeyProfile[] = "profile";
QUORLIN_CONSTANT const char kKeyPortrait[] = "portrait";

constexpr size_t kMaxHostBytes = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c); }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// At most five decimal digits naming 1 to 65535.
bool IsPort(std::string_view text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), IsDigit)) return false;
  const long port = std::strtol(std::string(text).c_str(), nullptr, 10);
  return port >= 1 && port <= 65535;
}

// A name or an IPv4 address: dot-separated labels of letters, digits and inner hyphens.
bool IsHostName(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t dot = std::min(text.find('.', start), text.size());
    const std::string_view label = text.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
    if (!std::all_of(label.begin(), label.end(), [](char c) { return IsLetterOrDigit(c) || c == '-'; })) return false;
    start = dot + 1;
  }
  return true;
}

// The inside of "[...]": hexadecimal groups and colons, an IPv4 tail allowed.
bool IsIpv6Address(std::string_view text) {
  if (text.size() < 2 || text.find(':') == std::string_view::npos) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return IsHexDigit(c) || c == ':' || c == '.'; });
}

// The first usable value of the candidates, in order; each unusable one gives a complaint.
std::string ChooseHost(std::initializer_list<std::pair<std::string, std::optional<std::string>>> candidates,
                       std::vector<std::string>& complaints) {
  for (const auto& [origin, value] : candidates) {
    if (!value || value->empty()) continue;
    if (IsServiceHost(*value)) return *value;
    complaints.push_back("quorlin: " + origin + " \"" + *value + "\" is not a host or host:port; it is not used");
  }
  return kBundledServiceAddress;
}

std::optional<std::string> FromVariable(const char* value) {
  return value ? std::optional<std::string>(value) : std::nullopt;
}

ServiceHosts& Resolved() {
  static ServiceHosts hosts = [] {
    IniSettingsFile file;
    ServiceHosts resolved =
        ResolveServiceHosts(file, std::getenv("QUORLIN_PROFILE_HOST"), std::getenv("QUORLIN_PORTRAIT_HOST"));
    for (const std::string& complaint : resolved.complaints) std::fprintf(stderr, "%s\n", complaint.c_str());
    return resolved;
  }();
  return hosts;
}

}  // namespace

bool IsServiceHost(std::string_view text) {
  if (text.empty() || text.size() > kMaxHostBytes) return false;
  std::string_view host = text;
  if (text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos || !IsIpv6Address(text.substr(1, close - 1))) return false;
    const std::string_view rest = text.substr(close + 1);
    return rest.empty() || (rest.front() == ':' && IsPort(rest.substr(1)));
  }
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    if (!IsPort(text.substr(colon + 1))) return false;
    host = text.substr(0, colon);
  }
  return IsHostName(host);
}

ServiceHosts ResolveServiceHosts(SettingsFile& file, const char* profileVariable, const char* portraitVariable) {
  const OwnedText fileProfile = file.Read(kSectionWeb, kKeyProfile);
  const OwnedText filePortrait = file.Read(kSectionWeb, kKeyPortrait);
  ServiceHosts hosts;
  hosts.profile = ChooseHost({{"QUORLIN_PROFILE_HOST", FromVariable(profileVariable)},
                              {"quorlin.ini [web] profile", std::string(fileProfile.view())}},
                             hosts.complaints);
  hosts.portrait = ChooseHost({{"QUORLIN_PORTRAIT_HOST", FromVariable(portraitVariable)},
                               {"quorlin.ini [web] portrait", std::string(filePortrait.view())}},
                              hosts.complaints);
  return hosts;
}

void LoadServiceHosts() { Resolved(); }

const char* ProfileHost() { return Resolved().profile.c_str(); }

const char* PortraitHost() { return Resolved().portrait.c_str(); }

}  // namespace quorlin::app
