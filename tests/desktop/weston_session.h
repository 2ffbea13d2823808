// A weston compositor of the test's own, with its own runtime folder and socket; ended when the
// object goes.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/spawned_process.h"
#include "tests/support/temporary_folder.h"

namespace quorlin::testing {

class WestonSession {
 public:
  // Starts weston with these options added (backend, shell, output size). Null, with the
  // reason and weston's log in *reason, when its socket did not appear within half a minute.
  static std::unique_ptr<WestonSession> Start(const std::vector<std::string>& options, std::string* reason);

  // What weston wrote to its log so far.
  std::string Log() const;

  // XDG_RUNTIME_DIR and WAYLAND_DISPLAY for the compositor's clients.
  std::vector<std::pair<std::string, std::string>> ClientEnvironment() const;

 private:
  WestonSession() : runtime_("quorlin-weston-") {}

  TemporaryFolder runtime_;
  std::unique_ptr<SpawnedProcess> weston_;
};

}  // namespace quorlin::testing
