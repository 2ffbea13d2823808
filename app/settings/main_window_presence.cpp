#include "app/settings/main_window_presence.h"

namespace quorlin::app {
namespace {

bool g_mainWindowOpen = false;

}  // namespace

bool MainWindowOpen() { return g_mainWindowOpen; }

void NoteMainWindowOpened() { g_mainWindowOpen = true; }

forms::HandlerResult MainWindowClosed(const forms::HandlerArguments&) {
  g_mainWindowOpen = false;
  return {};
}

}  // namespace quorlin::app
