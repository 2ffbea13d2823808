// Inside the desktop display: the shell backend (clipboard with other programs, native common
// dialogs) and the native message boxes, installed when the desktop starts; and the drops
// other programs make on our windows.
#pragma once

#include "platform/shell/shell_backend.h"

class QDropEvent;
class QEvent;
class QMimeData;

namespace quorlin::platform {

class DesktopDisplay;

void InstallDesktopShell(DesktopDisplay& display);

// What another program offers, in our exchange form: local files from text/uri-list, other
// URLs as "UniformResourceLocator", text, HTML as "HTML Format", images as a packed DIB.
ExchangeData ExchangeOfMime(const QMimeData& mime);

// A drag event of a Qt window of ours (enter, move, leave, drop) passed to the window layer's
// drop targets; screen is the pointer in our screen coordinates. True when handled.
bool HandleDragEvent(QEvent* event, POINT screen);

}  // namespace quorlin::platform
