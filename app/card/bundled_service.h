// Where the bundled demo profile service (quorlin-profile-service) listens unless told
// otherwise, and so the hosts the program asks when no other service is configured.
#pragma once

namespace quorlin::app {

inline constexpr int kBundledServicePort = 47318;
inline constexpr char kBundledServiceAddress[] = "127.0.0.1:47318";

}  // namespace quorlin::app
