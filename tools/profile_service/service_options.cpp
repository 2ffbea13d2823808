#include "tools/profile_service/service_options.h"

#include <string_view>

namespace quorlin::profile_service {
namespace {

std::optional<int> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port > 65535) return std::nullopt;
  return port;
}

}  // namespace

std::optional<ServiceOptions> ParseServiceOptions(int count, const char* const* arguments, std::string* error) {
  ServiceOptions options;
  for (int i = 0; i < count; ++i) {
    const std::string_view option = arguments[i];
    if (option != "--bind" && option != "--port" && option != "--members") {
      *error = "unknown option " + std::string(option);
      return std::nullopt;
    }
    if (i + 1 >= count) {
      *error = std::string(option) + " needs a value";
      return std::nullopt;
    }
    const std::string value = arguments[++i];
    if (option == "--bind") {
      if (value.empty()) {
        *error = "--bind needs an address";
        return std::nullopt;
      }
      options.bindAddress = value;
    } else if (option == "--port") {
      const auto port = ParsePort(value);
      if (!port) {
        *error = "--port needs a number from 0 to 65535";
        return std::nullopt;
      }
      options.port = *port;
    } else {
      options.membersFile = value;
    }
  }
  return options;
}

}  // namespace quorlin::profile_service
