// The command line of quorlin-profile-service: [--bind ADDR] [--port N] [--members FILE]. By
// default it listens where the card program looks when no service is configured.
#pragma once

#include <optional>
#include <string>

#include "app/card/bundled_service.h"

namespace quorlin::profile_service {

struct ServiceOptions {
  std::string bindAddress = "127.0.0.1";
  int port = app::kBundledServicePort;  // 0: an ephemeral port
  std::string membersFile;  // empty: the built-in members only
};

// The arguments after the program name, or none with the reason in *error.
std::optional<ServiceOptions> ParseServiceOptions(int count, const char* const* arguments, std::string* error);

}  // namespace quorlin::profile_service
