// Waiting with a deadline: what is left of it, for calls that take a timeout in milliseconds.
#pragma once

#include <chrono>

namespace quorlin::testing {

// Milliseconds from now to the deadline; 0 once it has passed.
inline int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace quorlin::testing
