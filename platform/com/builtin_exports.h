// Registration of the COM basics' exports in the built-in module ole32.
#pragma once

namespace quorlin::platform {

// Safe to call more than once and from any thread.
void RegisterComExports();

}  // namespace quorlin::platform
