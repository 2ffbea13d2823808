// Registration of the exports of platform/base in the built-in modules kernel32 and shlwapi.
#pragma once

namespace quorlin::platform {

// Safe to call more than once and from any thread.
void RegisterBaseExports();

}  // namespace quorlin::platform
