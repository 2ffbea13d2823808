// The application's side of starting the runtime, shared by the window program and the card
// command: its event handlers and the unit types its windows use, then its windows.
#pragma once

namespace quorlin::app {

// Before the kernel starts (after the platform is up).
void InstallApplicationRuntime();

// The start of the entry routine: the window templates, the floating-point unit's defaults and
// the main window, whose creation handler loads the settings.
void LoadMainWindow();

}  // namespace quorlin::app
