// Service host values (outside input: quorlin.ini's web keys and two environment variables)
// through their check and the choice between environment, file and default. The input is
// split at its first two line feeds into the file's profile value, the profile variable and
// the file's portrait value. Checks what the request URLs rely on: a chosen host never
// carries a byte that would end the host part of a URL, and is at most 255 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/card/service_hosts.h"

namespace {

class FuzzedFile : public quorlin::app::SettingsFile {
 public:
  FuzzedFile(std::string profile, std::string portrait) : profile_(std::move(profile)), portrait_(std::move(portrait)) {}
  quorlin::app::OwnedText Read(const char*, const char* key, std::optional<const char*>) override {
    return quorlin::app::OwnedText::Copy(std::string_view(key) == "profile" ? profile_ : portrait_);
  }
  void Write(const char*, const char*, const char*) override { std::abort(); }

 private:
  std::string profile_;
  std::string portrait_;
};

void CheckHost(const std::string& host) {
  if (host.empty() || host.size() > 255) std::abort();
  if (host.find_first_of("/?#@ \t\r\n\\%") != std::string::npos) std::abort();
  if (!quorlin::app::IsServiceHost(host)) std::abort();
}

std::string TakeLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  const std::string line(rest.substr(0, end));
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  // Ini values and environment values end at a zero byte.
  const auto text = [](const std::string& line) { return std::string(line.c_str()); };
  const std::string fileProfile = text(TakeLine(rest));
  const std::string variable = text(TakeLine(rest));
  const std::string filePortrait = text(std::string(rest));
  FuzzedFile file(fileProfile, filePortrait);
  const quorlin::app::ServiceHosts hosts = quorlin::app::ResolveServiceHosts(file, variable.c_str(), nullptr);
  CheckHost(hosts.profile);
  CheckHost(hosts.portrait);
  if (hosts.complaints.size() > 3) std::abort();
  if (quorlin::app::IsServiceHost(variable) && hosts.profile != variable) std::abort();
  return 0;
}
