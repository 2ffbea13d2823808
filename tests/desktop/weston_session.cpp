#include "tests/desktop/weston_session.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/desktop/desktop_driving.h"

namespace quorlin::testing {
namespace {

constexpr const char* kSocket = "quorlin-test";
constexpr const char* kLogName = "weston.log";

}  // namespace

std::unique_ptr<WestonSession> WestonSession::Start(const std::vector<std::string>& options, std::string* reason) {
  std::unique_ptr<WestonSession> session(new WestonSession);
  const std::filesystem::path runtime = session->runtime_.Path();
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);  // weston insists
  const std::filesystem::path log = runtime / kLogName;
  std::vector<std::string> argv = {"weston", std::string("--socket=") + kSocket, "--idle-time=0",
                                   "--log=" + log.string()};
  argv.insert(argv.end(), options.begin(), options.end());
  session->weston_ = std::make_unique<SpawnedProcess>(argv, std::vector<std::pair<std::string, std::string>>{
                                                                {"XDG_RUNTIME_DIR", runtime.string()}});
  const bool up = session->weston_->Started() && WaitFor(
                                                     [&] {
                                                       return std::filesystem::exists(runtime / kSocket) &&
                                                              !session->weston_->Ended();
                                                     },
                                                     30000);
  if (up) return session;
  *reason = "weston did not start: " + session->Log();
  return nullptr;
}

std::string WestonSession::Log() const {
  std::ifstream in(runtime_.Path() / kLogName);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::pair<std::string, std::string>> WestonSession::ClientEnvironment() const {
  return {{"XDG_RUNTIME_DIR", runtime_.Path().string()}, {"WAYLAND_DISPLAY", kSocket}};
}

}  // namespace quorlin::testing
