// Whether the main window is open. The settings window can outlive it (the program runs until
// its last window closes); a return to defaults then has no card canvas to give the built-in
// background to, and leaves that step out. The main window tells of its end through its
// destroy event (window event 2), bound to MainWindowClosed.
#pragma once

#include <cstdint>

#include "runtime/forms/layer/event_handlers.h"

namespace quorlin::app {

bool MainWindowOpen();
// LoadSettings runs it when the main window is created.
void NoteMainWindowOpened();
forms::HandlerResult MainWindowClosed(const forms::HandlerArguments& arguments);

}  // namespace quorlin::app
