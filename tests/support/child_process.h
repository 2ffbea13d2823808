// Runs a piece of code in a forked child process and reports how it ended and what it wrote to
// standard error, for tests of paths that end the program.
#pragma once

#include <functional>
#include <string>

namespace quorlin::testing {

struct ChildResult {
  bool exited = false;  // ended through exit (not a signal)
  int exitStatus = -1;  // the low byte of the exit code
  std::string standardError;
  std::string standardOutput;
  // What the child cost, from the fork to its end: wall-clock seconds, processor seconds (user
  // and system) and its peak resident memory.
  double seconds = 0;
  double processorSeconds = 0;
  long peakKilobytes = 0;
};

// The child runs `body`; returning from it exits with status 0. A child still running after
// `timeoutSeconds` is killed (the result then says it did not exit).
ChildResult RunInChild(const std::function<void()>& body, int timeoutSeconds = 20);

}  // namespace quorlin::testing
