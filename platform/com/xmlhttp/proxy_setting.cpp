#include "platform/com/xmlhttp/proxy_setting.h"

#include <vector>

namespace quorlin::platform {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
  std::string lower;
  for (char c : text) lower += AsciiLower(c);
  return lower;
}

std::vector<std::string_view> Entries(std::string_view list, std::string_view separators) {
  std::vector<std::string_view> entries;
  size_t start = 0;
  while (start < list.size()) {
    const size_t end = list.find_first_of(separators, start);
    const std::string_view entry = list.substr(start, end == std::string_view::npos ? list.npos : end - start);
    if (!entry.empty()) entries.push_back(entry);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return entries;
}

// Iterative '*' matching with one backtrack point: linear in practice, no recursion.
bool GlobMatches(std::string_view pattern, std::string_view text) {
  size_t p = 0, t = 0, starAt = std::string_view::npos, retry = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      retry = t;
    } else if (p < pattern.size() && AsciiLower(pattern[p]) == AsciiLower(text[t])) {
      ++p;
      ++t;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      t = ++retry;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string AsProxyUrl(std::string_view server) {
  if (server.find("://") != std::string_view::npos) return std::string(server);
  return "http://" + std::string(server);
}

}  // namespace

std::string ChooseNamedProxy(std::string_view proxyList, std::string_view urlScheme) {
  const std::string scheme = Lowered(urlScheme);
  std::string_view general;
  for (const std::string_view entry : Entries(proxyList, "; \t\r\n")) {
    const size_t equals = entry.find('=');
    const size_t schemeMark = entry.find("://");
    if (equals != std::string_view::npos && (schemeMark == std::string_view::npos || equals < schemeMark)) {
      if (Lowered(entry.substr(0, equals)) == scheme && equals + 1 < entry.size()) return AsProxyUrl(entry.substr(equals + 1));
      continue;
    }
    if (general.empty()) general = entry;
  }
  return general.empty() ? std::string() : AsProxyUrl(general);
}

bool BypassesProxy(std::string_view bypassList, std::string_view host) {
  if (host.empty()) return false;
  for (const std::string_view entry : Entries(bypassList, ";, \t\r\n")) {
    if (Lowered(entry) == "<local>") {
      if (host.find('.') == std::string_view::npos) return true;
      continue;
    }
    if (GlobMatches(entry, host)) return true;
  }
  return false;
}

}  // namespace quorlin::platform
