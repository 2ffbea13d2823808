// The hosts of the profile service and of the portrait pictures, each "host" or "host:port"
// (an IPv6 address in brackets). A host comes from the environment (QUORLIN_PROFILE_HOST,
// QUORLIN_PORTRAIT_HOST), else from the settings file (section web, keys profile and
// portrait), else it is the bundled profile service's address. The program never writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings/settings_file.h"

namespace quorlin::app {

struct ServiceHosts {
  std::string profile;
  std::string portrait;
  // One line for each value passed over because it is no host, naming where it came from.
  std::vector<std::string> complaints;
};

// A host name or address with an optional port, and nothing else: no scheme, path, user,
// spaces, and at most 255 bytes.
bool IsServiceHost(std::string_view text);

// The hosts from the file's web keys and the two variables' values (null: not set).
ServiceHosts ResolveServiceHosts(SettingsFile& file, const char* profileVariable, const char* portraitVariable);

// Resolves the hosts once, from the program's settings file and environment, and writes the
// complaints to standard error; later calls keep what the first decided.
void LoadServiceHosts();

// The resolved hosts (LoadServiceHosts runs first if nothing has called it yet).
const char* ProfileHost();
const char* PortraitHost();

}  // namespace quorlin::app
