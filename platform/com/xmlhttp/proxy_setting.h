// The component's named-proxy syntax: which proxy serves a URL, and which hosts bypass it.
#pragma once

#include <string>
#include <string_view>

namespace quorlin::platform {

// From a list of entries separated by ';' or blanks — "host:port", "scheme://host:port" or
// "scheme=host:port" — the entry for the URL's scheme, else the first entry without a scheme
// prefix; as a URL libcurl takes ("http://host:port"). Empty when no entry applies.
std::string ChooseNamedProxy(std::string_view proxyList, std::string_view urlScheme);

// Whether the host is named by the bypass list (entries separated by ';', ',' or blanks; '*'
// matches any run of characters, "<local>" any name without a dot; ASCII case ignored).
bool BypassesProxy(std::string_view bypassList, std::string_view host);

}  // namespace quorlin::platform
