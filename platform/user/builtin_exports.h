// Registration of the window layer's exports in the built-in module user32.
#pragma once

namespace quorlin::platform {

// Safe to call more than once and from any thread.
void RegisterUserExports();

}  // namespace quorlin::platform
