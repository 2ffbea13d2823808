// The entry of the quorlin-desktop module: its display factory.
#include "platform/display/desktop/desktop_internal.h"
#include "platform/display/desktop_module.h"

extern "C" quorlin::platform::DisplayFactory QuorlinDesktopDisplayFactory() {
  return &quorlin::platform::DesktopDisplay::Make;
}
