// The desktop display lives in the program module quorlin-desktop (program_modules.h), with Qt
// and everything else only the desktop needs; only the module defines the entry.
#pragma once

#include "platform/display/display_backend.h"

namespace quorlin::platform {

inline constexpr char kDesktopModuleName[] = "quorlin-desktop";
inline constexpr char kDesktopModuleEntry[] = "QuorlinDesktopDisplayFactory";

// Lets the display selection choose the desktop, loading the module when it does.
void RegisterDesktopModule();

}  // namespace quorlin::platform

extern "C" quorlin::platform::DisplayFactory QuorlinDesktopDisplayFactory();
