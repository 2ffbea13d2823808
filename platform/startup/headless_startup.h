// Brings the platform up on the headless display alone, for programs that make pictures
// without showing a window. The desktop display is never registered, so a program that calls
// only this links and loads nothing of the desktop's toolkit.
#pragma once

namespace quorlin::platform {

// Once per process, before the runtime starts; QUORLIN_DISPLAY is set to headless for the
// process, whatever it said.
void StartHeadlessPlatform();

}  // namespace quorlin::platform
