// StartScenarioFromEnvironment: the player starts only on the headless display with a script.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/forms/scenario/scenario_host.h"
#include "runtime/forms/scenario/scenario_player.h"

namespace quorlin::forms {

void StartScenarioFromEnvironment(ScenarioHost& host) {
  static bool started = false;
  const char* display = std::getenv("QUORLIN_DISPLAY");
  const char* file = std::getenv("QUORLIN_SCENARIO");
  if (started || !display || std::strcmp(display, "headless") != 0 || !file || !*file) return;
  started = true;
  StartScenarioFile(host, file, stdout);
}

}  // namespace quorlin::forms
